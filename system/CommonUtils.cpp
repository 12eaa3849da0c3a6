#include "system/CommonUtils.h"

#include "system/Platform.h"

std::string IncludeBackslash(const std::string& path) {
    if (path.empty() || path.back() == '\\') return path;
    return path + '\\';
}

std::string JoinPath(const std::string& a, const std::string& b) {
    return IncludeBackslash(a) + b;
}

std::string JoinPath(const std::string& a, const std::string& b, const std::string& c) {
    return JoinPath(JoinPath(a, b), c);
}

std::string ExtractFileName(const std::string& path) {
    std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ExtractFilePath(const std::string& path) {
    std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string FileBaseName(const std::string& path) {
    std::string name = ExtractFileName(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

SplitResult SplitAt(const std::string& text, char separator) {
    std::size_t at = text.find(separator);
    if (at == std::string::npos) return {false, text, std::string()};
    return {true, text.substr(0, at), text.substr(at + 1)};
}

int ClampInt(int value, int low, int high) {
    if (value < low) value = low;
    if (value > high) value = high;
    return value;
}

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string Trim(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
    return text.substr(first, last - first);
}

bool IsAbsolutePath(const std::string& path) {
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 3 && path[1] == ':' && separator(path[2])) {
        char drive = FoldAscii(path[0]);
        return drive >= 'A' && drive <= 'Z';
    }
    return path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
}

char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

std::string UpperAscii(const std::string& text) {
    std::string result = text;
    for (char& c : result) c = FoldAscii(c);
    return result;
}

std::string OwnFolder(Platform& platform) {
    return ExtractFilePath(platform.OwnProgramPath());
}

std::optional<std::int32_t> ParseInteger(const std::string& text, IntegerSpelling spelling) {
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    const bool signedAt = at > 0;
    bool hex = false;
    if (spelling != IntegerSpelling::Decimal) {
        if (at < text.size() && text[at] == '$') {
            hex = true;
            ++at;
        } else if (at + 1 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
            hex = true;
            at += 2;
        }
        if (hex && signedAt && spelling != IntegerSpelling::SignedHexadecimal) return std::nullopt;
    }
    if (at >= text.size()) return std::nullopt;
    std::uint64_t value = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; at < text.size(); ++at) {
        const char c = FoldAscii(text[at]);
        int digit = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return std::nullopt;
        value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (value > limit) return std::nullopt;
    }
    auto bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
}
