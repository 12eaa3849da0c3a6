// plugsetup extract FILE [ENTRY] DEST: what the setup program would write, through the same
// reader, on an in-memory Windows machine whose result is then copied to a folder of the build
// machine.
#include <algorithm>
#include <filesystem>
#include <string>

#include "archive/ArchiveLocation.h"
#include "install/Installer.h"
#include "system/Exceptions.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/Progress.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/Tool.h"

namespace {

constexpr char kNoSuchEntryMessage[] = "no top-level entry named '%s'";
constexpr char kSetupFolder[] = "C:\\Setup\\";
constexpr char kOutputFolder[] = "C:\\Output\\";

void WriteOut(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    auto out = HostFile::CreateForWriting(PathText(path));
    out->Write(bytes.data(), bytes.size());
    out->Close();
}

// Copies everything below the machine's output folder to dest and clears it there, so only
// one top-level entry is held in memory at a time. Names come out as the reader hands them
// out, UTF-8; contents stay as the setup writes them.
// Each file written is listed as shown + its path below dest.
void MoveOut(MemoryPlatform& machine, const std::filesystem::path& dest,
             const std::string& shown, ToolEnvironment& env) {
    const std::string prefix = kOutputFolder;
    std::vector<std::string> tree = machine.ListTree(prefix);
    std::filesystem::create_directories(dest);  // an empty folder entry too
    for (const std::string& stored : tree) {
        std::string relative = stored.substr(prefix.size());
        bool folder = !relative.empty() && relative.back() == '\\';
        if (folder) relative.pop_back();
        // Entry names never hold "/" (the reader refuses them), so this maps one to one.
        std::replace(relative.begin(), relative.end(), '\\', '/');
        std::filesystem::path target = dest / HostPath(relative);
        if (folder) {
            std::filesystem::create_directories(target);
        } else {
            std::filesystem::create_directories(target.parent_path());
            WriteOut(target, machine.FileBytes(stored));
            env.Out << shown << relative << "\n";
        }
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it)
        if (it->back() == '\\')
            machine.RemoveFolder(*it);
        else
            machine.RemoveFile(*it);
}

std::string NoSuchEntry(const std::string& name) {
    std::string text = kNoSuchEntryMessage;
    return text.replace(text.find("%s"), 2, name);
}

}  // namespace

int RunExtract(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, {kCodePageOption, kProgressOption, kQuietOption});
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::vector<std::string>& positional = arguments.Positional();
    if (positional.size() > 3) throw EUsageError("unexpected argument '" + positional[3] + "'");
    if (positional.size() != 3) arguments.ExpectPositional(2, "FILE and DEST");
    const std::string& file = positional.front();
    const std::filesystem::path dest = HostPath(positional.back());
    Progress progress(env, arguments);
    std::int64_t files = 0, bytes = 0;
    WithSubject(file, [&] {
        MemoryPlatform machine;
        ActAsCustomer(machine, *codePage);
        const std::string program = std::string(kSetupFolder) + "Setup.exe";
        if (OpenSetupFile(file).IsProgram) {
            machine.AddFile(program, ReadHostFile(file));
        } else {
            // A Setup.dat: beside a program whose archive offset word is 0.
            machine.AddFile(std::string(kSetupFolder) + kSetupDataFile, ReadHostFile(file));
            machine.AddFile(program, std::vector<std::uint8_t>(64, 0));
        }
        machine.SetOwnProgramPath(program);
        machine.AddFolder(kOutputFolder);
        TInstaller installer(machine);
        installer.OnBytesWritten = [&](std::size_t size) {
            progress.Advance(static_cast<std::int64_t>(size));
        };
        installer.OnFile = [&](TInstaller&, std::string&, std::uint32_t&) { ++files; };
        auto unpackedSize = [&](const EntryRecord& record) {
            return record.IsDirectory() ? installer.GetDirectorySize(record.Name)
                                        : static_cast<std::int64_t>(record.UnpackedSize);
        };

        std::filesystem::create_directories(dest);
        auto extractOne = [&](const EntryRecord& record, const std::filesystem::path& where, bool intoSelf) {
            const std::string& name = record.Name;
            if (record.IsDirectory()) {
                installer.ExtractDirectory(record.Name, kOutputFolder, 0);
                if (intoSelf)
                    MoveOut(machine, where, "", env);
                else
                    MoveOut(machine, where / HostPath(name), name + "/", env);
            } else {
                auto loaded = installer.LoadFile(record.Name);
                WriteOut(where / HostPath(name), loaded->Bytes());
                // A file entry of its own is unpacked in one piece.
                ++files;
                progress.Advance(record.UnpackedSize);
                env.Out << name << "\n";
            }
        };
        if (positional.size() == 3) {
            // One entry: a folder's contents go straight into DEST, as the setup would put them.
            const std::string& asked = positional[1];
            const std::string& name = asked;
            auto data = installer.OpenData();
            EntryListReader list = TopLevelEntries(*data, installer.Info());
            std::optional<FoundEntry> found = FindEntry(list, name, true);
            if (!found) {
                EntryListReader again = TopLevelEntries(*data, installer.Info());
                found = FindEntry(again, name, false);
            }
            if (!found) throw Exception(NoSuchEntry(asked));
            data.reset();
            bytes = unpackedSize(found->Record);
            progress.Begin("extracting", bytes);
            extractOne(found->Record, dest, true);
            return;
        }
        std::vector<EntryRecord> entries;
        {
            auto data = installer.OpenData();
            EntryListReader list = TopLevelEntries(*data, installer.Info());
            EntryRecord record;
            while (list.Next(record)) entries.push_back(record);
        }
        for (const EntryRecord& record : entries) bytes += unpackedSize(record);
        progress.Begin("extracting", bytes);
        for (const EntryRecord& record : entries) extractOne(record, dest, false);
    });
    progress.Finish(PathText(dest) + ": " + std::to_string(files) + (files == 1 ? " file, " : " files, ") +
                    FormatBytes(bytes) + ", " + FormatSeconds(progress.Elapsed()));
    return kExitOk;
}
