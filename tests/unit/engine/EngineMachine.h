// A product's setup on the in-memory machine, for the tests of the setup engine: Setup.ini,
// a licence and component folders in an archive appended to the running program, plus a
// progress sink that records what the run reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "engine/SetupProgress.h"
#include "system/Stream.h"
#include "system/Utf8.h"
#include "system/memory/MemoryPlatform.h"
#include "tests/unit/archive/SetupMachine.h"

namespace enginetest {

// Builds the archive of version (3.12 unless given), in UTF-8 as plugsetup builds by default,
// and makes it the running program's.
inline void PlaceProduct(MemoryPlatform& machine, const std::string& setupIni,
                         std::vector<SourceEntry> entries, const std::string& version = "3.12") {
    entries.insert(entries.begin(),
                   {SourceEntry::File("Setup.ini", setupIni), SourceEntry::File("Setup.lic", "Licence\r\n")});
    ArchiveWriterOptions options;
    options.Version.SetAsString(version);
    options.BuildTime = testutil::SampleBuildTime();
    options.TextCodePage = kUtf8CodePage;
    MemoryStream out;
    WriteArchive(out, entries, options);
    setuptest::PlaceSetup(machine, out.Bytes());
}

struct RecordingProgress : ISetupProgress {
    std::vector<std::string> calls;  // "25" for a position, the text for a status
    void SetProgress(int percent) override { calls.push_back(std::to_string(percent)); }
    void SetStatus(const std::string& text) override { calls.push_back(text); }
};

// A value with its type, read in the view given; nothing when key or value is missing.
inline std::optional<RegistryValue> RawValue(MemoryPlatform& machine, RootKey root, const std::string& key,
                                             const std::string& name, bool view64 = false) {
    RegistryKey opened = machine.OpenRegistryKey(root, key.substr(key.front() == '\\' ? 1 : 0),
                                                 kKeyRead | (view64 ? kKeyWow64_64Key : 0));
    if (!opened.IsOpen()) return std::nullopt;
    return machine.ReadRegistryValue(opened, name);
}

inline std::string StringValue(MemoryPlatform& machine, RootKey root, const std::string& key,
                               const std::string& name, bool view64 = false) {
    std::optional<RegistryValue> value = RawValue(machine, root, key, name, view64);
    if (!value) return "(none)";
    if (value->type != kRegString) return "(type " + std::to_string(value->type) + ")";
    std::string text(value->data.begin(), value->data.end());
    return text.substr(0, text.find('\0'));
}

inline std::optional<std::int32_t> NumberValue(MemoryPlatform& machine, RootKey root, const std::string& key,
                                               const std::string& name) {
    std::optional<RegistryValue> value = RawValue(machine, root, key, name);
    if (!value || value->type != kRegDWord || value->data.size() != 4) return std::nullopt;
    return static_cast<std::int32_t>(setuptest::WordAt(value->data, 0));
}

}  // namespace enginetest
