#include "setup/CommandLine.h"

#include <cctype>

#include "system/CommonUtils.h"
#include "texts/Languages.h"

namespace {

enum class SwitchId {
    Silent,
    VerySilent,
    NsisSilent,
    SuppressMessageBoxes,
    NoRestart,
    Log,
    Help,
    Dir,
    NsisDir,
    FormatDir,
    FormatOff,
    Items,
    DesktopIcon,
    NoDesktopIcon,
    NoIcons,
    Name,
    AcceptLicense,
    Language,
};

struct SwitchDef {
    const char* Name;      // without the leading "/"
    const char* Argument;  // what follows "=", or null for a switch without a value
    SwitchId Id;
    bool ForSetup;
    bool ForUninstaller;
    const char* Help;
};

// Inno Setup's names first, NSIS's as aliases: the names administrators and winget manifests
// already use. The format switches follow from FormatSwitches().
const SwitchDef kSwitches[] = {
    {"SILENT", nullptr, SwitchId::Silent, true, true, "no questions; only the copy's progress is shown"},
    {"VERYSILENT", nullptr, SwitchId::VerySilent, true, true, "nothing is shown"},
    {"S", nullptr, SwitchId::NsisSilent, true, true, "the same as /VERYSILENT"},
    {"SUPPRESSMSGBOXES", nullptr, SwitchId::SuppressMessageBoxes, true, true,
     "accepted; a silent run never shows a message box"},
    {"NORESTART", nullptr, SwitchId::NoRestart, true, true, "accepted; Windows is never restarted"},
    {"LOG", "FILE", SwitchId::Log, true, true, "a silent run writes what it did to FILE"},
    {"DIR", "FOLDER", SwitchId::Dir, true, false, "the program folder"},
    {"D", "FOLDER", SwitchId::NsisDir, true, false, "the same as /DIR, last on the line and unquoted"},
    {"ITEMS", "NAME,NAME", SwitchId::Items, true, false, "the bundle items to install, by name"},
    {"DESKTOPICON", nullptr, SwitchId::DesktopIcon, true, false, "a desktop icon"},
    {"NODESKTOPICON", nullptr, SwitchId::NoDesktopIcon, true, false, "no desktop icon"},
    {"NOICONS", nullptr, SwitchId::NoIcons, true, false, "no Start menu icons"},
    {"NAME", "TEXT", SwitchId::Name, true, false, "the owner name of the personalization page"},
    {"ACCEPTLICENSE", nullptr, SwitchId::AcceptLicense, true, false,
     "accepts the licence agreement; a silent run of a setup with a licence needs it"},
    {"LANG", "CODE", SwitchId::Language, true, true,
     "the language of the window and its messages, when the setup carries it: en, de, fr, es, it, pt-BR, nl, "
     "ja, zh-CN, ko, ru"},
    {"?", nullptr, SwitchId::Help, true, true, "shows this list"},
};

// A format's two switches, as its row of FormatSwitches() names them.
std::string FormatDirName(const FormatSwitch& format) {
    return std::string(format.Name) + "DIR";
}
std::string FormatOffName(const FormatSwitch& format) {
    return std::string("NO") + format.Name;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// One word of the line: up to a blank outside quotes, with the quotes taken out.
std::string NextWord(const std::string& text, std::size_t& at) {
    std::string word;
    bool quoted = false;
    for (; at < text.size() && (quoted || !IsSpace(text[at])); ++at) {
        if (text[at] == '"')
            quoted = !quoted;
        else
            word += text[at];
    }
    if (quoted) throw ECommandLineError("The command line has a quote that is not closed: " + word);
    return word;
}

void SkipSpaces(const std::string& text, std::size_t& at) {
    while (at < text.size() && IsSpace(text[at])) ++at;
}

std::string TrimEnd(std::string text) {
    while (!text.empty() && IsSpace(text.back())) text.pop_back();
    return text;
}

std::vector<std::string> SplitItems(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        while (!item.empty() && IsSpace(item.front())) item.erase(item.begin());
        item = TrimEnd(item);
        if (item.empty()) throw ECommandLineError("/ITEMS names an empty item");
        items.push_back(item);
        if (comma == std::string::npos) return items;
        start = comma + 1;
    }
}

class Parser {
public:
    explicit Parser(RunMode role) : role_(role) { options_.Formats.resize(FormatSwitches().size()); }

