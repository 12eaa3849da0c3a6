// The languages the setup and the uninstaller speak: one table of texts each, found by code or
// by Windows' language id, and the one rule that picks a customer's language.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "texts/PackedTexts.h"
#include "texts/TextId.h"

struct TextEntry {
    TextId Id;
    const char* Text;
};

struct LanguageRow {
    const char* Code;      // "de", "pt-BR": the switch, the [Setup] key, key suffixes, licence names
    std::uint16_t LangId;  // Windows' language id of the table ("de" is German (Germany), 0x0407)
    const char* Name;      // in English, for check and preview
    const PackedTexts* Packed;

    // The table's rows, unpacked the first time they are asked for and kept for the whole run,
    // so a text of it stays valid. Read on one thread: the window's in the setup, the main one
    // in the tool.
    std::span<const TextEntry> Texts() const;
};

// English first, then the others in the guide's order.
std::span<const LanguageRow> Languages();
const LanguageRow& EnglishLanguage();
// By code, letters in either case; a code without its region names the row of its language
// ("pt" finds "pt-BR", "zh" finds "zh-CN"). nullptr for a language not built in.
const LanguageRow* FindLanguage(std::string_view code);

// A language's own text, or nullptr when its table lacks it.
const char* TableText(const LanguageRow& language, TextId id);
// The language's text, else the English one.
const char* TextIn(const LanguageRow& language, TextId id);

// The id's name ("NextButton"), as [Texts] keys and preview name it; TextId::None for a name
// that names none (ASCII case-blind).
const char* TextName(TextId id);
TextId TextNamed(std::string_view name);

// The language a customer gets, from the languages the setup carries (all when empty): the
// requested one (the command line's or the recorded choice) when carried, else the user's UI
// language by its exact id, then by its primary language, then English, and when the setup does
// not carry English either, the first it carries.
const LanguageRow& ChooseLanguage(std::string_view requested, std::uint16_t uiLanguage,
                                  const std::vector<const LanguageRow*>& carried);
