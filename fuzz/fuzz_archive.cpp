// The setup archive as an attacker would hand it over: checked, walked, and every top-level
// folder extracted into C:\Dest\ and every top-level file loaded on the in-memory machine.
// Whatever the bytes, the run ends with an error of ours or success, and nothing is written
// outside C:\Dest\.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "archive/SetupData.h"
#include "install/Installer.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"

namespace {

constexpr char kProgram[] = "C:\\Downloads\\Setup.exe";
constexpr char kDestination[] = "C:\\Dest\\";

// A mutated archive almost never keeps its Adler-32; the fuzzer would only ever see the
// checksum message. So the checksum is made right for the bytes that the data length covers.
std::vector<std::uint8_t> Sealed(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    if (bytes.size() < static_cast<std::size_t>(kArchiveHeaderSize)) return bytes;
    const std::int32_t dataLength = static_cast<std::int32_t>(bytes[8] | bytes[9] << 8 | bytes[10] << 16 |
                                                              static_cast<std::uint32_t>(bytes[11]) << 24);
    std::uint32_t adler = 1;
    if (dataLength > 0) {
        std::size_t available = bytes.size() - kArchiveHeaderSize;
        std::size_t covered = std::min<std::size_t>(available, static_cast<std::size_t>(dataLength));
        adler = Adler32(1, bytes.data() + kArchiveHeaderSize, covered);
    }
    for (int i = 0; i < 4; ++i) bytes[12 + i] = static_cast<std::uint8_t>(adler >> (8 * i));
    return bytes;
}

std::set<std::string> Everything(MemoryPlatform& machine) {
    std::set<std::string> all;
    for (char drive = 'A'; drive <= 'Z'; ++drive)
        for (const std::string& path : machine.ListTree(std::string(1, drive) + ":\\"))
            all.insert(MemoryPlatform::PathKey(path));
    return all;
}

// The in-memory machine keeps "." and ".." as plain names, and Windows drops trailing dots
// and blanks; a component that is empty after that would leave the folder on a real disk.
bool StaysInside(const std::string& relative) {
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('\\', start);
        if (end == std::string::npos) end = relative.size();
        std::string part = relative.substr(start, end - start);
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (part.empty() || part.find_first_of("/:") != std::string::npos) return false;
        start = end + 1;
    }
    return true;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz_archive: %s\n", what.c_str());
    std::abort();
}

// A full walk with the validating reader: every error is ours.
void Walk(MemoryPlatform& machine) {
    auto stream = machine.OpenForReading("C:\\Downloads\\Setup.dat", ShareMode::DenyWrite);
    ArchiveInfo info = CheckArchive(*stream);
    std::size_t entries = 0;
    WalkEntries(*stream, info, [&](const WalkEntry& entry) {
        if (!IsSafeEntryName(entry.Record.Name)) Fail("the walk handed out an unsafe name");
        ++entries;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryPlatform machine;
    machine.AddFile(kProgram, std::vector<std::uint8_t>(64, 0));
    machine.AddFile("C:\\Downloads\\Setup.dat", Sealed(data, size));
    machine.AddFile("C:\\Windows\\win.ini", "[fonts]\r\n");
    machine.SetOwnProgramPath(kProgram);
    // Bounds what a zlib bomb can write; LoadFile is bounded by the input itself.
    machine.SetFreeDiskSpace(16u << 20);
    const std::set<std::string> before = Everything(machine);

    try {
        Walk(machine);
    } catch (const Exception&) {
    }

    try {
        TInstaller installer(machine);
        std::vector<EntryRecord> topLevel;
        {
            auto stream = installer.OpenData();
            EntryListReader list = TopLevelEntries(*stream, installer.Info());
            EntryRecord record;
            while (list.Next(record)) topLevel.push_back(record);
        }
        std::set<std::string> loaded;  // the first entry of a name wins, whatever its letter case
        for (const EntryRecord& record : topLevel) {
            try {
                if (record.IsDirectory()) {
                    installer.GetDirectorySize(record.Name);
                    installer.ExtractDirectory(record.Name, kDestination, 0);
                } else {
                    auto file = installer.LoadFile(record.Name);
                    const bool first = loaded.insert(MemoryPlatform::PathKey(record.Name)).second;
                    if (!file || (first && file->Size() != record.UnpackedSize))
                        Fail("LoadFile lost its entry");
                }
            } catch (const Exception&) {
            }
        }
        // The uninstaller removes what the log names: files and created folders must all be ours.
        const std::string destination = MemoryPlatform::PathKey(kDestination);
        for (const UninstallItem& item : installer.Items()) {
            if (item.text.empty()) Fail("an empty log line");
            if (item.kind != ItemKind::File && item.kind != ItemKind::CreatedFolder) continue;
            const std::string path = MemoryPlatform::PathKey(item.text);
            if (path != destination && path.rfind(destination + "\\", 0) != 0)
                Fail("logged outside the destination: " + FormatItem(item));
        }
    } catch (const Exception&) {
    }

    const std::string inside = MemoryPlatform::PathKey(kDestination);
    for (const std::string& path : Everything(machine)) {
        if (before.count(path) != 0) continue;
        if (path == inside) continue;
        if (path.rfind(inside + "\\", 0) == 0 && StaysInside(path.substr(inside.size() + 1))) continue;
        Fail("written outside the destination: " + path);
    }
    return 0;
}
