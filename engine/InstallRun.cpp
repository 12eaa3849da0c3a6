#include "engine/InstallRun.h"

#include <functional>

#include "engine/Bundles.h"
#include "engine/ComponentMachines.h"
#include "engine/FilesInUse.h"
#include "engine/Folders.h"
#include "engine/IniFile.h"
#include "engine/Settings.h"
#include "engine/SetupInstaller.h"
#include "install/Installer.h"
#include "install/RunJournal.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/Utf8.h"
#include "texts/Texts.h"
#include "uninstall/UninstallKey.h"

namespace {

constexpr char kDllSuffixOption[] = "DLLSuffix:";
constexpr std::size_t kDllSuffixOptionLength = sizeof(kDllSuffixOption) - 1;

// The file hook reads the component's suffix and VST 3 mark; they must not outlive the line,
// also when its extraction fails.
class ComponentState {
public:
    explicit ComponentState(SetupValues& values, TInstaller& installer)
        : values_(values), installer_(installer) {}
    ~ComponentState() {
        installer_.Overwrite = true;
        values_.DllSuffix.clear();
        values_.IsVst3Component = false;
    }
    ComponentState(const ComponentState&) = delete;
    ComponentState& operator=(const ComponentState&) = delete;

private:
    SetupValues& values_;
    TInstaller& installer_;
};

// The reader tells the progress sink that the copy goes on, for as long as the run lasts.
class WorkingReports {
public:
    WorkingReports(TInstaller& installer, ISetupProgress& progress) : installer_(installer) {
        installer_.OnWorking = [&progress] { progress.StillWorking(); };
    }
    ~WorkingReports() { installer_.OnWorking = nullptr; }
    WorkingReports(const WorkingReports&) = delete;
    WorkingReports& operator=(const WorkingReports&) = delete;

private:
    TInstaller& installer_;
};

// The [Components] lines for one bundle item (or the setup's own, for null) as the copy takes
// them: each line built for this machine whose source and destination expand goes to use while
// its DLL suffix, VST 3 mark and overwrite switch are set.
void ForEachComponent(
    SetupValues& values, TInstaller& installer, const TSetupBundleItem* item,
    const std::function<void(const std::string& source, const std::string& destination)>& use) {
    for (const std::string& line : values.Config.Components) {
        ComponentState state(values, installer);
        const ComponentLine component = ParseComponentLine(line);
        if (!FitsMachine(values, component.Source)) continue;
        std::string source = ExpandPath(values, component.Source, item);
        values.DllSuffix = component.DllSuffix;
        std::string destination = ExpandPath(values, component.DestinationText, item);
        if (source.empty() || destination.empty()) continue;
        installer.Overwrite = !IsNoOverwrite(values, component.Source);
        values.IsVst3Component = component.IsVst3;
        use(source, destination);
    }
}

[[noreturn]] void PathTooLong(const std::string& path) {
    throw ESetupError(Text(TextId::PathTooLongMessage, path));
}

// A folder that is there already needs no creating; only the files in it are measured.
void CheckFolderPath(Platform& platform, const std::string& folder) {
    std::string path =
        folder.size() > 3 && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
    if (Utf16Length(path) > kMaxFolderPathLength && !platform.DirectoryExists(path)) PathTooLong(path);
}

void CheckFilePath(const std::string& path) {
    if (Utf16Length(path) > kMaxFilePathLength) PathTooLong(path);
}

}  // namespace

std::int64_t ComponentsSize(const SetupValues& values, TInstaller& installer) {
    std::int64_t total = 0;
    for (const std::string& line : values.Config.Components)
        total += installer.GetDirectorySize(ListLineName(line));
    return total;
}

std::string DriveRoot(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
    if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        // \\server\share: up to the backslash after the share name
        std::size_t server = path.find('\\', 2);
        if (server == std::string::npos) return path + "\\";
        std::size_t share = path.find('\\', server + 1);
        return (share == std::string::npos ? path : path.substr(0, share)) + "\\";
    }
    return "\\";
}

void CheckDiskSpace(Platform& platform, const std::string& destination, std::int64_t requiredBytes) {
    std::uint64_t free = platform.FreeDiskSpace(DriveRoot(destination)).value_or(0);
    std::uint64_t needed =
        static_cast<std::uint64_t>(requiredBytes < 0 ? 0 : requiredBytes) + kDiskSpaceReserve;
    if (free < needed) throw ESetupError(Text(TextId::NotEnoughSpaceMessage));
}

