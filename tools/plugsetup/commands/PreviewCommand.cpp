// plugsetup preview: the real engine installs the product on an in-memory Windows, and every
// folder, file, attribute, registry value and shortcut it writes is printed from the machine's
// journal of writes, in the order it was written.
#include <cstdio>
#include <filesystem>

#include "archive/ArchiveWriter.h"
#include "archive/ProgramHeader.h"
#include "archive/SetupData.h"
#include "engine/ComponentMachines.h"
#include "engine/Settings.h"
#include "engine/SetupInstaller.h"
#include "install/RunJournal.h"
#include "system/CommonUtils.h"
#include "system/LittleEndian.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"
#include "texts/Texts.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/BuildTime.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/check/JsonText.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"

namespace {

constexpr char kProgramPath[] = "C:\\Users\\user\\Downloads\\Setup.exe";
constexpr char kDataPath[] = "C:\\Users\\user\\Downloads\\Setup.dat";
constexpr std::size_t kStubSize = 0x200;

const std::vector<OptionRule> kPreviewOptions = {
    {"--version", true},    {"--beta", true},           {"--press-preview", false},
    {"--build-time", true}, {"--64bit-windows", false}, {"--32bit-windows", false},
    {"--json", false},      {"--machine", true},        {"--language", true}, kCodePageOption,
};

// The machine preview --machine names: a 64-bit Windows on x64 or Arm64, with or without x64
// emulation.
MachineReport MachineByName(const std::string& name) {
    if (name == "x64") return {NativeMachine::X64, true};
    if (name == "arm64") return {NativeMachine::Arm64, true};
    if (name == "arm64-no-x64") return {NativeMachine::Arm64, false};
    throw EUsageError("--machine wants x64, arm64 or arm64-no-x64, not '" + name + "'");
}

struct PlanStep {
    std::string Kind;  // folder, file, registry, shortcut, attributes, move, delete
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

std::string AttributeLetters(std::uint32_t attributes) {
    std::string letters;
    const std::pair<std::uint32_t, char> kLetters[] = {{kAttrReadOnly, 'R'}, {kAttrHidden, 'H'},
                                                       {kAttrSystem, 'S'},   {kAttrDirectory, 'D'},
                                                       {kAttrArchive, 'A'},  {kAttrNormal, 'N'}};
    for (const auto& [bit, letter] : kLetters)
        if (attributes & bit) letters += letter;
    return letters;
}

std::string RegistryData(const RegistryValue& value) {
    if (value.type == kRegDWord && value.data.size() == 4)
        return std::to_string(ReadLeInt32(value.data.data()));
    return std::string(value.data.begin(), value.data.end()).c_str();
}

std::string RegistryKeyName(MemoryPlatform& machine, const MemoryPlatform::Write& write) {
    std::string name = Hive(write.root);
    // Only HKLM is split into two views for a 32-bit program on 64-bit Windows.
    if (write.root == RootKey::LocalMachine && machine.ProcessIsWow64())
        name += write.view64 ? "(64-bit view)" : "(32-bit view)";
    return write.path.empty() ? name : name + "\\" + write.path;
}

// The machine's journal of writes as the plan: stamps and sizes are read from the finished
// machine, since a file is stamped after its bytes are written.
std::vector<PlanStep> PlanFromJournal(MemoryPlatform& machine) {
    using Kind = MemoryPlatform::Write::Kind;
    std::vector<PlanStep> steps;
    const std::vector<MemoryPlatform::Write>& journal = machine.Journal();
    // Where a file written under one name ends: a file written beside its place is moved there.
    auto finalPath = [&](std::size_t from, std::string path) {
        for (std::size_t i = from + 1; i < journal.size(); ++i)
            if (journal[i].kind == Kind::RenamedFile &&
                MemoryPlatform::PathKey(journal[i].path) == MemoryPlatform::PathKey(path))
                path = journal[i].newPath;
        return path;
    };
    auto writtenByRun = [&](std::size_t before, const std::string& path) {
        for (std::size_t i = 0; i < before; ++i)
            if (journal[i].kind == Kind::File && MemoryPlatform::PathKey(journal[i].path) == MemoryPlatform::PathKey(path))
                return true;
        return false;
    };
    for (std::size_t index = 0; index < journal.size(); ++index) {
        const MemoryPlatform::Write& write = journal[index];
        // The run's own notes, made and removed by every run: not a part of the product.
        if (IsRunJournal(write.path)) continue;
        switch (write.kind) {
            case Kind::Folder:
                steps.push_back({"folder", write.path, {}});
                break;
            case Kind::File: {
                // Shown where it ends, with the name it was written under until it was complete.
                const std::string path = finalPath(index, write.path);
                PlanStep step{"file", path, {}};
                if (machine.HasFile(path)) {
                    step.Details.push_back({"size", std::to_string(machine.FileBytes(path).size())});
                    if (std::optional<std::uint32_t> date = machine.FileDate(path))
                        step.Details.push_back({"time", PackedDateText(*date)});
                }
                if (path != write.path) step.Details.push_back({"as", ExtractFileName(write.path)});
                steps.push_back(std::move(step));
                break;
            }
            case Kind::Attributes:
                steps.push_back({"attributes", write.path, {{"set", AttributeLetters(write.attributes)}}});
                break;
            case Kind::RegistryValue:
                steps.push_back({"registry",
                                 RegistryKeyName(machine, write),
                                 {{"value", write.valueName},
                                  {"type", write.value.type == kRegDWord    ? "REG_DWORD"
                                           : write.value.type == kRegString ? "REG_SZ"
                                                                            : "other"},
                                  {"data", RegistryData(write.value)}}});
                break;
            case Kind::Shortcut:
                steps.push_back(
                    {"shortcut",
                     write.path,
                     {{"target", write.link.target},
                      {"arguments", write.link.arguments},
                      {"folder", write.link.workingFolder},
                      {"icon", write.link.iconFile + "," + std::to_string(write.link.iconIndex)}}});
                break;
            case Kind::RemovedFolder:
            case Kind::RemovedFile:
                steps.push_back({"delete", write.path, {}});
                break;
            case Kind::RemovedKey:
                steps.push_back({"delete", RegistryKeyName(machine, write), {}});
                break;
            case Kind::RenamedFile:
                // A file of the run's own reached its place (shown with its write above); an
                // earlier file is moved aside until the run is over.
                if (!writtenByRun(index, write.path)) steps.push_back({"move", write.path, {{"to", write.newPath}}});
                break;
            case Kind::RemovedValue:
                steps.push_back({"delete", RegistryKeyName(machine, write), {{"value", write.valueName}}});
                break;
        }
    }
    return steps;
}

std::vector<std::uint8_t> Stub() {
    std::vector<std::uint8_t> stub(kStubSize, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    return stub;
}

// A product folder is packed the way build packs it; a setup program or Setup.dat is used as is.
void PlaceSetup(MemoryPlatform& machine, const std::string& input, const Arguments& arguments,
                const CodePage& codePage, ToolEnvironment& env) {
    std::error_code error;
    if (std::filesystem::is_directory(HostPath(input), error)) {
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
        options.TextCodePage = static_cast<std::uint32_t>(codePage.Number());
        MemoryStream archive;
        WriteArchive(archive, ArchiveEntries(ReadProductTree(input, codePage), codePage), options);
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
    if (const PluginFormatRow* row = FormatBySetName(name)) {
        PluginFormatState& format = v.Format(row->Format);
        format.Install = !SameText(value, "off");
        if (format.Install) format.Folder = value;
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
        std::string known;
        for (const PluginFormatRow& row : PluginFormats()) known += std::string(row.SetName) + ", ";
        throw EUsageError("--set knows " + known + "destination, user, shortcuts and items, not '" + name +
                          "'");
    }
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

// What a customer of the spoken language reads: every built-in text by its name (with the
// vendor's [Texts]; variables as written, line breaks as " | "), then the texts Setup.ini gives
// that language.
std::string OneLine(std::string text) {
    for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 3))
        text.replace(at, text.compare(at, 2, "\r\n") == 0 ? 2 : 1, " | ");
    return text;
}

void PrintTexts(std::ostream& out, const SetupConfiguration& config, const CodePage& codePage) {
    const LanguageRow& language = SpokenLanguage();
    out << "texts in " << language.Name << " (" << language.Code << "):\n";
    for (std::size_t i = 0; i < kTextCount; ++i) {
        const TextId id = static_cast<TextId>(i);
        out << "  " << TextName(id) << ": " << OneLine(Text(id)) << "\n";
    }
    out << "  [Complete] Message: " << OneLine(codePage.Decode(config.CompleteMessage)) << "\n";
    const std::size_t end = config.LicenseText.find("\r\n");
    out << "  licence: " << codePage.Decode(config.LicenseText.substr(0, end)) << "\n";
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

    if (arguments.Has("--machine") && arguments.Has("--32bit-windows"))
        throw EUsageError("--machine names a 64-bit Windows; --32bit-windows excludes it");

    MemoryPlatform machine;
    machine.SetWow64(!arguments.Has("--32bit-windows"));
    // The customer's Windows speaks that language; the setup chooses from it as it would there.
    if (arguments.Has("--language")) {
        const LanguageRow* language = FindLanguage(*arguments.Value("--language"));
        if (language == nullptr)
            throw EUsageError("--language knows en, de, fr, es, it, pt-BR, nl, ja, zh-CN, ko and ru, not '" +
                              *arguments.Value("--language") + "'");
        machine.SetUserUiLanguage(language->LangId);
    }
    if (arguments.Has("--machine")) {
        const MachineReport named = MachineByName(*arguments.Value("--machine"));
        machine.SetMachine(named.Native, named.RunsX64);
    }
    const std::string& input = arguments.Positional()[0];
    // A product folder is built as build builds it; a setup without the mark is read in the
    // customer's ANSI code page.
    ActAsCustomer(machine, *CodePageFromArguments(arguments));
    const std::unique_ptr<CodePage> codePage = BuildCodePageFromArguments(arguments);
    WithSubject(input, [&] { PlaceSetup(machine, input, arguments, *codePage, env); });

    std::vector<std::string> log;
    std::string heading;
    SetupConfiguration config;
    WithSubject(input, [&] {
        TSetupInstaller setup(machine, kProgramPath);
        setup.SetShortcutChoice(setup.Config().ShortcutKinds);  // the shortcut page starts ticked
        // A fresh Windows has no VST 2 folder; the page would ask for one, so take the usual one.
        SetupValues& values = setup.Values();
        std::string& vst2 = values.Format(PluginFormat::Vst2).Folder;
        if (vst2.empty())
            vst2 = JoinPath(values.ProgramFilesFolder, FormatRow(PluginFormat::Vst2).UsualFolder);
        // The destination page always hands its folder back, which stores it with a trailing
        // backslash; the preview does the same so the values it shows are the ones written.
        setup.SetDestinationFolder(values.DestinationFolder);
        // Typed on the customer's Windows, which hands the setup UTF-8 like everything else.
        for (const auto& [name, value] : settings) ApplySetting(setup, name, value);
        heading = FullProductName(setup.Values()) + BitSuffix(setup.Values()) + " on " +
                  (machine.ProcessIsWow64() ? "64" : "32") + "-bit Windows" +
                  (arguments.Has("--machine") ? " (" + MachineName(machine.Machine()) + ")" : "") +
                  ", destination " + setup.Values().DestinationFolder;
        if (!setup.CheckCanInstall()) {
            std::string shown;
            for (const MemoryPlatform::Dialog& dialog : machine.Dialogs()) shown += " " + dialog.text;
            throw Exception("the setup refuses to install:" + shown);
        }
        // The plan is what the installation writes, not what starting and the rights probe did.
        machine.ClearJournal();
        NullProgress progress;
        setup.Install(progress);
        log = setup.Installer().Log();
        config = setup.Config();
    });
    // The setup's text is UTF-8, and so is everything shown (and its JSON).
    std::vector<PlanStep> steps = PlanFromJournal(machine);
    if (arguments.Has("--json"))
        PrintJson(env.Out, heading, steps, log);
    else
        PrintText(env.Out, heading, steps, log);
    if (arguments.Has("--language") && !arguments.Has("--json")) PrintTexts(env.Out, config, *codePage);
    SpeakLanguage(EnglishLanguage());
    return kExitOk;
}
