// plugsetup check over what the components install: every file each [Components] line would
// write on a fresh 64-bit Windows that accepts every plug-in format, named as the setup names it.
// Libraries to call and shortcut targets are held against that plan.
#include <algorithm>
#include <filesystem>
#include <map>

#include "engine/Folders.h"
#include "engine/InstallRun.h"
#include "engine/Settings.h"
#include "engine/Upgrade.h"
#include "system/CommonUtils.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/check/ProductChecker.h"
#include "tools/plugsetup/Tool.h"

namespace fs = std::filesystem;

namespace {

std::string ListLineOf(const IniLine& line) {
    return line.hasEquals ? line.name + "=" + line.value : line.text;
}

std::string PathKeyOf(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return UpperAscii(path);
}

std::string More(int count, const char* one, const char* many) {
    return count == 0 ? "" : " and " + std::to_string(count) + " more " + (count == 1 ? one : many);
}

// Every file below folder, as a path with backslashes relative to it, in name order; folders
// too when asked.
void WalkProductFolder(const fs::path& folder, const std::string& prefix, bool folders,
                       std::vector<std::pair<std::string, bool>>& out) {
    std::error_code error;
    for (const fs::path& entry : FolderEntries(folder, error)) {
        const std::string relative = prefix + PathText(entry.filename());
        if (fs::is_directory(entry, error)) {
            if (folders) out.push_back({relative, true});
            WalkProductFolder(entry, relative + "\\", folders, out);
        } else {
            out.push_back({relative, false});
        }
    }
}

bool IsLibrary(const std::string& name) {
    return name.size() > 4 && SameText(name.substr(name.size() - 4), ".dll");
}

}  // namespace

void ProductChecker::PlanInstallation() {
    MemoryPlatform machine;
    DetectSystemFolders(values_, machine);
    DetectPluginFolders(values_, machine);
    values_.DestinationFolder = IncludeBackslash(DefaultDestination(values_));
    // The sample Windows has every host: the formats found in the registry are where they
    // usually are.
    for (const PluginFormatRow& row : PluginFormats())
        if (row.UsualFolder)
            values_.Format(row.Format).Folder = JoinPath(values_.ProgramFilesFolder, row.UsualFolder);

    // The passes of the installation run: each bundle item, then the setup itself.
    std::vector<const TSetupBundleItem*> passes;
    for (const TSetupBundleItem& item : items_) passes.push_back(&item);
    passes.push_back(nullptr);
    for (const TSetupBundleItem* item : passes) {
        for (const IniLine& line : Lines("Components")) {
            const ComponentLine component = ParseComponentLine(ListLineOf(line));
            const std::string source = ExpandPath(values_, component.Source, item);
            const std::string destination = ExpandPath(values_, component.DestinationText, item);
            std::optional<fs::path> folder = source.empty() ? std::nullopt : FindInProduct(root_, source);
            if (destination.empty() || !folder || !fs::is_directory(*folder)) continue;
            plannedFolders_.emplace(PathKeyOf(destination), line.lineNumber);
            std::vector<std::pair<std::string, bool>> entries;
            WalkProductFolder(*folder, "", true, entries);
            for (const auto& [relative, isFolder] : entries) {
                if (isFolder) {
                    plannedFolders_.emplace(PathKeyOf(JoinPath(destination, relative)), line.lineNumber);
                    continue;
                }
                const std::string written = JoinPath(destination, relative);
                const std::string path = PluginFileName(written, component.DllSuffix, component.IsVst3);
                if (component.IsVst3 && IsLibrary(relative))
                    vst3Libraries_.emplace(PathKeyOf(written),
                                           PlannedLibrary{line.lineNumber, UpperAscii(source), written, path,
                                                          JoinPath(component.DestinationText, relative),
                                                          !component.DllSuffix.empty()});
                std::vector<PlannedFile>& writers = plannedFiles_[PathKeyOf(path)];
                // A bundle copies a line without "$BundleItem" in every pass: that is one writer.
                if (!writers.empty() && writers.back().Line == line.lineNumber) continue;
                writers.push_back(
                    {line.lineNumber, PluginFileName(JoinPath(component.DestinationText, relative),
                                                     component.DllSuffix, component.IsVst3)});
            }
        }
    }
}

bool ProductChecker::Installs(const std::string& path) const {
    const std::string key = PathKeyOf(path);
    return plannedFiles_.count(key) > 0 || plannedFolders_.count(key) > 0 ||
           key == PathKeyOf(values_.DestinationFolder + "Uninst.exe") ||
           key == PathKeyOf(values_.DestinationFolder);
}

