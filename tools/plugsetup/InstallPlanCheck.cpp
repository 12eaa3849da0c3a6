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
#include "tools/plugsetup/HostPath.h"
#include "tools/plugsetup/ProductChecker.h"
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

bool EndsWithVst3(const std::string& name) {
    return name.size() > 5 && SameText(name.substr(name.size() - 5), ".vst3");
}

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string rest = path;
    for (;;) {
        SplitResult split = SplitAt(rest, '\\');
        if (!split.left.empty()) parts.push_back(split.left);
        if (!split.found) return parts;
        rest = split.right;
    }
}

}  // namespace

void ProductChecker::PlanInstallation() {
    MemoryPlatform machine;
    DetectSystemFolders(values_, machine);
    DetectProToolsFolders(values_);
    DetectVst3Folder(values_, items_, [](const std::string&) -> std::int64_t { return 0; });
    values_.DestinationFolder = IncludeBackslash(DefaultDestination(values_));
    values_.Vst2Folder = JoinPath(values_.ProgramFilesFolder, kUsualVst2Folder);
    values_.PhotoshopFolder = JoinPath(values_.ProgramFilesFolder, "Adobe\\Photoshop\\Plug-ins");

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
                const std::string path =
                    PluginFileName(JoinPath(destination, relative), component.DllSuffix, component.IsVst3);
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

// While the setup renames every ".dll" of a VST 3 component to ".vst3", a library inside a
// bundle that is not the bundle's binary (Contents\<architecture>\<bundle name>.dll) is installed
// under a name its plug-in cannot load. Retire this warning once only the binary is renamed.
void ProductChecker::CheckVst3Companions() {
    for (const IniLine& line : Lines("Components")) {
        const ComponentLine component = ParseComponentLine(ListLineOf(line));
        if (!component.IsVst3) continue;
        for (const std::string& source : ExpandedSources(component.Source)) {
            std::optional<fs::path> folder = FindInProduct(root_, source);
            if (!folder || !fs::is_directory(*folder)) continue;
            std::vector<std::pair<std::string, bool>> files;
            WalkProductFolder(*folder, "", false, files);
            std::string first, firstRenamed;
            int count = 0;
            for (const auto& [relative, isFolder] : files) {
                const std::vector<std::string> parts =
                    PathParts(JoinPath(component.DestinationText, relative));
                const std::string& file = parts.back();
                if (file.size() <= 4 || !SameText(file.substr(file.size() - 4), ".dll")) continue;
                std::size_t bundle = parts.size();
                for (std::size_t i = 0; i + 1 < parts.size(); ++i)
                    if (EndsWithVst3(parts[i])) bundle = i;
                if (bundle == parts.size()) continue;  // the single-file layout: the file is the plug-in
                const std::string stem = parts[bundle].substr(0, parts[bundle].size() - 5);
                const bool binary = parts.size() == bundle + 4 && SameText(parts[bundle + 1], "Contents") &&
                                    SameText(FileBaseName(file), stem);
                if (binary) continue;
                if (count++ == 0) {
                    first = relative;
                    firstRenamed = ExtractFileName(PluginFileName(file, component.DllSuffix, true));
                }
            }
            if (count == 0) continue;
            Warning(
                iniPath_, line.lineNumber,
                "'" + first + "'" + More(count - 1, "library", "libraries") +
                    " in a VST 3 bundle are not its plug-in binary, but the setup renames every .dll of a "
                    "VST 3 component: it is installed as '" +
                    firstRenamed + "', a name its plug-in cannot load");
            break;
        }
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
