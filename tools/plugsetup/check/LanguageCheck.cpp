// The languages of a product: the codes [Setup] Languages names, the per-language keys and
// [Texts] lines, and the licences per language.
#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

#include "engine/Configuration.h"
#include "engine/SetupSchema.h"
#include "system/CommonUtils.h"
#include "texts/Languages.h"
#include "tools/plugsetup/check/ProductChecker.h"

namespace {

// The "$Name" words and "%s" marks of a text, which a text in another language must keep.
std::set<std::string> VariablesOf(const std::string& text) {
    std::set<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "%s") == 0) found.insert("%s");
        if (text[i] != '$') continue;
        std::size_t end = i + 1;
        while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
        if (end > i + 1) found.insert(text.substr(i, end - i));
    }
    return found;
}

std::string Missing(const std::string& text, const std::string& reference) {
    std::string missing;
    const std::set<std::string> own = VariablesOf(text);
    for (const std::string& variable : VariablesOf(reference))
        if (!own.count(variable)) missing += (missing.empty() ? "" : ", ") + variable;
    return missing;
}

std::string BuiltInCodes() {
    std::string codes;
    for (const LanguageRow& language : Languages()) codes += (codes.empty() ? "" : ", ") + std::string(language.Code);
    return codes;
}

// "Message.xx" of a text key, split: the key and the code; none when there is no dot.
struct Suffixed {
    std::string Key, Code;
};
std::optional<Suffixed> SplitSuffix(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return std::nullopt;
    return Suffixed{name.substr(0, dot), name.substr(dot + 1)};
}

}  // namespace

void ProductChecker::CheckLanguages() {
    const IniLine* languagesLine = KeyLine("Setup", "Languages");
    const std::string languages = languagesLine ? languagesLine->value : "";
    for (const std::string& code : UnknownLanguages(languages))
        Warning(iniPath_, languagesLine->lineNumber,
                "no built-in language '" + code + "': the setup leaves it out (built in: " + BuiltInCodes() + ")");
    const std::vector<const LanguageRow*> carried = CarriedLanguages(languages);
    auto carries = [&](const LanguageRow* language) {
        return carried.empty() || std::find(carried.begin(), carried.end(), language) != carried.end();
    };

    for (const SchemaSection& section : SetupIniSchema()) {
        if (section.IsList) continue;
        for (const IniLine& line : Lines(section.Name)) {
            const std::optional<Suffixed> split = SplitSuffix(line.name);
            if (!split) continue;
            const SchemaKey* key = FindSchemaKey(section.Name, split->Key);
            if (key == nullptr || key->Kind != ValueKind::Text) {
                Warning(iniPath_, line.lineNumber,
                        "unknown key '" + line.name + "' in [" + section.Name +
                            "] is ignored: only a text key takes a language after a dot");
                continue;
            }
            if (FindLanguage(split->Code) == nullptr) {
                Warning(iniPath_, line.lineNumber,
                        "'" + line.name + "': no built-in language '" + split->Code + "' (built in: " +
                            BuiltInCodes() + ")");
                continue;
            }
            const IniLine* base = KeyLine(section.Name, key->Name);
            const std::string missing = Missing(line.value, base ? base->value : key->Default);
            if (!missing.empty())
                Warning(iniPath_, line.lineNumber,
                        "'" + line.name + "' lacks " + missing + " of its text in [" + section.Name + "] " + key->Name);
        }
    }

    for (const IniLine& line : Lines("Texts")) {
        const std::optional<Suffixed> split = SplitSuffix(line.name);
        const std::string name = split ? split->Key : line.name;
        const TextId id = TextNamed(name);
        if (id == TextId::None) {
            Warning(iniPath_, line.lineNumber,
                    "[Texts] '" + name + "' names no text of the setup; plugsetup preview --language lists them");
            continue;
        }
        if (split && FindLanguage(split->Code) == nullptr) {
            Warning(iniPath_, line.lineNumber, "[Texts] '" + line.name + "': no built-in language '" + split->Code + "'");
            continue;
        }
        const std::string missing = Missing(line.value, TextIn(EnglishLanguage(), id));
        if (!missing.empty())
            Warning(iniPath_, line.lineNumber, "[Texts] '" + line.name + "' lacks " + missing + " of the setup's text");
    }

    for (const ProductEntry& entry : tree_.Entries) {
        if (entry.IsFolder() || SameText(entry.Name, "Setup.lic")) continue;
        if (entry.Name.size() <= 10 || !SameText(entry.Name.substr(0, 6), "Setup.") ||
            !SameText(entry.Name.substr(entry.Name.size() - 4), ".lic"))
            continue;
        const std::string code = entry.Name.substr(6, entry.Name.size() - 10);
        const LanguageRow* language = FindLanguage(code);
        if (language == nullptr || LicenceFileName(*language) != "Setup." + code + ".lic" || !carries(language))
            Warning(entry.HostPath, 0,
                    "a licence for '" + code + "', a language the setup does not carry: no customer reads it");
    }
}
