#include "engine/IniFile.h"

#include "system/CommonUtils.h"

namespace {

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    char folded = FoldAscii(c);
    return folded >= 'A' && folded <= 'F' ? folded - 'A' + 10 : -1;
}

}  // namespace

std::optional<std::int32_t> ReadIniInteger(const std::string& value) {
    std::size_t at = 0;
    bool hex = false, negative = false;
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        hex = true;
        at = 2;
    } else if (!value.empty() && value[0] == '$') {
        hex = true;
        at = 1;
    } else if (!value.empty() && (value[0] == '+' || value[0] == '-')) {
        negative = value[0] == '-';
        at = 1;
    }
    if (at == value.size()) return std::nullopt;
    std::uint64_t number = 0;
    for (; at < value.size(); ++at) {
        int digit = DigitValue(value[at], hex);
        if (digit < 0) return std::nullopt;
        number = number * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (number > 0xFFFFFFFFull) return std::nullopt;
    }
    // Hexadecimal gives the 32 bits as written ($FFFFFFFF is -1); decimal must fit a signed int.
    if (hex) return static_cast<std::int32_t>(static_cast<std::uint32_t>(number));
    if (number > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(number)
                                              : static_cast<std::int64_t>(number));
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
