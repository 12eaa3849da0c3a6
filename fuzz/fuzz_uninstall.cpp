// An uninstall record as damage or an attacker could leave it: read by itself, then read by
// the uninstaller from its own file on a machine with an installed product, and every logged
// item removed. Whatever the bytes, the run ends with an error of ours or a finished removal.
// Before that, a setup of the same product installs over it and keeps the earlier items: that
// must never fail, whatever the record holds.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/ProgramHeader.h"
#include "install/Installer.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"
#include "system/memory/MemoryPlatform.h"
#include "uninstall/UninstallRecord.h"
#include "uninstall/Uninstaller.h"

namespace {

constexpr char kFolder[] = "C:\\Program Files\\Vendor\\Product\\";
constexpr std::size_t kStubSize = 256;

std::vector<std::uint8_t> Program() {
    std::vector<std::uint8_t> program(kStubSize, 0);
    program[0] = 'M';
    program[1] = 'Z';
    return program;
}

// What an installation leaves: program and plug-in files, a settings key, and the uninstaller
// carrying the record.
void Prepare(MemoryPlatform& machine, const std::uint8_t* data, std::size_t size) {
    const std::string folder = kFolder;
    machine.AddFile(folder + "Gadget.exe", "program");
    machine.AddFile(folder + "Docs\\Readme.txt", "readme");
    machine.AddFile(folder + "Docs\\Hidden.txt", std::vector<std::uint8_t>{'h'}, kAttrHidden | kAttrReadOnly);
    machine.AddFile("C:\\Program Files\\Common Files\\VST3\\Gadget.vst3", "plug-in");
    machine.AddFile("C:\\Users\\user\\Desktop\\Gadget.lnk", "link");
    machine.LockFile(folder + "Docs\\Readme.txt");
    TRegistry64 registry(machine, false);
    registry.SetRootKey(RootKey::CurrentUser);
    if (registry.OpenKey("\\Software\\Maker\\Gadget\\2.1", true)) registry.WriteString("Folder", folder);

    machine.AddFile(folder + "Uninst.exe", AppendToProgram(Program(), ProgramRole::Uninstaller,
                                                           std::vector<std::uint8_t>(data, data + size)));
    machine.SetOwnProgramPath(folder + "Uninst.exe");
}

// A setup program without components beside the installation; the record's own product name
// makes it the same product, so the earlier items are looked at.
void InstallOver(MemoryPlatform& machine, const std::string& productName) {
    MemoryStream archive;
    WriteArchive(archive, {}, ArchiveWriterOptions{});
    machine.AddFile("C:\\Downloads\\Setup.exe",
                    AppendToProgram(Program(), ProgramRole::Setup, archive.Bytes()));
    TInstaller installer(machine, "C:\\Downloads\\Setup.exe");
    // The folder the product's registry record names: the record counts though it has no digest.
    installer.Places = {{kFolder}, {"\\Software\\Maker\\Gadget"}, kFolder};
    installer.KeepEarlierItems(std::string(kFolder) + "Uninst.exe", productName);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string productName;
    try {
        MemoryStream stream(std::vector<std::uint8_t>(data, data + size));
        productName = ReadUninstallRecord(stream).productName;
    } catch (const Exception&) {
    }

    MemoryPlatform machine;
    Prepare(machine, data, size);
    InstallOver(machine, productName);
    try {
        TUninstaller uninstaller(machine);
        uninstaller.RemoveAll();
        uninstaller.BatchFileText(machine.TemporaryFolder() + kBatchFilePrefix + "0123456789abcdef" +
                                  kBatchFileExtension);
    } catch (const Exception&) {
    }
    return 0;
}
