#include "tools/plugsetup/check/ProductCheck.h"

#include <algorithm>
#include <optional>

#include "engine/ComponentMachines.h"
#include "engine/Configuration.h"
#include "engine/SetupSchema.h"
#include "engine/Upgrade.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/check/ProductChecker.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "tools/plugsetup/pe/SetupFace.h"

namespace {

// Any valid day will do: a bundle item's stamp is this date shifted by its version.
constexpr std::uint32_t kSampleArchiveDate = ((2024u - 1980u) << 9 | 1u << 5 | 1u) << 16;

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
std::string Suggestion(const std::string& word, const std::vector<std::string>& known) {
    std::size_t best = 3;
    std::string found;
    for (const std::string& name : known) {
        std::size_t distance = EditDistance(word, name);
        if (distance < best) {
            best = distance;
            found = name;
        }
    }
    return found.empty() ? "" : "; did you mean " + found + "?";
}

bool IsOneOf(const std::string& word, const std::vector<std::string>& known, bool ignoreCase) {
    return std::any_of(known.begin(), known.end(), [&](const std::string& name) {
        return ignoreCase ? SameText(word, name) : word == name;
    });
}

std::vector<std::string> SectionNames() {
    std::vector<std::string> names;
    for (const SchemaSection& section : SetupIniSchema()) names.push_back(section.Name);
    return names;
}

std::vector<std::string> KeyNames(const SchemaSection& section) {
    std::vector<std::string> names;
    for (const SchemaKey& key : section.Keys) names.push_back(key.Name);
    return names;
}

bool IsWordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string ReadText(const ProductEntry& file) {
    std::vector<std::uint8_t> bytes = ReadHostFile(file.HostPath);
    return std::string(bytes.begin(), bytes.end());
}

// A top-level file of the product; the setup looks its data entries up as files only.
const ProductEntry* TopLevelFile(const ProductTree& tree, const std::string& name) {
    const ProductEntry* entry = tree.Find(name);
    return entry && !entry->IsFolder() ? entry : nullptr;
}

class ProductSource : public SetupDataSource {
public:
    explicit ProductSource(const ProductTree& tree) : tree_(tree) {}
    std::unique_ptr<Stream> Load(const std::string& name) override {
        if (const ProductEntry* file = TopLevelFile(tree_, name))
            return std::make_unique<MemoryStream>(ReadHostFile(file->HostPath));
        // Reported on its own; the rest of the product is still worth checking.
        if (SameText(name, "Setup.lic")) return std::make_unique<MemoryStream>(std::vector<std::uint8_t>{});
        return nullptr;
    }

private:
    const ProductTree& tree_;
};

}  // namespace

ProductChecker::ProductChecker(const ProductTree& tree, const TProgramVersion& version,
                               const CodePage& codePage)
    : tree_(tree), codePage_(codePage) {
    values_.SetupVersion = version;
}

std::string ProductChecker::TopLevelPath(const char* name) const {
    const ProductEntry* file = TopLevelFile(tree_, name);
    return file ? file->HostPath : JoinHostPath(tree_.Folder, name);
}