void ProductChecker::CheckFilesWrittenTwice() {
    struct Overlap {
        std::string Shown;
        int More = 0;
    };
    std::map<std::pair<int, int>, Overlap> overlaps;  // (later line, first line)
    for (const auto& [key, writers] : plannedFiles_)
        for (std::size_t i = 1; i < writers.size(); ++i) {
            if (writers[i].Line == writers[0].Line) continue;
            auto [found, added] =
                overlaps.try_emplace({writers[i].Line, writers[0].Line}, Overlap{writers[i].Shown});
            if (!added) ++found->second.More;
        }
    for (const auto& [lines, overlap] : overlaps)
        Warning(iniPath_, lines.first,
                "writes '" + overlap.Shown + "'" + More(overlap.More, "file", "files") + ", which line " +
                    std::to_string(lines.second) +
                    " writes too: the setup copies both, so the one copied last stays, and the uninstaller "
                    "removes it once");
}

// Only a bundle keeps a plug-in's other libraries under their names. Outside one, every ".dll"
// of a VST 3 component still becomes a ".vst3", so a library that ships beside its plug-in there
// is installed as one more plug-in and is not found by the name it is loaded by. Two plug-ins of
// the single-file layout look the same, hence a warning that says what happens, not an error. A
// suffix on a bundle's binary names it other than the bundle, and hosts look for that name only.
void ProductChecker::CheckVst3Libraries() {
    std::map<std::string, std::vector<const PlannedLibrary*>> outside;  // by archive folder and target folder
    std::map<int, const PlannedLibrary*> suffixed;                      // by line
    for (const auto& [key, library] : vst3Libraries_) {
        const Vst3BundlePlace place = PlaceInVst3Bundle(library.Written);
        if (place == Vst3BundlePlace::Outside)
            outside[library.Source + "|" + PathKeyOf(ExtractFilePath(library.Written))].push_back(&library);
        else if (place == Vst3BundlePlace::Binary && library.Suffixed)
            suffixed.emplace(library.Line, &library);
    }
    const std::string architecture = values_.Config.Is64Bit ? "x86_64-win" : "x86-win";
    for (const auto& [folder, libraries] : outside) {
        if (libraries.size() < 2) continue;
        const PlannedLibrary& first = *libraries[0];
        const PlannedLibrary& second = *libraries[1];
        Warning(iniPath_, first.Line,
                "'" + first.Shown + "' and '" + second.Shown + "'" +
                    More(static_cast<int>(libraries.size()) - 2, "library", "libraries") +
                    " lie side by side outside a .vst3 bundle, where every .dll of a VST 3 component is "
                    "installed "
                    "as a plug-in ('" +
                    ExtractFileName(first.Installed) + "', '" + ExtractFileName(second.Installed) +
                    "'): a library that a plug-in loads is not found under that name; ship the plug-in as a "
                    "bundle (" +
                    FileBaseName(first.Written) + ".vst3\\Contents\\" + architecture + "\\" +
                    ExtractFileName(first.Written) + "), whose other libraries keep their names");
    }
    for (const auto& [line, library] : suffixed) {
        Warning(iniPath_, line,
                "'" + library->Shown + "' is its bundle's binary, and the DLLSuffix names it '" +
                    ExtractFileName(library->Installed) +
                    "', but hosts load only the binary named after the bundle ('" +
                    FileBaseName(library->Written) + ".vst3'): leave the DLLSuffix off this line");
    }
}

void ProductChecker::CheckCallLibraries() {
    for (const IniLine& line : Lines("CallLibraries")) {
        // Called for no bundle item, a library path with "$BundleItem" expands to nothing.
        if (line.name.empty() || line.value.find(kBundleItemVariable) != std::string::npos) continue;
        const std::string library = ExpandPath(values_, line.value, nullptr);
        if (library.empty()) continue;  // in the folder of a plug-in format the customer declined
        if (!IsAbsolutePath(library)) {
            Error(iniPath_, line.lineNumber,
                  "'" + line.value + "' is no full path once expanded ('" + library +
                      "'): the setup loads libraries by their full path only and skips this line without a "
                      "word; begin it with the folder variable of the component that installs it");
            continue;
        }
        if (!Installs(library))
            Error(iniPath_, line.lineNumber,
                  "'" + line.value +
                      "' is not among the installed files: name a library that a [Components] line installs, "
                      "written with the same destination variable");
    }
}

void ProductChecker::CheckShortcutTargets() {
    for (const IniLine& line : Lines("Shortcuts")) {
        if (std::find(std::begin(kShortcutPlaces), std::end(kShortcutPlaces), line.name) ==
            std::end(kShortcutPlaces))
            continue;
        const ShortcutLine shortcut = ParseShortcutValue(values_, line.value);
        if (shortcut.target.find(kBundleItemVariable) != std::string::npos) {
            Warning(
                iniPath_, line.lineNumber,
                "the target names $BundleItem, but the setup makes shortcuts once, for no bundle item, so "
                "this shortcut is never made");
            continue;
        }
        const std::string target = ExpandPath(values_, shortcut.target, nullptr);
        if (target.empty() || Installs(target)) continue;
        Warning(iniPath_, line.lineNumber,
                "the target '" + shortcut.target +
                    "' is no file or folder that a [Components] line installs: the setup makes the shortcut "
                    "anyway, and it points at whatever the customer's machine has there");
    }
}
