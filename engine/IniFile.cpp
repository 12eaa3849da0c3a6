#include "engine/IniFile.h"

#include "archive/CommonClasses.h"
#include "system/CommonUtils.h"

std::optional<std::int32_t> ReadIniInteger(const std::string& value) {
    constexpr std::int32_t kNone = INT32_MIN;
    std::string text = value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.erase(0, 1);
        text[0] = '$';
    }
    // Two different defaults tell "no number" apart from a number equal to one of them.
    std::int32_t a = StrToIntDef(text, kNone);
    if (a != kNone) return a;
    std::int32_t b = StrToIntDef(text, 0);
    return b == kNone ? std::optional<std::int32_t>(b) : std::nullopt;
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
            sections_.back().lines.push_back({Trim(parts.left), Trim(parts.right), line, number});
        else
            sections_.back().lines.push_back({std::string(), std::string(), line, number});
    }
}

const IniSection* IniFile::Section(const std::string& name) const {
    for (const IniSection& section : sections_)
        if (SameText(section.name, name)) return &section;
    return nullptr;
}

std::optional<std::string> IniFile::Value(const std::string& section, const std::string& key) const {
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
    std::vector<std::string> result;
    const IniSection* found = Section(section);
    if (!found) return result;
    for (const IniLine& line : found->lines)
        result.push_back(line.name.empty() ? line.text : line.name + "=" + line.value);
    return result;
}