std::vector<CheckFinding> ProductChecker::Run() {
    CheckProductTree();
    const ProductEntry* ini = TopLevelFile(tree_, "Setup.ini");
    iniPath_ = TopLevelPath("Setup.ini");
    const ProductEntry* licence = TopLevelFile(tree_, "Setup.lic");
    if (!licence)
        Error(TopLevelPath("Setup.lic"), 0,
              "no licence text: add Setup.lic, the text the License page shows (plain text)");
    else
        CheckTextInCodePage(*licence, false, false);
    if (!TopLevelFile(tree_, "Setup.jpg"))
        Error(TopLevelPath("Setup.jpg"), 0,
              "no side picture: add Setup.jpg, the JPEG the wizard shows at its left");
    // The wizard stops on a picture it cannot decode; a PNG renamed to .jpg is the usual case.
    for (const char* name : {"Setup.jpg", "Setup@2x.jpg"}) {
        const ProductEntry* picture = TopLevelFile(tree_, name);
        if (!picture) continue;
        std::vector<std::uint8_t> bytes = ReadHostFile(picture->HostPath);
        if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
            Error(picture->HostPath, 0, "not a JPEG file (no FF D8 at its start): save the picture as JPEG");
    }
    // The setup's own icon, written into the program by build.
    if (const ProductEntry* icon = TopLevelFile(tree_, kSetupIconName)) {
        try {
            CheckIconFile(ReadHostFile(icon->HostPath));
        } catch (const Exception& error) {
            Error(icon->HostPath, 0,
                  std::string(error.what()) + ": save the setup's icon as a Windows .ico file");
        }
    }
    if (!ini) {
        Error(iniPath_, 0, "no Setup.ini: every setup needs its configuration");
        return std::move(findings_);
    }
    // The setup's own text reader, so a byte order mark is passed over as the setup passes it.
    IniFile file(SetupTextLines(ReadText(*ini)));
    ini_ = &file;
    CheckTextInCodePage(*ini, true, false);
    Load();
    CheckLayout();
    CheckLanguages();
    CheckBooleans();
    CheckDefaultFolder();
    CheckComponents();
    CheckShortcutPlaces();
    CheckFoldersRegistry();
    CheckBundleSettings();
    CheckVariables();
    CheckMachineBuilds();
    PlanInstallation();
    CheckFilesWrittenTwice();
    CheckVst3Libraries();
    CheckCallLibraries();
    CheckShortcutTargets();
    CheckShortcutNames();
    CheckVst3Bundles();
    return std::move(findings_);
}

void ProductChecker::Error(const std::string& file, int line, const std::string& message) {
    findings_.push_back({file, line, Severity::Error, message});
}

void ProductChecker::Warning(const std::string& file, int line, const std::string& message) {
    findings_.push_back({file, line, Severity::Warning, message});
}

int ProductChecker::SectionLine(const char* name) const {
    const IniSection* section = ini_->Section(name);
    return section ? section->lineNumber : 0;
}

const IniLine* ProductChecker::KeyLine(const char* section, const char* key) const {
    if (const IniSection* found = ini_->Section(section))
        for (const IniLine& line : found->lines)
            if (SameText(line.name, key)) return &line;
    return nullptr;
}

const std::vector<IniLine>& ProductChecker::Lines(const char* section) const {
    static const std::vector<IniLine> none;
    const IniSection* found = ini_->Section(section);
    return found ? found->lines : none;
}

void ProductChecker::Load() {
    MemoryPlatform machine;
    machine.SetOwnProgramPath("C:\\Setup\\Setup.exe");
    ProductSource source(tree_);
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
            Error(
                iniPath_, line,
                what +
                    ": [Setup] has no RegistryRoot; add one such as RegistryRoot=Software\\Company\\Product");
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

namespace {

// The engine reads one digit each for minor and release after the point; anything longer is
// quietly read as something else.
std::string VersionTextProblem(const std::string& text) {
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

}  // namespace

// Each BundleInfo.ini line as the engine reads it, so the first bad one does not hide the rest.
void ProductChecker::LoadBundleItems() {
    const ProductEntry* path = TopLevelFile(tree_, "BundleInfo.ini");
    if (!path) {
        Error(TopLevelPath("BundleInfo.ini"), 0,
              "a bundle (IsBundle=1) needs BundleInfo.ini: one line Name=version[,product name] per item");
        return;
    }
    CheckTextInCodePage(*path, false, true);
    const std::string file = path->HostPath;
    std::vector<std::string> lines = SetupTextLines(ReadText(*path));
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
            std::string hint = SameText(error.what(), kInvalidTimeEncodeMessage)
                                   ? ": an item's files are stamped with its version as a time of day, so "
                                     "the major number must be at most 23 and the minor number at most 5"
                                   : ": write the version as MAJOR.MR, such as 1.20";
            Error(file, line, error.what() + hint);
        }
    }
    if (items_.empty()) Error(file, 0, "no items: the bundle page would have nothing to choose");
}

