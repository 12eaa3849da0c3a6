// The product version record (TProgramVersion): text form, parse rule, ordering and the
// 25-byte stream form stored in the setup archive and in the uninstall record.
#pragma once

#include <cstdint>
#include <string>

class Stream;

inline constexpr const char* kInvalidVersionNumberMessage = "'%s' is not a valid version number";
inline constexpr const char* kInvalidVersionOnStreamMessage = "Invalid version number on stream";

inline constexpr std::int32_t kVersionStreamMarker = -100;
inline constexpr std::int32_t kVersionStreamFormat = 1;

// Integer conversion with a default: leading blanks, an optional sign, then decimal digits or hexadecimal
// digits after "$", "x", "X", "0x" or "0X". Anything after the digits (a blank included), an
// empty text or a value outside int32 gives the default. Hexadecimal takes up to 32 bits and
// wraps into int32 ($FFFFFFFF is -1).
std::int32_t StrToIntDef(const std::string& text, std::int32_t defaultValue);

class TProgramVersion {
public:
    // Declaration order as the record has always had it.
    std::int32_t Beta = 0;
    bool PressPreview = false;
    std::int32_t Major = 0;
    std::int32_t Minor = 0;
    std::int32_t Release = 0;

    // "%d.%d%d", then " beta %d" for a beta, then " (press preview)".
    std::string AsString() const;
    // The parse rule; raises EProgramVersionError and leaves the record unchanged when the
    // major or minor part is missing, negative or not an integer.
    void SetAsString(const std::string& text);

    // -1, 0 or +1; a final release is newer than any beta of the same number; PressPreview
    // never counts.
    static int Compare(const TProgramVersion& a, const TProgramVersion& b);
    bool IsBeta() const { return Beta > 0; }

    // Raises Exception(kInvalidVersionOnStreamMessage) on a wrong marker or format word (both
    // consumed, record unchanged), EReadError when the stream ends early.
    void LoadFromStream(Stream& stream);
    void SaveToStream(Stream& stream) const;
};