bool IsNoOverwrite(const SetupValues& values, const std::string& name) {
    for (const std::string& line : values.Config.ComponentsOptions) {
        SplitResult split = SplitAt(line, '=');
        if (split.found && split.left == name && split.right == "NoOverwrite") return true;
    }
    return false;
}

ComponentLine ParseComponentLine(const std::string& line) {
    ComponentLine component;
    component.Source = ListLineName(line);
    SplitResult option = SplitAt(ListLineValue(line), ',');
    component.DestinationText = option.left;
    if (option.found && option.right.size() >= kDllSuffixOptionLength &&
        SameText(option.right.substr(0, kDllSuffixOptionLength), kDllSuffixOption))
        component.DllSuffix = " " + Trim(option.right.substr(kDllSuffixOptionLength));
    component.IsVst3 = component.DestinationText.find(kVst3ComponentMark) != std::string::npos;
    return component;
}

void InstallComponents(SetupValues& values, TInstaller& installer, const TSetupBundleItem* item) {
    ForEachComponent(values, installer, item, [&](const std::string& source, const std::string& destination) {
        installer.ExtractDirectory(source, destination,
                                   item != nullptr ? static_cast<std::int32_t>(item->FileDate) : 0);
    });
}

void VisitInstallTargets(SetupValues& values, TInstaller& installer,
                         const std::vector<TSetupBundleItem>& bundleItems, const TargetVisit& visit) {
    auto walk = [&](const std::string& source, const std::string& destination) {
        const std::string folder = IncludeBackslash(destination);
        visit(folder, true);
        installer.VisitDirectory(source, [&](const std::string& relative, bool isFolder) {
            if (isFolder)
                visit(folder + relative, true);
            else
                visit(PluginFileName(folder + relative, values.DllSuffix, values.IsVst3Component), false);
        });
    };
    if (values.Config.IsBundle)
        for (const TSetupBundleItem& item : bundleItems)
            if (item.Selected) ForEachComponent(values, installer, &item, walk);
    ForEachComponent(values, installer, nullptr, walk);
}

void CheckPathLengths(Platform& platform, SetupValues& values, TInstaller& installer,
                      const std::vector<TSetupBundleItem>& bundleItems) {
    VisitInstallTargets(values, installer, bundleItems, [&](const std::string& path, bool isFolder) {
        if (isFolder)
            CheckFolderPath(platform, path);
        else
            CheckFilePath(path);
    });
    CheckFolderPath(platform, IncludeBackslash(values.DestinationFolder));
    CheckFilePath(IncludeBackslash(values.DestinationFolder) + kUninstallerFileName);
}

void RunCallLibraries(Platform& platform, const SetupValues& values) {
    for (const std::string& line : values.Config.CallLibraries) {
        SplitResult split = SplitAt(line, '=');
        std::string library = ExpandPath(values, split.right, nullptr);
        // By its full path only: no search may put another file of that name in its place.
        if (!IsAbsolutePath(library)) continue;
        platform.CallLibraryFunction(library, split.left);
    }
}

ProductPlaces ProductPlacesOf(SetupValues& values, TInstaller& installer,
                              const std::vector<TSetupBundleItem>& bundleItems) {
    ProductPlaces places;
    places.Folders.push_back(IncludeBackslash(values.DestinationFolder));
    auto add = [&](const std::string&, const std::string& destination) {
        places.Folders.push_back(IncludeBackslash(destination));
    };
    for (const TSetupBundleItem& item : bundleItems)
        if (item.Selected) ForEachComponent(values, installer, &item, add);
    ForEachComponent(values, installer, nullptr, add);
    places.RegistryKeys.push_back(values.Config.RegistryRoot);
    places.RecordedFolder = values.ExistingFolder;
    return places;
}

int BundleProgress(int from, int to, std::size_t done, std::size_t count) {
    if (count == 0) return from;
    return from + static_cast<int>(static_cast<std::int64_t>(to - from) * static_cast<std::int64_t>(done) /
                                   static_cast<std::int64_t>(count));
}