void ProductChecker::CheckLayout() {
    const std::vector<std::string> sections = SectionNames();
    std::vector<std::string> seen;
    for (const IniSection& section : ini_->Sections()) {
        if (!IsOneOf(section.name, sections, true)) {
            Warning(iniPath_, section.lineNumber,
                    "unknown section [" + section.name + "] is ignored" + Suggestion(section.name, sections));
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
    for (const SchemaSection& section : SetupIniSchema()) {
        const std::vector<std::string> keys = KeyNames(section);
        for (const IniLine& line : Lines(section.Name)) {
            // "Message.de" is Message's German text (LanguageCheck.cpp looks at it).
            if (!section.IsList && !line.name.empty() && !IsOneOf(line.name, keys, true) &&
                line.name.find('.') == std::string::npos)
                Warning(iniPath_, line.lineNumber,
                        "unknown key '" + line.name + "' in [" + section.Name + "] is ignored" +
                            Suggestion(line.name, keys));
            if (line.hasEquals) continue;
            if (section.WithoutEquals == LineWithoutEquals::EmptyStringValue)
                Warning(iniPath_, line.lineNumber,
                        "'" + line.text +
                            "' has no '=': the setup writes it as a value holding empty text; add "
                            "=DATA, or remove the line");
            else
                Warning(iniPath_, line.lineNumber, "'" + line.text + "' has no '=' and is ignored");
        }
    }
}

void ProductChecker::CheckBooleans() {
    for (const SchemaSection& section : SetupIniSchema())
        for (const SchemaKey& key : section.Keys) {
            if (key.Kind != ValueKind::Boolean) continue;
            const IniLine* line = KeyLine(section.Name, key.Name);
            if (!line || ReadIniInteger(line->value)) continue;
            Warning(iniPath_, line->lineNumber,
                    std::string(key.Name) + "=" + line->value + " is not a number and reads as " +
                        key.Default + "; write 1 for yes or 0 for no");
        }
}

void ProductChecker::CheckDefaultFolder() {
    const IniLine* line = KeyLine("Setup", "DefaultFolder");
    if (!line) return;
    std::vector<std::string> unknown;
    const std::string folder = FormatDefaultFolder(line->value, values_.SetupVersion.Major, &unknown);
    if (unknown.empty()) return;
    Error(iniPath_, line->lineNumber,
          "DefaultFolder holds '" + unknown.front() +
              "', which the setup keeps as written, so the folder is '" + folder +
              "': %d stands for the major version and %% for a percent sign");
}

// The source folder as each item (or the setup itself) would look it up.
std::vector<std::string> ProductChecker::ExpandedSources(const std::string& source) const {
    std::vector<std::string> result;
    if (source.find(kBundleItemVariable) != std::string::npos) {
        for (const TSetupBundleItem& item : items_)
            if (std::string path = ExpandPath(values_, source, &item); !path.empty()) result.push_back(path);
    } else if (std::string path = ExpandPath(values_, source, nullptr); !path.empty()) {
        result.push_back(path);
    }
    return result;
}

void ProductChecker::CheckComponents() {
    const std::vector<IniLine>& components = Lines("Components");
    if (ini_->Section("Components") && components.empty())
        Warning(iniPath_, SectionLine("Components"), "[Components] is empty: the setup installs no files");
    else if (!ini_->Section("Components"))
        Warning(iniPath_, 0, "no [Components] section: the setup installs no files");
    for (const IniLine& line : components) {
        if (line.name.empty()) continue;
        for (const std::string& source : ExpandedSources(line.name)) {
            const ProductEntry* found = tree_.Find(source);
            if (!found || !found->IsFolder())
                Error(iniPath_, line.lineNumber,
                      "component source '" + source + "' is no folder of " + tree_.Folder +
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
        if (line.value != "NoOverwrite" && line.value != kX64MachineOption &&
            line.value != kArm64MachineOption)
            Error(iniPath_, line.lineNumber,
                  "unknown option '" + line.value + "'; the options are NoOverwrite, x64 and Arm64");
    }
}

void ProductChecker::CheckShortcutPlaces() {
    const std::vector<std::string> places(std::begin(kShortcutPlaces), std::end(kShortcutPlaces));
    for (const IniLine& line : Lines("Shortcuts")) {
        if (line.name.empty() || IsOneOf(line.name, places, false)) continue;
        std::string message =
            "'" + line.name + "' is no shortcut place: write StartMenu, Desktop or ProgramFolder";
        if (IsOneOf(line.name, places, true))
            message += " in exactly that case; otherwise the page may ask but no shortcut is made";
        Error(iniPath_, line.lineNumber, message);
    }
}

// In a bundle every item pass writes each settings line too: a key path without "$BundleItem"
// then lands below BundleRegistryRoot once per item, beside the product's own key.
void ProductChecker::CheckBundleSettings() {
    if (!values_.Config.IsBundle) return;
    for (const char* section : {"RegistrySettings", "GlobalRegistrySettings"})
        for (const IniLine& line : Lines(section))
            if (line.name.find('\\') != std::string::npos &&
                line.name.find(kBundleItemVariable) == std::string::npos)
                Warning(iniPath_, line.lineNumber,
                        "'" + line.name +
                            "' is also written once for each item, below BundleRegistryRoot in a key named "
                            "after the item's version; begin it with $BundleItem\\ for item settings, or "
                            "drop the key path to keep it in the product's key only");
}

void ProductChecker::CheckFoldersRegistry() {
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

void ProductChecker::CheckWords(const std::string& text, int line, ValueKind kind) {
    const std::vector<std::string> known = VariablesFor(kind);
    if (known.empty()) return;  // taken as written: a "$" there is the vendor's own
    const bool path = HoldsPathVariables(kind);
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '$' && !(path && text[at] == '%')) continue;
        std::size_t end = at + 1;
        while (end < text.size() && IsWordChar(text[end])) ++end;
        const std::string word = text.substr(at + 1, end - at - 1);
        if (word.empty()) continue;
        if (text[at] == '%') {
            CheckFolderReference(word, line);
        } else if (!IsOneOf("$" + word, known, false)) {
            Error(iniPath_, line,
                  "'$" + word + "' is no variable here and stays as written" + Suggestion("$" + word, known));
        } else if ("$" + word == kBundleItemVariable) {
            CheckBundleItemName(text, end, line);
        }
        at = end - 1;
    }
}

// "%Name" stands for the [Folders] entry whose name begins it, as the expansion replaces it.
void ProductChecker::CheckFolderReference(const std::string& word, int line) {
    for (const IniLine& folder : Lines("Folders"))
        if (!folder.name.empty() && word.compare(0, folder.name.size(), folder.name) == 0) return;
    // Only a warning: registry data may hold a percent sign the product itself reads.
    Warning(iniPath_, line, "'%" + word + "' names no [Folders] entry and stays as written");
}

void ProductChecker::CheckBundleItemName(const std::string& text, std::size_t end, int line) {
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

// Every value that holds variables, by the kind the schema gives it.
void ProductChecker::CheckVariables() {
    for (const SchemaSection& section : SetupIniSchema()) {
        for (const SchemaKey& key : section.Keys)
            if (const IniLine* line = KeyLine(section.Name, key.Name))
                CheckWords(line->value, line->lineNumber, key.Kind);
        if (!section.IsList) continue;
        for (const IniLine& line : Lines(section.Name)) {
            CheckWords(line.name, line.lineNumber, section.NameHolds);
            if (section.ValueHolds != ValueKind::ShortcutValue) {
                CheckWords(line.value, line.lineNumber, section.ValueHolds);
                continue;
            }
            // Target path, shortcut name text; the arguments are passed as written.
            SplitResult target = SplitAt(line.value, ',');
            CheckWords(target.left, line.lineNumber, ValueKind::Path);
            CheckWords(SplitAt(target.right, ',').left, line.lineNumber, ValueKind::Text);
        }
    }
}

std::vector<CheckFinding> CheckProduct(const ProductTree& tree, const TProgramVersion& version,
                                       const CodePage& codePage) {
    return ProductChecker(tree, version, codePage).Run();
}
