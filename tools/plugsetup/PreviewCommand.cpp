// plugsetup preview: the real engine installs the product on an in-memory Windows, and every
// folder, file, registry value and shortcut it writes is printed in the order it was written.
#include <sys/stat.h>
#include <cstdio>
#include <map>

#include "archive/ArchiveWriter.h"
#include "archive/ProgramHeader.h"
#include "archive/SetupData.h"
#include "engine/Settings.h"
#include "engine/SetupInstaller.h"
#include "system/CommonUtils.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/BuildTime.h"
#include "tools/plugsetup/HostFile.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/Tool.h"

namespace {

constexpr char kProgramPath[] = "C:\\Users\\user\\Downloads\\Setup.exe";
constexpr char kDataPath[] = "C:\\Users\\user\\Downloads\\Setup.dat";
constexpr std::size_t kStubSize = 0x200;

const std::vector<OptionRule> kPreviewOptions = {
    {"--version", true},    {"--beta", true},           {"--press-preview", false},
    {"--build-time", true}, {"--64bit-windows", false}, {"--32bit-windows", false},
    {"--json", false},
};

struct PlanStep {
    std::string Kind;  // folder, file, registry, shortcut
    std::string Path;
    std::vector<std::pair<std::string, std::string>> Details;
};

std::string Hive(RootKey root) {
    switch (root) {
        case RootKey::ClassesRoot:
            return "HKCR";
        case RootKey::CurrentUser:
            return "HKCU";
        case RootKey::LocalMachine:
            return "HKLM";
        case RootKey::Users:
            return "HKU";
    }
    return "?";
}

std::string TwoDigits(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value % 100);
    return text;
}

std::string PackedDateText(std::uint32_t packed) {
    unsigned date = packed >> 16, time = packed & 0xFFFF;
    return std::to_string(1980 + (date >> 9)) + "-" + TwoDigits(date >> 5 & 15) + "-" + TwoDigits(date & 31) +
           " " + TwoDigits(time >> 11) + ":" + TwoDigits(time >> 5 & 63) + ":" + TwoDigits((time & 31) * 2);
}

// The in-memory machine, noting every write the installation makes.
class PreviewMachine : public MemoryPlatform {
public:
    std::vector<PlanStep> Steps;

    FolderResult CreateFolder(const std::string& path) override {
        FolderResult result = MemoryPlatform::CreateFolder(path);
        if (result == FolderResult::Created) Steps.push_back({"folder", path, {}});
        return result;
    }
    // A folder made and removed again (the engine's probe for write access) is no part of the plan.
    bool RemoveFolder(const std::string& path) override {
        bool removed = MemoryPlatform::RemoveFolder(path);
        if (removed && !Steps.empty() && Steps.back().Kind == "folder" && Steps.back().Path == path)
            Steps.pop_back();
        return removed;
    }
    std::unique_ptr<FileStream> CreateForWriting(const std::string& path) override {
        std::unique_ptr<FileStream> stream = MemoryPlatform::CreateForWriting(path);
        Steps.push_back({"file", path, {}});
        return stream;
    }
    RegistryKey OpenRegistryKey(const RegistryKey& base, const std::string& path,
                                std::uint32_t access) override {
        return Remember(base, path, access, MemoryPlatform::OpenRegistryKey(base, path, access));
    }
    RegistryKey CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                  std::uint32_t access) override {
        return Remember(base, path, access, MemoryPlatform::CreateRegistryKey(base, path, access));
    }
    bool WriteRegistryValue(const RegistryKey& key, const std::string& name,
                            const RegistryValue& value) override {
        bool written = MemoryPlatform::WriteRegistryValue(key, name, value);
        auto found = keys_.find(key.Opened());
        if (written && found != keys_.end()) {
            std::string data;
            if (value.type == kRegDWord && value.data.size() == 4)
                data = std::to_string(
                    static_cast<std::int32_t>(value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                                              static_cast<std::uint32_t>(value.data[3]) << 24));
            else
                data = std::string(value.data.begin(), value.data.end()).c_str();
            Steps.push_back({"registry",
                             found->second,
                             {{"value", name},
                              {"type", value.type == kRegDWord    ? "REG_DWORD"
                                       : value.type == kRegString ? "REG_SZ"
                                                                  : "other"},
                              {"data", data}}});
        }
        return written;
    }
    bool SaveShellLink(const std::string& linkFile, const ShellLink& link) override {
        bool saved = MemoryPlatform::SaveShellLink(linkFile, link);
        // The link file itself is the shortcut, not a file of its own.
        while (!Steps.empty() && Steps.back().Kind == "file" && Steps.back().Path == linkFile)
            Steps.pop_back();
        if (saved)
            Steps.push_back({"shortcut",
                             linkFile,
                             {{"target", link.target},
                              {"arguments", link.arguments},
                              {"folder", link.workingFolder},
                              {"icon", link.iconFile + "," + std::to_string(link.iconIndex)}}});
        return saved;
    }