    // Goes on past a bad switch, so that what comes after it (/VERYSILENT, /LOG) still decides
    // how the error is reported; the first error is kept.
    SetupOptions Parse(const std::string& text) {
        std::size_t at = 0;
        for (SkipSpaces(text, at); at < text.size(); SkipSpaces(text, at)) {
            // NSIS's folder switch takes the rest of the line as it stands.
            if (role_ == RunMode::Setup && (text[at] == '/' || text[at] == '-') &&
                Upper(text.substr(at + 1, 2)) == "D=") {
                Guarded([&] { Take(SwitchId::NsisDir, "D", TrimEnd(text.substr(at + 3)), -1); });
                break;
            }
            Guarded([&] {
                std::string word = NextWord(text, at);
                if (word.empty() || (word[0] != '/' && word[0] != '-'))
                    throw ECommandLineError("Unknown argument: " + word);
                Word(word);
            });
        }
        Guarded([&] {
            if (options_.Items && options_.Items->empty()) throw ECommandLineError("/ITEMS names no item");
            for (std::size_t i = 0; i < options_.Formats.size(); ++i)
                if (options_.Formats[i].Off && options_.Formats[i].Folder)
                    throw ECommandLineError("/" + FormatOffName(FormatSwitches()[i]) + " and /" +
                                            FormatDirName(FormatSwitches()[i]) + " contradict each other");
        });
        return options_;
    }

private:
    void Word(const std::string& word) {
        std::size_t equals = word.find('=');
        std::string name =
            Upper(word.substr(1, equals == std::string::npos ? std::string::npos : equals - 1));
        std::optional<std::string> value;
        if (equals != std::string::npos) value = word.substr(equals + 1);
        for (const SwitchDef& def : kSwitches)
            if (name == def.Name && (role_ == RunMode::Setup ? def.ForSetup : def.ForUninstaller))
                return Checked(word, def.Name, def.Argument != nullptr, value, def.Id, -1);
        if (role_ == RunMode::Setup)
            for (std::size_t i = 0; i < FormatSwitches().size(); ++i) {
                const FormatSwitch& format = FormatSwitches()[i];
                if (name == FormatDirName(format))
                    return Checked(word, name, true, value, SwitchId::FormatDir, int(i));
                if (name == FormatOffName(format))
                    return Checked(word, name, false, value, SwitchId::FormatOff, int(i));
            }
        throw ECommandLineError("Unknown switch: " + word);
    }

    void Checked(const std::string& word, const std::string& name, bool wantsValue,
                 const std::optional<std::string>& value, SwitchId id, int format) {
        if (wantsValue && (!value || value->empty()))
            throw ECommandLineError("The switch " + word + " needs a value: /" + name + "=...");
        if (!wantsValue && value) throw ECommandLineError("The switch /" + name + " takes no value: " + word);
        Take(id, name, value.value_or(""), format);
    }

