#include "tools/plugsetup/ProductCheck.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "engine/Bundles.h"
#include "engine/Configuration.h"
#include "engine/IniFile.h"
#include "engine/Variables.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/HostFile.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxEntryName = 67;  // what an archive entry's name field holds
// Any valid day will do: a bundle item's stamp is this date shifted by its version.
constexpr std::uint32_t kSampleArchiveDate = ((2024u - 1980u) << 9 | 1u << 5 | 1u) << 16;

const char* const kSections[] = {"Setup",
                                 "Pages",
                                 "Complete",
                                 "InstalledFiles",
                                 "Folders",
                                 "FoldersRegistry",
                                 "Components",
                                 "ComponentsOptions",
                                 "CallLibraries",
                                 "RegistrySettings",
                                 "GlobalRegistrySettings",
                                 "Shortcuts"};
const char* const kSetupKeys[] = {"Is64Bit",
                                  "IsBundle",
                                  "ProductName",
                                  "ProductSuffix",
                                  "Publisher",
                                  "RegistryRoot",
                                  "InstallDescription",
                                  "WelcomeWin64",
                                  "IgnoreMinorVersion",
                                  "DefaultFolder",
                                  "PersonalizeOwner",
                                  "PersonalizeInfo",
                                  "BundleSelectHeading",
                                  "BundleSelectDescription",
                                  "BundleRegistryRoot",
                                  "BundleItemName"};
const char* const kPagesKeys[] = {"VstPluginFolder", "DigiPluginFolder", "PhotoshopPluginFolder",
                                  "Personalization"};
const char* const kCompleteKeys[] = {"Message", "Readme", "Product"};
const char* const kTextVariables[] = {
    "ProductName",        "FullProductName",     "ProductVersion",          "PersonalizeInfo",
    "InstallDescription", "BundleSelectHeading", "BundleSelectDescription", "BitSuffix"};
const char* const kPathVariables[] = {
    "Documents",        "ProgramFolder",         "VstPluginFolder", "Vst3ProgramFolder",
    "Vst3PluginFolder", "DigiPluginFolder",      "AaxPluginFolder", "PhotoshopPluginFolder",
    "ApplicationData",  "BundleItemProductName", "BundleItem"};
const char* const kShortcutNames[] = {"StartMenu", "Desktop", "ProgramFolder"};

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t above = row[j];
            bool same = FoldAscii(a[i - 1]) == FoldAscii(b[j - 1]);
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// "; did you mean X?" for a near miss, else nothing: a guess far off only confuses.
template <std::size_t N>
std::string Suggestion(const std::string& word, const char* const (&known)[N],
                       const std::string& prefix = "") {
    std::size_t best = 3;
    std::string found;
    for (const char* name : known) {
        std::size_t distance = EditDistance(word, name);
        if (distance < best) {
            best = distance;
            found = name;
        }
    }
    return found.empty() ? "" : "; did you mean " + prefix + found + "?";
}

template <std::size_t N>
bool IsOneOf(const std::string& word, const char* const (&known)[N], bool ignoreCase) {
    for (const char* name : known)
        if (ignoreCase ? SameText(word, name) : word == name) return true;
    return false;
}

