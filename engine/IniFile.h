// Setup.ini as the engine reads it: sections of name=value lines, names matched without
// regard to ASCII case, duplicates kept in file order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "system/CommonUtils.h"

// Reads an integer as a configuration boolean does: hexadecimal after "0x" or "0X" (when longer
// than two characters) or after "$", else a decimal integer with an optional sign. Anything else,
// such as "x1" or "-0x1", has no value.
std::optional<std::int32_t> ReadIniInteger(const std::string& value);

struct IniLine {
    std::string name;  // empty for a line without "="
    std::string value;
    std::string text;  // the trimmed line as written
    int lineNumber;    // 1-based, for messages to vendors
    bool hasEquals;    // the line holds "=" (its name may still be empty, as in "=x")
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
    // Every stored line of a section as "name=value" (a line without "=" as written), in file order.
    std::vector<std::string> ReadList(const std::string& section) const;
    const std::vector<IniSection>& Sections() const { return sections_; }

    // Every section and key asked for through Value and ReadList (a list as its section and an
    // empty key), in order: what a reader of the file depends on.
    const std::vector<std::pair<std::string, std::string>>& Lookups() const { return lookups_; }

private:
    std::vector<IniSection> sections_;
    mutable std::vector<std::pair<std::string, std::string>> lookups_;
};

// A stored list line's name and value, split at the first "=". A line without "=" has an empty
// name and an empty value: no lookup by name finds it.
std::string ListLineName(const std::string& line);
std::string ListLineValue(const std::string& line);
