#include "engine/IniFile.h"

#include "system/CommonUtils.h"

std::optional<std::int32_t> ReadIniInteger(const std::string& value) {
    return ParseInteger(value, IntegerSpelling::Hexadecimal);
}

IniFile::IniFile(const std::vector<std::string>& lines) {
    int number = 0;
    for (const std::string& raw : lines) {
        ++number;
        std::string line = Trim(raw);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            sections_.push_back({Trim(line.substr(1, line.size() - 2)), number, {}});
            continue;
        }
        if (sections_.empty()) continue;
        SplitResult parts = SplitAt(line, '=');
        if (parts.found)
            sections_.back().lines.push_back({Trim(parts.left), Trim(parts.right), line, number, true});
        else
            sections_.back().lines.push_back({std::string(), std::string(), line, number, false});
    }
}

const IniSection* IniFile::Section(const std::string& name) const {
    for (const IniSection& section : sections_)
        if (SameText(section.name, name)) return &section;
    return nullptr;
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
    lookups_.emplace_back(section, key);
    const IniSection* found = Section(section);
    if (!found) return std::nullopt;
    for (const IniLine& line : found->lines)
        if (!line.name.empty() && SameText(line.name, key)) return line.value;
    return std::nullopt;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
    return Value(section, key).value_or(fallback);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    auto value = Value(section, key);
    if (!value) return fallback;
    auto number = ReadIniInteger(*value);
    return number ? *number != 0 : fallback;
}

std::vector<std::string> IniFile::ReadList(const std::string& section) const {
    lookups_.emplace_back(section, std::string());
    std::vector<std::string> result;
    const IniSection* found = Section(section);
    if (!found) return result;
    // Both sides trimmed, so "= x" is stored as "=x".
    for (const IniLine& line : found->lines)
        result.push_back(line.hasEquals ? line.name + "=" + line.value : line.text);
    return result;
}

std::string ListLineName(const std::string& line) {
    SplitResult split = SplitAt(line, '=');
    return split.found ? split.left : std::string();
}

std::string ListLineValue(const std::string& line) {
    return SplitAt(line, '=').right;
}
