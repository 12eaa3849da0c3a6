// Environment, the temporary folder and loadable libraries of the in-memory machine.
#include "system/CommonUtils.h"
#include "system/Utf8.h"
#include "system/memory/MemoryPlatform.h"

std::string MemoryPlatform::EnvironmentVariable(const std::string& name) {
    auto it = environment_.find(UpperAscii(name));
    return it == environment_.end() ? std::string() : it->second.second;
}

std::string MemoryPlatform::TemporaryFolder() {
    for (const char* name : {"TMP", "TEMP", "USERPROFILE"}) {
        std::string value = EnvironmentVariable(name);
        if (!value.empty()) return IncludeBackslash(value);
    }
    return IncludeBackslash(SpecialFolderPath(kCsidlWindows));
}

void MemoryPlatform::SetEnvironment(const std::string& name, const std::string& value) {
    if (value.empty())
        environment_.erase(UpperAscii(name));
    else
        environment_[UpperAscii(name)] = {name, value};
}

void MemoryPlatform::AddLibrary(const std::string& path,
                                std::map<std::string, std::function<void()>> exports) {
    libraries_[PathKey(path)] = std::move(exports);
}

LibraryCall MemoryPlatform::CallLibraryFunction(const std::string& library, const std::string& function) {
    LibraryCall result = LibraryCall::NotLoaded;
    // A bare name is found in the system folder, as the loader would.
    std::string path = ExtractFilePath(library).empty() ? "C:\\Windows\\System32\\" + library : library;
    auto it = libraries_.find(PathKey(path));
    if (it != libraries_.end() && HasFile(path)) {
        auto entry = it->second.find(function);
        result = entry == it->second.end() ? LibraryCall::NoSuchFunction : LibraryCall::Called;
        libraryCalls_.push_back({library, function, result});
        if (entry != it->second.end() && entry->second) entry->second();
        return result;
    }
    libraryCalls_.push_back({library, function, result});
    return result;
}

std::uint64_t MemoryPlatform::RandomNumber() {
    if (!randomNumbers_.empty()) {
        const std::uint64_t number = randomNumbers_.front();
        randomNumbers_.pop_front();
        return number;
    }
    // splitmix64 over a counter: spread out, and the same in every run.
    std::uint64_t z = ++randomCalls_ * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

// 0x80..0x9F of code page 1252; the five bytes it leaves free stand for the control characters
// of the same number, as Windows' own table has them. Every other byte is its code point.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Utf8FromWindows1252(const std::string& bytes) {
    std::u16string units;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        units += byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : static_cast<char16_t>(byte);
    }
    return Utf8FromUtf16(units);
}

}  // namespace

std::optional<std::string> MemoryPlatform::TextAsUtf8(std::uint32_t codePage, const std::string& bytes) {
    if (codePage == 0) codePage = ansiCodePage_;
    if (codePage == kUtf8CodePage) return IsUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
    if (codePage == 1252) return Utf8FromWindows1252(bytes);
    if (codePageConverter_) return codePageConverter_(codePage, bytes);
    return std::nullopt;
}
