#include "system/Utf8.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes the sequence at text[at]; advances at past it (one byte for an ill-formed start).
// Returns the code point, or kReplacement with ok false when the sequence is ill-formed.
char32_t DecodeAt(const std::string& text, std::size_t& at, bool& ok) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    ok = true;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t extra = 0;
    char32_t value = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1, value = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2, value = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3, value = lead & 0x07, lowest = 0x10000;
    } else {
        ++at;
        ok = false;
        return kReplacement;
    }
    std::size_t i = at + 1;
    for (; i <= at + extra; ++i) {
        if (i >= text.size() || (byte(i) & 0xC0) != 0x80) break;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (i != at + extra + 1 || value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        // Skip the lead and the continuation bytes that were read, as one bad sequence.
        at = i > at + 1 ? i : at + 1;
        ok = false;
        return kReplacement;
    }
    at = i;
    return value;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

bool IsUtf8(const std::string& text) {
    bool ok = true;
    for (std::size_t at = 0; at < text.size();) {
        DecodeAt(text, at, ok);
        if (!ok) return false;
    }
    return true;
}

std::u16string Utf16FromUtf8(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    bool ok = true;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = DecodeAt(text, at, ok);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string Utf8FromUtf16(const char16_t* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::string Utf8FromUtf16(const std::u16string& text) { return Utf8FromUtf16(text.data(), text.size()); }

std::size_t Utf16Length(const std::string& text) {
    std::size_t units = 0;
    bool ok = true;
    for (std::size_t at = 0; at < text.size();) units += DecodeAt(text, at, ok) >= 0x10000 ? 2 : 1;
    return units;
}
