// A setup program on the in-memory machine: a small stand-in for Setup.exe with an archive
// appended (or kept in Setup.dat beside it), for the tests of the archive reader and of the
// uninstaller it writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ProgramHeader.h"
#include "install/Installer.h"
#include "system/WindowsEx.h"
#include "system/memory/MemoryPlatform.h"
#include "tests/unit/archive/ArchiveTestUtil.h"

namespace setuptest {

inline constexpr char kSetupFolder[] = "C:\\Downloads\\";
inline constexpr char kSetupProgram[] = "C:\\Downloads\\Setup.exe";
inline constexpr std::size_t kStubSize = 1000;

// "MZ", then bytes that differ from each other so a wrong copy shows.
inline std::vector<std::uint8_t> Stub() {
    std::vector<std::uint8_t> stub(kStubSize);
    for (std::size_t i = 0; i < stub.size(); ++i) stub[i] = static_cast<std::uint8_t>(i * 7 + 3);
    stub[0] = 'M';
    stub[1] = 'Z';
    for (std::size_t i = 0x30; i < 0x38; ++i) stub[i] = 0;
    return stub;
}

inline void PutWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Positions in PeStub's headers.
inline constexpr std::size_t kPeHeader = 0x80;
inline constexpr std::size_t kCheckSumField = kPeHeader + 24 + 64;
inline constexpr std::size_t kSecurityEntry = kPeHeader + 24 + 96 + 4 * 8;

// The stub with PE32 headers (no sections: only the headers matter here) and a checksum of
// its own; the bytes around the fields keep their pattern, so a change anywhere shows.
inline std::vector<std::uint8_t> PeStub() {
    std::vector<std::uint8_t> stub = Stub();
    PutWord(stub, 0x3C, kPeHeader);
    PutWord(stub, kPeHeader, 0x00004550);    // "PE\0\0"
    PutWord(stub, kPeHeader + 20, 224);      // SizeOfOptionalHeader
    PutWord(stub, kPeHeader + 24, 0x10B);    // PE32 magic (and linker bytes)
    PutWord(stub, kPeHeader + 24 + 92, 16);  // NumberOfRvaAndSizes
    PutWord(stub, kCheckSumField, 0x12345678);
    PutWord(stub, kSecurityEntry, 0);
    PutWord(stub, kSecurityEntry + 4, 0);
    return stub;
}

// The program followed by a certificate table, its entry pointing there, as signing leaves it.
inline std::vector<std::uint8_t> Signed(std::vector<std::uint8_t> program) {
    while (program.size() % 8 != 0) program.push_back(0);
    PutWord(program, kSecurityEntry, static_cast<std::uint32_t>(program.size()));
    PutWord(program, kSecurityEntry + 4, 24);
    for (int i = 0; i < 24; ++i) program.push_back(static_cast<std::uint8_t>(0xC0 + i));
    return program;
}

// Puts the setup program (archive appended to stub) on the machine as the running program.
inline void PlaceSetup(MemoryPlatform& machine, const std::vector<std::uint8_t>& archive,
                       const std::vector<std::uint8_t>& stub = Stub()) {
    machine.AddFile(kSetupProgram, AppendToProgram(stub, ProgramRole::Setup, archive));
    machine.SetOwnProgramPath(kSetupProgram);
}

// The same archive in Setup.dat beside a program that carries none.
inline void PlaceSetupDat(MemoryPlatform& machine, const std::vector<std::uint8_t>& archive) {
    machine.AddFile(kSetupProgram, Stub());
    machine.AddFile(std::string(kSetupFolder) + "Setup.dat", archive);
    machine.SetOwnProgramPath(kSetupProgram);
}

inline void PlaceSetup(MemoryPlatform& machine, const std::vector<SourceEntry>& tree) {
    PlaceSetup(machine, testutil::WriteToBytes(tree));
}

inline std::string ReadValue(MemoryPlatform& machine, RootKey root, const std::string& key,
                             const std::string& name) {
    TRegistry registry(machine);
    registry.SetRootKey(root);
    if (!registry.OpenKey(key, false)) return "(no key)";
    return registry.ReadString(name);
}

inline bool KeyExists(MemoryPlatform& machine, RootKey root, const std::string& key, bool view64 = false) {
    TRegistry64 registry(machine, view64);
    registry.SetRootKey(root);
    return registry.OpenKey(key, false);
}

inline void WriteValue(MemoryPlatform& machine, RootKey root, const std::string& key, const std::string& name,
                       const std::string& value, bool view64 = false) {
    TRegistry64 registry(machine, view64);
    registry.SetRootKey(root);
    registry.OpenKey(key, true);
    registry.WriteString(name, value);
}

// Registers an uninstaller under keyName as a setup does, with the digest of its record: what
// the uninstaller and an update take as proof that the record is the installation's own.
inline void RegisterRecord(MemoryPlatform& machine, const std::string& keyName,
                           const std::string& uninstaller, const std::vector<std::uint8_t>& record) {
    const std::string key = std::string(kUninstallKeyPath) + "\\" + keyName;
    WriteValue(machine, RootKey::LocalMachine, key, kUninstallStringValue, uninstaller);
    WriteValue(machine, RootKey::LocalMachine, key, kRecordDigestValue, RecordDigest(record));
}

}  // namespace setuptest
