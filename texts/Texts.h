// The texts of this run. A run speaks one language, chosen once when the setup has read its
// Setup.ini (or the uninstaller its product's entry) and before it shows anything; every fixed
// text is then read through Text().
#pragma once

#include <string>

#include "texts/Languages.h"

// The language the command line asks for ("" when none): the choice takes it first.
void RequestLanguage(const std::string& code);
const std::string& RequestedLanguage();

// The language of every Text() from now on; the vendor's replacements are cleared with it.
void SpeakLanguage(const LanguageRow& language);
const LanguageRow& SpokenLanguage();
// The vendor's own text for id in the spoken language (Setup.ini's [Texts]).
void ReplaceText(TextId id, const std::string& text);
// The vendor's text for id, or nullptr when the language's own is shown.
const std::string* ReplacedText(TextId id);

// The vendor's text, else the spoken language's, else the English one.
std::string Text(TextId id);
// Text(id) with its "%s" replaced by value; a vendor's text without one is shown as written.
std::string Text(TextId id, const std::string& value);
