// Environment, the temporary folder and loadable libraries of the in-memory machine.
#include "system/CommonUtils.h"
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
