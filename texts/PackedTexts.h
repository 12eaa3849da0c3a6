// The language tables as the programs carry them: each table's rows deflated into one zlib
// stream by the build (TextPacker.cpp writes them from English.cpp, German.cpp, ...). Unpacked,
// a table is its rows one after the other, each the text's id in one byte, the text's UTF-8
// bytes and a 0. Languages.cpp unpacks a table the first time a text of it is asked for.
#pragma once

#include <cstddef>

struct PackedTexts {
    const unsigned char* Bytes;
    std::size_t Size;
    std::size_t UnpackedSize;
};

extern const PackedTexts kEnglishPacked;
extern const PackedTexts kGermanPacked;
extern const PackedTexts kFrenchPacked;
extern const PackedTexts kSpanishPacked;
extern const PackedTexts kItalianPacked;
extern const PackedTexts kBrazilianPortuguesePacked;
extern const PackedTexts kDutchPacked;
extern const PackedTexts kJapanesePacked;
extern const PackedTexts kSimplifiedChinesePacked;
extern const PackedTexts kKoreanPacked;
extern const PackedTexts kRussianPacked;
