// The tables as they are written, one per language and file (English.cpp, German.cpp, ...).
// Only the text packer (TextPacker.cpp) reads them; the programs carry them packed
// (PackedTexts.h).
#pragma once

#include <span>

#include "texts/Languages.h"

extern const std::span<const TextEntry> kEnglishTexts;
extern const std::span<const TextEntry> kGermanTexts;
extern const std::span<const TextEntry> kFrenchTexts;
extern const std::span<const TextEntry> kSpanishTexts;
extern const std::span<const TextEntry> kItalianTexts;
extern const std::span<const TextEntry> kBrazilianPortugueseTexts;
extern const std::span<const TextEntry> kDutchTexts;
extern const std::span<const TextEntry> kJapaneseTexts;
extern const std::span<const TextEntry> kSimplifiedChineseTexts;
extern const std::span<const TextEntry> kKoreanTexts;
extern const std::span<const TextEntry> kRussianTexts;
