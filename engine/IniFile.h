// Setup.ini as the engine reads it: sections of name=value lines, names matched without
// regard to ASCII case, duplicates kept in file order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system/CommonUtils.h"

// Reads an integer as a configuration boolean or number does: "0x"/"0X" followed by
// hexadecimal digits when longer than two characters, else a decimal integer ("$" with
// hexadecimal digits accepted too). Anything else has no value.
std::optional<std::int32_t> ReadIniInteger(const std::string& value);

struct IniLine {
    std::string name;  // empty for a line without "="
    std::string value;
    std::string text;  // the trimmed line as written, for lines without "="
    int lineNumber;    // 1-based, for messages to vendors
};

struct IniSection {
    std::string name;
    int lineNumber;
    std::vector<IniLine> lines;
};

class IniFile {
public:
    explicit IniFile(const std::vector<std::string>& lines);

    // The first section of that name, or none.
    const IniSection* Section(const std::string& name) const;
    // The value of the first line named key in the section, or none.
    std::optional<std::string> Value(const std::string& section, const std::string& key) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    // Every stored line of a section as "name=value" (or the line itself), in file order.
    std::vector<std::string> ReadList(const std::string& section) const;
    const std::vector<IniSection>& Sections() const { return sections_; }

private:
    std::vector<IniSection> sections_;
};