std::string Stem(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool IsLibraryName(const std::string& name) {
    return name.size() > 4 && SameText(name.substr(name.size() - 4), ".dll");
}

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The product folder's entry of a Windows-style relative path, found the way the archive reader
// looks names up: ASCII letters in either case.
std::optional<fs::path> FindInProduct(const fs::path& root, const std::string& relative) {
    fs::path at = root;
    std::string rest = relative;
    while (!rest.empty()) {
        SplitResult step = SplitAt(rest, '\\');
        rest = step.found ? step.right : "";
        if (step.left.empty()) continue;
        std::error_code error;
        if (!fs::is_directory(at, error)) return std::nullopt;
        std::optional<fs::path> match;
        for (const fs::directory_entry& entry : fs::directory_iterator(at, error))
            if (SameText(entry.path().filename().string(), step.left)) match = entry.path();
        if (!match) return std::nullopt;
        at = *match;
    }
    return at;
}

class ProductSource : public SetupDataSource {
public:
    explicit ProductSource(fs::path root) : root_(std::move(root)) {}
    std::unique_ptr<Stream> Load(const std::string& name) override {
        std::optional<fs::path> path = FindInProduct(root_, name);
        if (path && fs::is_regular_file(*path))
            return std::make_unique<MemoryStream>(ReadHostFile(path->string()));
        // Reported on its own; the rest of the product is still worth checking.
        if (SameText(name, "Setup.lic")) return std::make_unique<MemoryStream>(std::vector<std::uint8_t>{});
        return nullptr;
    }

private:
    fs::path root_;
};

class Checker {
public:
    Checker(const std::string& dir, const TProgramVersion& version) : root_(dir) {
        values_.SetupVersion = version;
    }

    std::vector<CheckFinding> Run() {
        CheckEntryNames();
        std::optional<fs::path> ini = FindInProduct(root_, "Setup.ini");
        iniPath_ = ini ? ini->string() : (root_ / "Setup.ini").string();
        if (!FindInProduct(root_, "Setup.lic"))
            Error((root_ / "Setup.lic").string(), 0,
                  "no licence text: add Setup.lic, the text the License page shows (plain text)");
        if (!FindInProduct(root_, "Setup.jpg"))
            Error((root_ / "Setup.jpg").string(), 0,
                  "no side picture: add Setup.jpg, the JPEG the wizard shows at its left");
        // The wizard stops on a picture it cannot decode; a PNG renamed to .jpg is the usual case.
        for (const char* name : {"Setup.jpg", "Setup@2x.jpg"}) {
            std::optional<fs::path> picture = FindInProduct(root_, name);
            if (!picture || !fs::is_regular_file(*picture)) continue;
            std::vector<std::uint8_t> bytes = ReadHostFile(picture->string());
            if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
                Error(picture->string(), 0,
                      "not a JPEG file (no FF D8 at its start): save the picture as JPEG");
        }
        if (!ini) {
            Error(iniPath_, 0, "no Setup.ini: every setup needs its configuration");
            return std::move(findings_);
        }
        IniFile file(SplitTextLines(ReadText(*ini)));
        ini_ = &file;
        Load();
        CheckLayout();
        CheckBooleans();
        CheckComponents();
        CheckShortcuts();
        CheckFoldersRegistry();
        CheckBundleSettings();
        CheckCallLibraries();
        CheckVariables();
        return std::move(findings_);
    }

private:
    void Error(const std::string& file, int line, const std::string& message) {
        findings_.push_back({file, line, true, message});
    }
    void Warning(const std::string& file, int line, const std::string& message) {
        findings_.push_back({file, line, false, message});
    }

    static std::string ReadText(const fs::path& path) {
        std::vector<std::uint8_t> bytes = ReadHostFile(path.string());
        return std::string(bytes.begin(), bytes.end());
    }

    int SectionLine(const char* name) const {
        const IniSection* section = ini_->Section(name);
        return section ? section->lineNumber : 0;
    }

    const IniLine* KeyLine(const char* section, const char* key) const {
        if (const IniSection* found = ini_->Section(section))
            for (const IniLine& line : found->lines)
                if (SameText(line.name, key)) return &line;
        return nullptr;
    }

    const std::vector<IniLine>& Lines(const char* section) const {
        static const std::vector<IniLine> none;
        const IniSection* found = ini_->Section(section);
        return found ? found->lines : none;
    }

    void Load() {
        MemoryPlatform machine;
        machine.SetOwnProgramPath("C:\\Setup\\Setup.exe");
        ProductSource source(root_);
        try {
            LoadConfiguration(values_, source, machine);
        } catch (const std::exception& error) {
            const SetupConfiguration& c = values_.Config;
            const int line = SectionLine("Setup");
            const std::string what = error.what();
            if (what != kInvalidConfigurationMessage) {
                Error(iniPath_, 0, what);
                return;
            }
            if (c.RegistryRoot.empty())
                Error(iniPath_, line,
                      what +
                          ": [Setup] has no RegistryRoot; add one such as "
                          "RegistryRoot=Software\\Company\\Product");
            if (c.DefaultFolder.empty())
                Error(iniPath_, line,
                      what +
                          ": [Setup] has no DefaultFolder; add the folder below Program Files, such as "
                          "DefaultFolder=Company\\Product %d");
            if (c.IsBundle && c.BundleRegistryRoot.empty())
                Error(iniPath_, line,
                      what +
                          ": a bundle (IsBundle=1) needs BundleRegistryRoot under [Setup], the key the "
                          "items' settings go below");
            return;
        }
        if (values_.Config.IsBundle) LoadBundleItems();
    }

    // Each BundleInfo.ini line as the engine reads it, so the first bad one does not hide the rest.
    void LoadBundleItems() {
        std::optional<fs::path> path = FindInProduct(root_, "BundleInfo.ini");
        if (!path) {
            Error(
                (root_ / "BundleInfo.ini").string(), 0,
                "a bundle (IsBundle=1) needs BundleInfo.ini: one line Name=version[,product name] per item");
            return;
        }
        const std::string file = path->string();
        std::vector<std::string> lines = SplitTextLines(ReadText(*path));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            SplitResult split = SplitAt(lines[i], '=');
            if (!split.found || split.left.empty()) continue;
            SplitResult rest = SplitAt(split.right, ',');
            const int line = static_cast<int>(i + 1);
            if (std::string reason = VersionTextProblem(rest.left); !reason.empty())
                Error(file, line, "version '" + rest.left + "' " + reason);
            try {
                items_.emplace_back(values_, kSampleArchiveDate, split.left, rest.left,
                                    rest.found ? rest.right : split.left);
            } catch (const std::exception& error) {
                std::string hint =
                    SameText(error.what(), kInvalidTimeEncodeMessage)
                        ? ": an item's files are stamped with its version as a time of day, so "
                          "the major number must be at most 23 and the minor number at most 5"
                        : ": write the version as MAJOR.MR, such as 1.20";
                Error(file, line, error.what() + hint);
            }
        }
        if (items_.empty()) Error(file, 0, "no items: the bundle page would have nothing to choose");
    }

    // The engine reads one digit each for minor and release after the point; anything longer
    // is quietly read as something else.
    static std::string VersionTextProblem(const std::string& text) {
        std::string number = text.substr(0, text.find(' ', text.find_first_not_of(' ')));
        std::size_t point = number.find('.');
        if (point == std::string::npos) return "";
        std::string after = number.substr(point + 1);
        bool digits = std::all_of(after.begin(), after.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (after.size() <= 2 && digits) return "";
        return "is read as minor and release digits '" + after.substr(0, 2) +
               "': minor and release numbers are single digits written without a point, such as 1.23 for "
               "1.2.3; 10 or more cannot be told";
    }

    void CheckEntryNames() {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(root_, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.size() > kMaxEntryName)
                Error(it->path().string(), 0,
                      "the name is " + std::to_string(name.size()) +
                          " bytes long; a setup archive holds at most " + std::to_string(kMaxEntryName) +
                          ": shorten it");
        }
    }

    void CheckLayout() {
        std::vector<std::string> seen;
        for (const IniSection& section : ini_->Sections()) {
            if (!IsOneOf(section.name, kSections, true)) {
                Warning(iniPath_, section.lineNumber,
                        "unknown section [" + section.name + "] is ignored" +
                            Suggestion(section.name, kSections));
                continue;
            }
            if (std::any_of(seen.begin(), seen.end(),
                            [&](const std::string& s) { return SameText(s, section.name); })) {
                Warning(iniPath_, section.lineNumber,
                        "a second [" + section.name +
                            "] section is ignored; merge it into the first one at line " +
                            std::to_string(SectionLine(section.name.c_str())));
                continue;
            }
            seen.push_back(section.name);
        }
        CheckKeys("Setup", kSetupKeys);
        CheckKeys("Pages", kPagesKeys);
        CheckKeys("Complete", kCompleteKeys);
        for (const char* name : kSections)
            for (const IniLine& line : Lines(name))
                if (line.name.empty() && (line.text.empty() || line.text.front() != '='))
                    Warning(iniPath_, line.lineNumber, "'" + line.text + "' has no '=' and is ignored");
    }

    template <std::size_t N>
    void CheckKeys(const char* section, const char* const (&keys)[N]) {
        for (const IniLine& line : Lines(section))
            if (!line.name.empty() && !IsOneOf(line.name, keys, true))
                Warning(iniPath_, line.lineNumber,
                        "unknown key '" + line.name + "' in [" + section + "] is ignored" +
                            Suggestion(line.name, keys));
    }

    void CheckBoolean(const char* section, const char* key, bool fallback) {
        const IniLine* line = KeyLine(section, key);
        if (!line || ReadIniInteger(line->value)) return;
        Warning(iniPath_, line->lineNumber,
                std::string(key) + "=" + line->value + " is not a number and reads as " +
                    (fallback ? "1" : "0") + "; write 1 for yes or 0 for no");
    }

    void CheckBooleans() {
        CheckBoolean("Setup", "Is64Bit", false);
        CheckBoolean("Setup", "IsBundle", false);
        CheckBoolean("Setup", "IgnoreMinorVersion", true);
        for (const char* key : kPagesKeys) CheckBoolean("Pages", key, false);
    }

    // The source folder as each item (or the setup itself) would look it up.
    std::vector<std::string> ExpandedSources(const std::string& source) const {
        std::vector<std::string> result;
        if (source.find("$BundleItem") != std::string::npos) {
            for (const TSetupBundleItem& item : items_)
                if (std::string path = ExpandPath(values_, source, &item); !path.empty())
                    result.push_back(path);
        } else if (std::string path = ExpandPath(values_, source, nullptr); !path.empty()) {
            result.push_back(path);
        }
        return result;
    }

    void CheckComponents() {
        const std::vector<IniLine>& components = Lines("Components");
        if (ini_->Section("Components") && components.empty())
            Warning(iniPath_, SectionLine("Components"),
                    "[Components] is empty: the setup installs no files");
        else if (!ini_->Section("Components"))
            Warning(iniPath_, 0, "no [Components] section: the setup installs no files");
        for (const IniLine& line : components) {
            if (line.name.empty()) continue;
            for (const std::string& source : ExpandedSources(line.name)) {
                std::optional<fs::path> found = FindInProduct(root_, source);
                if (!found || !fs::is_directory(*found))
                    Error(iniPath_, line.lineNumber,
                          "component source '" + source + "' is no folder of " + root_.string() +
                              ": add the folder or correct the name before '='");
            }
        }
        for (const IniLine& line : Lines("ComponentsOptions")) {
            if (line.name.empty()) continue;
            bool exact = false, other = false;
            for (const IniLine& component : components) {
                exact = exact || component.name == line.name;
                other = other || SameText(component.name, line.name);
            }
            if (!exact)
                Error(iniPath_, line.lineNumber,
                      "'" + line.name + "' names no [Components] line" +
                          (other ? " (the letter case differs; it must be written exactly as there)" : ""));
            if (line.value != "NoOverwrite")
                Error(iniPath_, line.lineNumber,
                      "unknown option '" + line.value + "'; the only option is NoOverwrite");
        }
    }

    void CheckShortcuts() {
        for (const IniLine& line : Lines("Shortcuts")) {
            if (line.name.empty() || IsOneOf(line.name, kShortcutNames, false)) continue;
            std::string message =
                "'" + line.name + "' is no shortcut place: write StartMenu, Desktop or ProgramFolder";
            if (IsOneOf(line.name, kShortcutNames, true))
                message += " in exactly that case; otherwise the page may ask but no shortcut is made";
            Error(iniPath_, line.lineNumber, message);
        }
    }

    // In a bundle every item pass writes each settings line too: a key path without "$BundleItem"
    // then lands below BundleRegistryRoot once per item, beside the product's own key.
    void CheckBundleSettings() {
        if (!values_.Config.IsBundle) return;
        for (const char* section : {"RegistrySettings", "GlobalRegistrySettings"})
            for (const IniLine& line : Lines(section))
                if (line.name.find('\\') != std::string::npos &&
                    line.name.find("$BundleItem") == std::string::npos)
                    Warning(
                        iniPath_, line.lineNumber,
                        "'" + line.name +
                            "' is also written once for each item, below BundleRegistryRoot in a key named "
                            "after the item's version; begin it with $BundleItem\\ for item settings, or "
                            "drop the key path to keep it in the product's key only");
    }

    void CheckFoldersRegistry() {
        for (const IniLine& line : Lines("FoldersRegistry")) {
            const std::vector<IniLine>& folders = Lines("Folders");
            bool found = std::any_of(folders.begin(), folders.end(),
                                     [&](const IniLine& folder) { return SameText(folder.name, line.name); });
            if (!line.name.empty() && !found)
                Error(iniPath_, line.lineNumber,
                      "'" + line.name + "' has no [Folders] entry, so nothing is remembered there: add " +
                          line.name + "=DEFAULT PATH to [Folders]");
        }
    }

    // A library must be one the components install, or LoadLibrary fails on the user's machine.
    void CheckCallLibraries() {
        for (const IniLine& line : Lines("CallLibraries")) {
            if (line.name.empty() || line.value.find("$BundleItem") != std::string::npos) continue;
            bool installed = false;
            for (const IniLine& component : Lines("Components")) {
                std::string destination = IncludeBackslash(SplitAt(component.value, ',').left);
                if (destination.size() <= 1 || line.value.size() <= destination.size() ||
                    !SameText(line.value.substr(0, destination.size()), destination))
                    continue;
                std::string relative = line.value.substr(destination.size());
                for (const std::string& source : ExpandedSources(component.name))
                    installed = installed || ComponentHolds(source + "\\" + relative);
            }
            if (!installed)
                Error(iniPath_, line.lineNumber,
                      "'" + line.value +
                          "' is not among the installed files: name a library that a [Components] "
                          "line installs, written with the same destination variable");
        }
    }

    // Libraries are renamed on the way (suffix, .vst3), so "Name.dll" also matches "Name x64.dll".
    bool ComponentHolds(const std::string& relative) const {
        if (std::optional<fs::path> found = FindInProduct(root_, relative))
            return fs::is_regular_file(*found);
        std::optional<fs::path> folder = FindInProduct(root_, ExtractFilePath(relative));
        if (!folder || !fs::is_directory(*folder)) return false;
        std::string wanted = UpperAscii(Stem(ExtractFileName(relative)));
        for (const fs::directory_entry& entry : fs::directory_iterator(*folder)) {
            std::string name = entry.path().filename().string();
            if (IsLibraryName(name) && wanted.rfind(UpperAscii(Stem(name)), 0) == 0) return true;
        }
        return false;
    }

    template <std::size_t N>
    void CheckWords(const std::string& text, int line, const char* const (&known)[N], bool path) {
        for (std::size_t at = 0; at < text.size(); ++at) {
            if (text[at] != '$' && !(path && text[at] == '%')) continue;
            std::size_t end = at + 1;
            while (end < text.size() && IsWordChar(text[end])) ++end;
            const std::string word = text.substr(at + 1, end - at - 1);
            if (word.empty()) continue;
            if (text[at] == '%') {
                CheckFolderReference(word, line);
            } else if (!IsOneOf(word, known, false)) {
                Error(iniPath_, line,
                      "'$" + word + "' is no variable here and stays as written" +
                          Suggestion(word, known, "$"));
            } else if (word == "BundleItem") {
                CheckBundleItemName(text, end, line);
            }
            at = end - 1;
        }
    }

    // "%Name" stands for the [Folders] entry whose name begins it, as the expansion replaces it.
    void CheckFolderReference(const std::string& word, int line) {
        for (const IniLine& folder : Lines("Folders"))
            if (!folder.name.empty() && word.compare(0, folder.name.size(), folder.name) == 0) return;
        // Only a warning: registry data may hold a percent sign the product itself reads.
        Warning(iniPath_, line, "'%" + word + "' names no [Folders] entry and stays as written");
    }

    void CheckBundleItemName(const std::string& text, std::size_t end, int line) {
        if (!values_.Config.IsBundle) {
            Error(iniPath_, line, "'$BundleItem' in a setup that is no bundle: the line is never used");
            return;
        }
        if (end >= text.size() || text[end] != '(') return;
        std::size_t close = text.find(')', end);
        if (close == std::string::npos) return;
        const std::string name = text.substr(end + 1, close - end - 1);
        if (!std::any_of(items_.begin(), items_.end(),
                         [&](const TSetupBundleItem& item) { return item.Name == name; }))
            Error(iniPath_, line,
                  "'$BundleItem(" + name + ")' names no item of BundleInfo.ini, so the line is never used");
    }

    void CheckVariables() {
        for (const char* key : {"InstallDescription", "WelcomeWin64", "PersonalizeInfo",
                                "BundleSelectHeading", "BundleSelectDescription"})
            if (const IniLine* line = KeyLine("Setup", key))
                CheckWords(line->value, line->lineNumber, kTextVariables, false);
        if (const IniLine* line = KeyLine("Complete", "Message"))
            CheckWords(line->value, line->lineNumber, kTextVariables, false);
        for (const char* key : {"Readme", "Product"})
            if (const IniLine* line = KeyLine("Complete", key))
                CheckWords(line->value, line->lineNumber, kPathVariables, true);
        for (const char* section : {"Components", "RegistrySettings", "GlobalRegistrySettings"})
            for (const IniLine& line : Lines(section)) {
                CheckWords(line.name, line.lineNumber, kPathVariables, true);
                CheckWords(line.value, line.lineNumber, kPathVariables, true);
            }
        for (const char* section : {"Folders", "CallLibraries"})
            for (const IniLine& line : Lines(section))
                CheckWords(line.value, line.lineNumber, kPathVariables, true);
        for (const IniLine& line : Lines("Shortcuts")) {
            SplitResult target = SplitAt(line.value, ',');
            CheckWords(target.left, line.lineNumber, kPathVariables, true);
            CheckWords(SplitAt(target.right, ',').left, line.lineNumber, kTextVariables, false);
        }
    }

    fs::path root_;
    std::string iniPath_;
    const IniFile* ini_ = nullptr;
    SetupValues values_;
    std::vector<TSetupBundleItem> items_;
    std::vector<CheckFinding> findings_;
};

}  // namespace

std::vector<CheckFinding> CheckProduct(const std::string& productDir, const TProgramVersion& version) {
    std::error_code error;
    if (!fs::is_directory(productDir, error)) throw EFileError(productDir + ": not a product folder");
    return Checker(productDir, version).Run();
}

int PrintFindings(std::ostream& out, const std::vector<CheckFinding>& findings) {
    int errors = 0;
    for (const CheckFinding& finding : findings) {
        out << finding.File;
        if (finding.Line > 0) out << ":" << finding.Line;
        out << ": " << (finding.IsError ? "error" : "warning") << ": " << finding.Message << "\n";
        errors += finding.IsError ? 1 : 0;
    }
    return errors;
}
