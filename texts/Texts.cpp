#include "texts/Texts.h"

#include <map>

namespace {

struct RunTexts {
    std::string requested;
    const LanguageRow* spoken = &EnglishLanguage();
    std::map<TextId, std::string> replaced;
};

RunTexts& Run() {
    static RunTexts run;
    return run;
}

}  // namespace

void RequestLanguage(const std::string& code) {
    Run().requested = code;
}

const std::string& RequestedLanguage() {
    return Run().requested;
}

void SpeakLanguage(const LanguageRow& language) {
    Run().spoken = &language;
    Run().replaced.clear();
}

const LanguageRow& SpokenLanguage() {
    return *Run().spoken;
}

void ReplaceText(TextId id, const std::string& text) {
    Run().replaced[id] = text;
}

const std::string* ReplacedText(TextId id) {
    auto found = Run().replaced.find(id);
    return found != Run().replaced.end() ? &found->second : nullptr;
}

std::string Text(TextId id) {
    if (const std::string* replaced = ReplacedText(id)) return *replaced;
    return TextIn(SpokenLanguage(), id);
}

std::string Text(TextId id, const std::string& value) {
    std::string text = Text(id);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, value);
    return text;
}
