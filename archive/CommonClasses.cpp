#include "archive/CommonClasses.h"

#include <string>

#include "system/Exceptions.h"
#include "system/Stream.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string FormatVersionError(const std::string& text) {
    std::string message = kInvalidVersionNumberMessage;
    message.replace(message.find("%s"), 2, text);
    return message;
}

}  // namespace

std::int32_t StrToIntDef(const std::string& text, std::int32_t defaultValue) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    bool hex = false;
    if (i < n && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) return defaultValue;  // no digits at all

    std::uint64_t value = 0;
    for (; i < n; ++i) {
        int digit = hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
        if (digit < 0) return defaultValue;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        // Past 32 bits nothing can bring it back; stop before the accumulator could wrap.
        if (value > 0xFFFFFFFFull) return defaultValue;
    }
    if (hex) {
        auto bits = static_cast<std::uint32_t>(value);
        if (negative) bits = 0u - bits;
        return static_cast<std::int32_t>(bits);
    }
    if (negative) {
        if (value > 0x80000000ull) return defaultValue;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    }
    if (value > 0x7FFFFFFFull) return defaultValue;
    return static_cast<std::int32_t>(value);
}

std::string TProgramVersion::AsString() const {
    // Not snprintf: in Setup.exe it would link MinGW's whole printf, floating point and all.
    std::string result = std::to_string(Major) + "." + std::to_string(Minor) + std::to_string(Release);
    if (IsBeta()) result += " beta " + std::to_string(Beta);
    if (PressPreview) result += " (press preview)";
    return result;
}

void TProgramVersion::SetAsString(const std::string& text) {
    std::int32_t major, minor, release;
    std::size_t point = text.find('.');
    if (point == std::string::npos) {
        major = StrToIntDef(text, -1);
        minor = 0;
        release = 0;
    } else {
        major = StrToIntDef(text.substr(0, point), -1);
        // One character each: the text form writes minor and release without a separator.
        minor = StrToIntDef(text.substr(point + 1, 1), -1);
        release = point + 2 < text.size() ? StrToIntDef(text.substr(point + 2, 1), 0) : 0;
    }
    std::int32_t beta = 0;
    std::size_t betaAt = text.find("beta ");
    if (betaAt != std::string::npos) {
        std::size_t digits = betaAt + 5;
        beta = digits < text.size() ? StrToIntDef(text.substr(digits, 2), 0) : 0;
    }
    if (major < 0 || minor < 0) throw EProgramVersionError(FormatVersionError(text));
    Major = major;
    Minor = minor;
    Release = release;
    Beta = beta;
    PressPreview = text.find("press") != std::string::npos;
}

int TProgramVersion::Compare(const TProgramVersion& a, const TProgramVersion& b) {
    auto sign = [](std::int32_t x, std::int32_t y) { return x < y ? -1 : (x > y ? 1 : 0); };
    if (a.Major != b.Major) return sign(a.Major, b.Major);
    if (a.Minor != b.Minor) return sign(a.Minor, b.Minor);
    if (a.Release != b.Release) return sign(a.Release, b.Release);
    if (b.IsBeta() && !a.IsBeta()) return 1;
    if (a.IsBeta() && !b.IsBeta()) return -1;
    return sign(a.Beta, b.Beta);
}

void TProgramVersion::LoadFromStream(Stream& stream) {
    std::int32_t marker = stream.ReadInt32();
    std::int32_t format = stream.ReadInt32();
    if (marker != kVersionStreamMarker || format != kVersionStreamFormat)
        throw Exception(kInvalidVersionOnStreamMessage);
    Major = stream.ReadInt32();
    Minor = stream.ReadInt32();
    Release = stream.ReadInt32();
    Beta = stream.ReadInt32();
    PressPreview = stream.ReadByte() != 0;
}

void TProgramVersion::SaveToStream(Stream& stream) const {
    stream.WriteInt32(kVersionStreamMarker);
    stream.WriteInt32(kVersionStreamFormat);
    stream.WriteInt32(Major);
    stream.WriteInt32(Minor);
    stream.WriteInt32(Release);
    stream.WriteInt32(Beta);
    stream.WriteByte(PressPreview ? 1 : 0);
}
