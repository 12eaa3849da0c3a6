#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "texts/Languages.h"
#include "texts/Texts.h"
#include "wizard/ControlTable.h"

namespace {

// The variables of a text: "$Name" words and the "%s" a message fills in.
std::multiset<std::string> VariablesOf(const std::string& text) {
    static const std::regex variable(R"(\$[A-Za-z]+|%s)");
    std::multiset<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), variable); it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

int Ampersands(const std::string& text) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (i + 1 < text.size() && text[i + 1] == '&') ++i;
        else ++count;
    }
    return count;
}

// Every language has every text once, with the variables of its English text, and a caption
// with a mnemonic in English has exactly one in every language (one without has none).
TEST(LanguageTables, EveryLanguageHasEveryTextWithItsVariablesAndMnemonic) {
    const LanguageRow& english = EnglishLanguage();
    for (const LanguageRow& language : Languages()) {
        std::set<TextId> seen;
        for (const TextEntry& entry : language.Texts())
            EXPECT_TRUE(seen.insert(entry.Id).second) << language.Code << ": " << TextName(entry.Id) << " twice";
        for (std::size_t i = 0; i < kTextCount; ++i) {
            const TextId id = static_cast<TextId>(i);
            const char* own = TableText(language, id);
            ASSERT_NE(own, nullptr) << language.Code << " lacks " << TextName(id);
            const std::string reference = TableText(english, id);
            EXPECT_EQ(VariablesOf(own), VariablesOf(reference)) << language.Code << ": " << TextName(id);
            EXPECT_EQ(Ampersands(own), Ampersands(reference)) << language.Code << ": " << TextName(id);
            EXPECT_EQ(TextNamed(TextName(id)), id);
        }
    }
}

TEST(LanguageTables, EnglishKeepsTheTextsCustomersAndScenariosKnow) {
    const LanguageRow& english = EnglishLanguage();
    EXPECT_STREQ(TableText(english, TextId::NextButton), "&Next >");
    EXPECT_STREQ(TableText(english, TextId::WindowCaption), "$ProductName Setup$BitSuffix");
    EXPECT_STREQ(TableText(english, TextId::UninstalledMessage), "Uninstallation successfully completed.");
    EXPECT_STREQ(TableText(*FindLanguage("de"), TextId::BackButton), "< &Zurück");
    EXPECT_STREQ(TableText(*FindLanguage("ja"), TextId::NextButton), "次へ(&N) >");
}

TEST(LanguageChoice, RequestThenExactThenPrimaryLanguageThenEnglish) {
    const LanguageRow* de = FindLanguage("DE");
    const LanguageRow* ja = FindLanguage("ja");
    ASSERT_NE(de, nullptr);
    EXPECT_EQ(FindLanguage("pt"), FindLanguage("pt-BR")) << "a code without its region";
    EXPECT_EQ(FindLanguage("xx"), nullptr);
    EXPECT_EQ(&ChooseLanguage("", 0x0407, {}), de) << "German (Germany)";
    EXPECT_EQ(&ChooseLanguage("", 0x0C07, {}), de) << "German (Austria): its primary language";
    EXPECT_STREQ(ChooseLanguage("", 0x0816, {}).Code, "pt-BR") << "Portuguese (Portugal)";
    EXPECT_STREQ(ChooseLanguage("", 0x041D, {}).Code, "en") << "Swedish is not built in";
    EXPECT_EQ(&ChooseLanguage("ja", 0x0407, {}), ja) << "the switch first";
    EXPECT_EQ(&ChooseLanguage("ja", 0x0407, {de}), de) << "a language the setup does not carry";
    EXPECT_STREQ(ChooseLanguage("", 0x0407, {&EnglishLanguage()}).Code, "en");
    EXPECT_EQ(&ChooseLanguage("", 0x0419, {ja, de}), ja) << "no English: the first carried";
}

// Every page in every language, with the captions the form's buttons take there (Yes and No
// on the licence, Install on the page before the copy, Finish alone at the end): the letters of
// the mnemonics differ, but for a letter English shares on the page too (Back and Browse).
TEST(LanguageTables, NoMnemonicLetterTwiceOnOnePage) {
    using Shared = std::set<std::vector<std::string>>;
    auto shared = [](const LanguageRow& language, int page, TextId next) {
        std::map<char32_t, std::vector<std::string>> seen;
        auto add = [&](TextId id, const std::string& name) {
            if (char32_t key = Mnemonic(TextIn(language, id))) seen[key].push_back(name);
        };
        for (std::size_t i = 0; i < kControlCount; ++i) {
            const ControlDef& def = Control(static_cast<ControlId>(i));
            if (def.page == page && def.id != ControlId::RtasInstallCheck) add(def.text, def.name);
        }
        add(next, "NextButton");
        if (page < kPageCopy) add(TextId::BackButton, "BackButton");
        if (page == kPageLicense) add(TextId::NoButton, "CancelButton");
        Shared twice;
        for (auto& [key, names] : seen)
            if (names.size() > 1) twice.insert(names);
        return twice;
    };
    for (int page = 0; page < kPageCount; ++page) {
        std::vector<TextId> nexts{page == kPageLicense ? TextId::YesButton
                                  : page == kPageReady ? TextId::FinishButton
                                                       : TextId::NextButton};
        if (page >= kPageDest && page <= kPageIcon) nexts.push_back(TextId::InstallButton);
        for (TextId next : nexts) {
            const Shared english = shared(EnglishLanguage(), page, next);
            for (const LanguageRow& language : Languages())
                for (const auto& names : shared(language, page, next))
                    EXPECT_TRUE(english.count(names)) << language.Code << ", page " << page << ": " << names.front()
                                                      << " and " << names.back();
        }
    }
}

TEST(RunTexts, TheVendorsTextWinsAndAMissingPlaceholderIsNoFault) {
    SpeakLanguage(*FindLanguage("fr"));
    EXPECT_EQ(Text(TextId::CancelButton), "Annuler");
    ReplaceText(TextId::FolderErrorWarning, "Dossier refusé.");
    EXPECT_EQ(Text(TextId::FolderErrorWarning, "C:\\x"), "Dossier refusé.");
    EXPECT_EQ(Text(TextId::CannotInstallFileMessage, "a.dll").substr(0, 38), "Impossible d'installer le fichier « a");
    SpeakLanguage(EnglishLanguage());
    EXPECT_EQ(Text(TextId::FolderErrorWarning, "C:\\x"),
              "Could not create the folder 'C:\\x'.\rPlease specify a valid name.")
        << "a new language clears the replacements";
}

}  // namespace