    void Take(SwitchId id, const std::string& name, const std::string& value, int format) {
        std::string key = name;
        if (id == SwitchId::VerySilent || id == SwitchId::NsisSilent || id == SwitchId::Silent) key = "quiet";
        if (id == SwitchId::Dir || id == SwitchId::NsisDir) key = "folder";
        if (id == SwitchId::DesktopIcon || id == SwitchId::NoDesktopIcon) key = "desktop";
        for (const std::string& seen : seen_)
            if (seen == key)
                throw ECommandLineError("The switch /" + name + " is given twice or contradicts another");
        seen_.push_back(key);
        if ((id == SwitchId::Dir || id == SwitchId::NsisDir) && value.empty())
            throw ECommandLineError("The switch /" + name + " needs a value: /" + name + "=...");
        switch (id) {
            case SwitchId::Silent:
                options_.Quiet = Quietness::ProgressOnly;
                break;
            case SwitchId::VerySilent:
            case SwitchId::NsisSilent:
                options_.Quiet = Quietness::Nothing;
                break;
            case SwitchId::SuppressMessageBoxes:
            case SwitchId::NoRestart:
                break;
            case SwitchId::Log:
                options_.LogFile = value;
                break;
            case SwitchId::Help:
                options_.Help = true;
                break;
            case SwitchId::Dir:
            case SwitchId::NsisDir:
                options_.ProgramFolder = value;
                break;
            case SwitchId::FormatDir:
                options_.Formats[static_cast<std::size_t>(format)].Folder = value;
                break;
            case SwitchId::FormatOff:
                options_.Formats[static_cast<std::size_t>(format)].Off = true;
                break;
            case SwitchId::Items:
                options_.Items = SplitItems(value);
                break;
            case SwitchId::DesktopIcon:
            case SwitchId::NoDesktopIcon:
                options_.DesktopIcon = id == SwitchId::DesktopIcon;
                break;
            case SwitchId::NoIcons:
                options_.NoStartMenuIcons = true;
                break;
            case SwitchId::Name:
                options_.OwnerName = value;
                break;
            case SwitchId::AcceptLicense:
                options_.AcceptLicense = true;
                break;
            case SwitchId::Language:
                if (FindLanguage(value) == nullptr)
                    throw ECommandLineError("The switch /" + name + " names no language of this program: " + value);
                options_.Language = value;
                break;
        }
    }

    template <typename Action>
    void Guarded(Action action) {
        try {
            action();
        } catch (const ECommandLineError& error) {
            if (options_.Error.empty()) options_.Error = error.what();
        }
    }

    RunMode role_;
    SetupOptions options_;
    std::vector<std::string> seen_;
};

}  // namespace

const std::vector<FormatSwitch>& FormatSwitches() {
    static const std::vector<FormatSwitch> formats = {
        {"VST2", PluginFormat::Vst2}, {"VST3", PluginFormat::Vst3},           {"CLAP", PluginFormat::Clap},
        {"AAX", PluginFormat::Aax},   {"PHOTOSHOP", PluginFormat::Photoshop},
    };
    return formats;
}

const std::vector<SwitchHelp>& SwitchTable() {
    static const std::vector<SwitchHelp> table = [] {
        std::vector<SwitchHelp> rows;
        for (const SwitchDef& def : kSwitches) {
            std::string spelling =
                std::string("/") + def.Name + (def.Argument ? std::string("=") + def.Argument : "");
            rows.push_back({spelling, def.Help, def.ForSetup, def.ForUninstaller});
            // The formats' switches follow the program folder's.
            if (def.Id == SwitchId::NsisDir)
                for (const FormatSwitch& format : FormatSwitches()) {
                    rows.push_back({"/" + FormatDirName(format) + "=FOLDER",
                                    std::string("the ") + FormatRow(format.Format).Name + " plug-in folder",
                                    true, false});
                    rows.push_back({"/" + FormatOffName(format),
                                    std::string("no ") + FormatRow(format.Format).Name + " plug-in", true,
                                    false});
                }
        }
        return rows;
    }();
    return table;
}

std::string SwitchHelpText(RunMode role) {
    std::string text = role == RunMode::Setup ? "Setup [switches]\r\r" : "Uninst.exe [switches]\r\r";
    for (const SwitchHelp& row : SwitchTable())
        if (role == RunMode::Setup ? row.ForSetup : row.ForUninstaller)
            text += row.Spelling + ": " + row.Text + "\r";
    return text;
}

bool SetupOptions::ChangesChoices() const {
    if (ProgramFolder || Items || DesktopIcon || NoStartMenuIcons || OwnerName) return true;
    for (const FormatOptions& format : Formats)
        if (format.Off || format.Folder) return true;
    return false;
}

std::string ArgumentsOf(const std::string& commandLine) {
    std::size_t at = 0;
    SkipSpaces(commandLine, at);
    bool quoted = false;
    for (; at < commandLine.size() && (quoted || !IsSpace(commandLine[at])); ++at)
        if (commandLine[at] == '"') quoted = !quoted;
    return commandLine.substr(at);
}

SetupOptions ParseCommandLine(const std::string& arguments, RunMode role) {
    return Parser(role).Parse(arguments);
}