void TSetupInstaller::Install(ISetupProgress& progress) {
    // What a killed run of this setup left is finished or undone before anything else.
    const std::string journal = RunJournalPath(platform_, FullProductName(values_) + BitSuffix(values_));
    recovered_ = RecoverKilledRun(platform_, journal);
    changes_.Begin(journal);
    try {
        Run(progress);
    } catch (...) {
        // All or nothing: no uninstaller names what the failed run wrote.
        changes_.Undo();
        throw;
    }
    changes_.Commit();
}

void TSetupInstaller::Run(ISetupProgress& progress) {
    WorkingReports working(installer_, progress);
    progress.SetProgress(0);
    progress.SetStatus(Text(TextId::PreparingStatus));
    CheckDiskSpace(platform_, values_.DestinationFolder, ComponentsSize(values_, installer_));
    CheckPathLengths(platform_, values_, installer_, bundleItems_);
    // The last moment to stop with nothing written.
    if (!WaitForFilesInUse(platform_, values_, installer_, bundleItems_)) throw EInstallCancelled();

    const bool callsLibraries = !values_.Config.CallLibraries.empty();
    progress.SetProgress(25);
    progress.SetStatus(Text(TextId::CopyingStatus));
    CopyComponents(progress, 25, callsLibraries ? 50 : 75);
    if (callsLibraries) {
        progress.SetProgress(50);
        progress.SetStatus(Text(TextId::InitializingStatus));
        RunCallLibraries(platform_, values_);
    }

    progress.SetProgress(75);
    progress.SetStatus(Text(TextId::CreatingSettingsStatus));
    // Keys below BundleRegistryRoot are left to the items' own uninstallers.
    const std::string productKey = ProductKey(values_, values_.VersionKey);
    installer_.AddRegistryKey(RootKey::CurrentUser, productKey, false);
    installer_.AddRegistryKey(RootKey::LocalMachine, productKey, values_.Config.Is64Bit);
    WriteInstallationInfo(platform_, values_);
    WriteFolderLocations(platform_, values_);
    WriteOwnerName(platform_, values_);
    for (const TSetupBundleItem& item : bundleItems_) {
        if (item.Selected) WriteRegistrySettings(platform_, values_, &item);
    }
    WriteRegistrySettings(platform_, values_, nullptr);
    progress.SetProgress(100);

    CreateShortcuts(platform_, values_, installer_, shortcutChoice_);
    WriteUninstaller();
}

void TSetupInstaller::CopyComponents(ISetupProgress& progress, int from, int to) {
    if (values_.Config.IsBundle) {
        std::size_t count = 0;
        for (const TSetupBundleItem& item : bundleItems_) count += item.Selected ? 1 : 0;
        std::size_t done = 0;
        for (const TSetupBundleItem& item : bundleItems_) {
            if (!item.Selected) continue;
            progress.SetProgress(BundleProgress(from, to, done++, count));
            InstallComponents(values_, installer_, &item);
        }
    }
    InstallComponents(values_, installer_, nullptr);
}

void TSetupInstaller::WriteUninstaller() {
    const std::string name = FullProductName(values_) + BitSuffix(values_);  // the journal's too
    const std::string folder = IncludeBackslash(values_.DestinationFolder);
    // A product of plug-ins only copies nothing into its own folder; the uninstaller still
    // needs one, and the uninstall removes it again.
    if (!platform_.DirectoryExists(folder)) installer_.ForceDirectory(folder);
    installer_.Places = ProductPlacesOf(values_, installer_, bundleItems_);
    UninstallListing listing;
    listing.Publisher = values_.Config.Publisher;
    listing.DisplayIcon = ProductFile();  // empty: the uninstaller's own icon
    listing.InstallLocation = folder;
    // The uninstaller speaks the language of this run; an English run writes nothing, as ever.
    if (values_.Config.Language != EnglishLanguage().Code) listing.Language = values_.Config.Language;
    // What the vendor wrote for the uninstaller in this language goes with it, its variables
    // expanded, since the uninstaller reads no Setup.ini.
    listing.Texts = ExpandText(StoredUninstallerTexts());
    installer_.CreateUninstaller(folder + kUninstallerFileName, name, name, values_.Config.ProductName,
                                 listing);
}