private:
    RegistryKey Remember(const RegistryKey& base, const std::string& path, std::uint32_t access,
                         RegistryKey key) {
        if (!key.IsOpen() || !key.Opened()) return key;
        std::string name;
        if (base.IsRoot()) {
            name = Hive(base.Root());
            // Only HKLM\Software is split into two views for a 32-bit program on 64-bit Windows.
            if (base.Root() == RootKey::LocalMachine && ProcessIsWow64())
                name += (access & kKeyWow64_64Key) ? "(64-bit view)" : "(32-bit view)";
        } else if (auto found = keys_.find(base.Opened()); found != keys_.end()) {
            name = found->second;
        }
        keys_[key.Opened()] = name + (path.empty() || path.front() == '\\' ? "" : "\\") + path;
        return key;
    }

    std::map<const void*, std::string> keys_;
};

std::vector<std::uint8_t> Stub() {
    std::vector<std::uint8_t> stub(kStubSize, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    return stub;
}

// A product folder is packed the way build packs it; a setup program or Setup.dat is used as is.
void PlaceSetup(PreviewMachine& machine, const std::string& input, const Arguments& arguments,
                ToolEnvironment& env) {
    struct stat info;
    if (stat(input.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        ArchiveWriterOptions options;
        TProgramVersion fallback;
        fallback.Major = 1;
        options.Version = VersionFromArguments(arguments, &fallback);
        options.BuildTime = env.Now();
        if (std::optional<std::string> text = arguments.Value("--build-time")) {
            std::optional<double> time = ParseBuildTime(*text);
            if (!time) throw EUsageError("--build-time wants YYYY-MM-DDTHH:MM:SS, not '" + *text + "'");
            options.BuildTime = *time;
        }
        MemoryStream archive;
        WriteArchive(archive, ReadProductTree(input), options);
        machine.AddFile(kProgramPath, AppendToProgram(Stub(), ProgramRole::Setup, archive.Bytes()));
    } else {
        std::vector<std::uint8_t> bytes = ReadHostFile(input);
        if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z') {
            machine.AddFile(kProgramPath, bytes);
        } else {
            machine.AddFile(kProgramPath, Stub());
            machine.AddFile(kDataPath, bytes);
        }
    }
    machine.SetOwnProgramPath(kProgramPath);
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::string rest = text;
    while (!rest.empty()) {
        SplitResult split = SplitAt(rest, ',');
        if (!split.left.empty()) items.push_back(split.left);
        rest = split.found ? split.right : "";
    }
    return items;
}

// What the wizard's pages would have set; "off" declines a plug-in folder.
void ApplySetting(TSetupInstaller& setup, const std::string& name, const std::string& value) {
    SetupValues& v = setup.Values();
    const bool off = SameText(value, "off");
    auto folder = [&](std::string& path, bool& install) {
        install = !off;
        if (!off) path = value;
    };
    if (SameText(name, "vst2")) {
        folder(v.Vst2Folder, v.InstallVst2);
    } else if (SameText(name, "vst3")) {
        folder(v.Vst3Folder, v.InstallVst3);
    } else if (SameText(name, "aax")) {
        folder(v.AaxFolder, v.InstallAax);
    } else if (SameText(name, "rtas")) {
        folder(v.DigiFolder, v.InstallRtas);
    } else if (SameText(name, "photoshop")) {
        folder(v.PhotoshopFolder, v.InstallPhotoshop);
    } else if (SameText(name, "destination")) {
        setup.SetDestinationFolder(value);
    } else if (SameText(name, "user")) {
        v.UserName = value;
    } else if (SameText(name, "shortcuts")) {
        unsigned choice = 0;
        for (const std::string& item : SplitList(value)) {
            if (SameText(item, "startmenu"))
                choice |= kChoiceStartMenu;
            else if (SameText(item, "desktop"))
                choice |= kChoiceDesktop;
            else if (!SameText(item, "none"))
                throw EUsageError("shortcuts takes startmenu, desktop or none");
        }
        setup.SetShortcutChoice(choice);
    } else if (SameText(name, "items")) {
        std::vector<std::string> chosen = SplitList(value);
        for (const std::string& wanted : chosen) {
            bool known = false;
            for (const TSetupBundleItem& item : setup.BundleItems())
                known = known || SameText(wanted, item.Name);
            if (!known) throw EUsageError("items: '" + wanted + "' is no item of this setup");
        }
        for (TSetupBundleItem& item : setup.BundleItems()) {
            item.Selected = false;
            for (const std::string& wanted : chosen)
                item.Selected = item.Selected || SameText(wanted, item.Name);
        }
    } else {
        throw EUsageError(
            "--set knows vst2, vst3, aax, rtas, photoshop, destination, user, shortcuts and items, not '" +
            name + "'");
    }
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x",
                          static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void PrintText(std::ostream& out, const std::string& heading, const std::vector<PlanStep>& steps,
               const std::vector<std::string>& log) {
    out << heading << "\n";
    for (const PlanStep& step : steps) {
        out << step.Kind << std::string(step.Kind.size() < 9 ? 9 - step.Kind.size() : 1, ' ') << step.Path;
        for (const auto& [name, value] : step.Details) out << "  " << name << "=" << value;
        out << "\n";
    }
    out << "uninstall log:\n";
    for (const std::string& line : log) out << "  " << line << "\n";
}

void PrintJson(std::ostream& out, const std::string& heading, const std::vector<PlanStep>& steps,
               const std::vector<std::string>& log) {
    out << "{\"setup\": " << JsonText(heading) << ",\n \"steps\": [";
    for (std::size_t i = 0; i < steps.size(); ++i) {
        out << (i ? ",\n  " : "\n  ") << "{\"kind\": " << JsonText(steps[i].Kind)
            << ", \"path\": " << JsonText(steps[i].Path);
        for (const auto& [name, value] : steps[i].Details)
            out << ", " << JsonText(name) << ": " << JsonText(value);
        out << "}";
    }
    out << "],\n \"uninstallLog\": [";
    for (std::size_t i = 0; i < log.size(); ++i) out << (i ? ", " : "") << JsonText(log[i]);
    out << "]}\n";
}

struct NullProgress : ISetupProgress {
    void SetProgress(int) override {}
    void SetStatus(const std::string&) override {}
};

}  // namespace

int RunPreview(const std::vector<std::string>& args, ToolEnvironment& env) {
    // --set may be given many times, so it is taken out before the common option rules.
    std::vector<std::pair<std::string, std::string>> settings;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string setting;
        if (args[i] == "--set") {
            if (i + 1 >= args.size()) throw EUsageError("--set wants NAME=VALUE");
            setting = args[++i];
        } else if (args[i].rfind("--set=", 0) == 0) {
            setting = args[i].substr(6);
        } else {
            rest.push_back(args[i]);
            continue;
        }
        SplitResult split = SplitAt(setting, '=');
        if (!split.found || split.left.empty())
            throw EUsageError("--set wants NAME=VALUE, not '" + setting + "'");
        settings.emplace_back(split.left, split.right);
    }
    Arguments arguments(rest, kPreviewOptions);
    arguments.ExpectPositional(1, "PRODUCT_DIR or SETUP");
    if (arguments.Has("--64bit-windows") && arguments.Has("--32bit-windows"))
        throw EUsageError("--64bit-windows and --32bit-windows exclude each other");

    PreviewMachine machine;
    machine.SetWow64(!arguments.Has("--32bit-windows"));
    const std::string& input = arguments.Positional()[0];
    WithSubject(input, [&] { PlaceSetup(machine, input, arguments, env); });

    std::vector<PlanStep> steps;
    std::vector<std::string> log;
    std::string heading;
    WithSubject(input, [&] {
        TSetupInstaller setup(machine, kProgramPath);
        setup.SetShortcutChoice(setup.Config().ShortcutKinds);  // the shortcut page starts ticked
        // A fresh Windows has no VST 2 folder; the page would ask for one, so take the usual one.
        SetupValues& values = setup.Values();
        if (values.Vst2Folder.empty())
            values.Vst2Folder = JoinPath(values.ProgramFilesFolder, "Steinberg\\VstPlugins");
        // The destination page always hands its folder back, which stores it with a trailing
        // backslash; the preview does the same so the values it shows are the ones written.
        setup.SetDestinationFolder(values.DestinationFolder);
        for (const auto& [name, value] : settings) ApplySetting(setup, name, value);
        heading = FullProductName(setup.Values()) + BitSuffix(setup.Values()) + " on " +
                  (machine.ProcessIsWow64() ? "64" : "32") + "-bit Windows, destination " +
                  setup.Values().DestinationFolder;
        machine.Steps.clear();  // what the engine read while starting is no part of the plan
        if (!setup.CheckCanInstall()) {
            std::string shown;
            for (const MemoryPlatform::Dialog& dialog : machine.Dialogs()) shown += " " + dialog.text;
            throw Exception("the setup refuses to install:" + shown);
        }
        NullProgress progress;
        setup.Install(progress);
        log = setup.Installer().Log();
    });
    // Stamps are set after the bytes are written, so they are read from the finished machine.
    for (PlanStep& step : machine.Steps) {
        if (step.Kind != "file") continue;
        step.Details.push_back({"size", std::to_string(machine.FileBytes(step.Path).size())});
        if (std::optional<std::uint32_t> date = machine.FileDate(step.Path))
            step.Details.push_back({"time", PackedDateText(*date)});
    }
    if (arguments.Has("--json"))
        PrintJson(env.Out, heading, machine.Steps, log);
    else
        PrintText(env.Out, heading, machine.Steps, log);
    return kExitOk;
}
