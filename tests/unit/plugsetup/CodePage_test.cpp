// The code page unit over the system's converter. Built into the host tests (iconv) and, as
// codepage_tests.exe, into the Win32 build (MultiByteToWideChar/WideCharToMultiByte under Wine):
// both conversions must agree on what the setup gets.
#include <gtest/gtest.h>

#include "tools/plugsetup/host/CodePage.h"

namespace {

std::string Encoded(int number, const std::string& utf8) {
    std::string bytes;
    EXPECT_TRUE(OpenCodePage(number)->Encode(utf8, bytes)) << utf8;
    return bytes;
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ECodePageError& error) {
        return error.what();
    }
    return "no error";
}

TEST(CodePage, ConvertsBothWaysAndNeverGuesses) {
    EXPECT_EQ(Encoded(1252, "Café Crème €"), "Caf\xE9 Cr\xE8me \x80");
    EXPECT_EQ(Encoded(1251, "Ключ"), "\xCA\xEB\xFE\xF7");
    EXPECT_EQ(Encoded(932, "夜明けのパッド"), "\x96\xE9\x96\xBE\x82\xAF\x82\xCC\x83\x70\x83\x62\x83\x68");
    EXPECT_EQ(Encoded(936, "表"), "\xB1\xED");
    EXPECT_EQ(OpenCodePage(932)->Decode("\x96\xE9\x96\xBE\x82\xAF"), "夜明け");
    EXPECT_EQ(OpenCodePage(1252)->Decode("\xC4therisch"), "Ätherisch");
    // No best-fit neighbour: "Ā" is no "A", and Cyrillic has no place in Windows-1252.
    std::string bytes;
    EXPECT_FALSE(OpenCodePage(1252)->Encode("Ā", bytes));
    EXPECT_FALSE(OpenCodePage(1252)->Encode("Ключ", bytes));
    // Bytes that are no character come back as some character (U+FFFD from iconv, what Windows
    // makes of them there), so what is shown is always UTF-8.
    for (const auto& [number, bytes] : {std::pair{1252,
                                                  "a\x81"
                                                  "b"},
                                        std::pair{932, "a\x83"}}) {
        const std::string decoded = OpenCodePage(number)->Decode(bytes);
        EXPECT_TRUE(IsValidUtf8(decoded)) << decoded;
        EXPECT_EQ(decoded.substr(0, 1), "a");
    }
}

TEST(CodePage, OnlyTheWindowsAnsiCodePagesAreOffered) {
    for (int number : {874, 932, 936, 949, 950, 1250, 1258})
        EXPECT_EQ(OpenCodePage(number)->Number(), number);
    for (int number : {437, 65001, 1249, 1259, 0})
        EXPECT_NE(
            ErrorOf([&] { OpenCodePage(number); }).find("choose 874, 932, 936, 949, 950 or 1250 to 1258"),
            std::string::npos)
            << number;
}

TEST(CodePage, ProductTextIsConvertedOnlyWhenItIsUtf8BeyondAscii) {
    auto cp1252 = OpenCodePage(1252);
    EXPECT_EQ(EncodeProductText(*cp1252, "Plain.txt").Bytes, "Plain.txt");
    // Not UTF-8: already in a code page, as Windows editors save it.
    EXPECT_EQ(EncodeProductText(*cp1252, "Caf\xE9").Bytes, "Caf\xE9");
    EncodedText cyrillic = EncodeProductText(*cp1252, "Ключ Bass.vstpreset");
    EXPECT_EQ(UnrepresentableMessage(*cp1252, cyrillic), "'К' (U+041A) has no form in code page 1252");

    // In a double-byte code page a character's second byte may be the backslash.
    auto cp932 = OpenCodePage(932);
    EncodedText software = EncodeProductText(*cp932, "ソフト");
    EXPECT_EQ(software.SplitsPaths, "ソ");
    EXPECT_EQ(SplitsPathsMessage(*cp932, software),
              "'ソ' (U+30BD) is stored as 83 5C in code page 932, and the setup reads 5C as '\\' in paths");
    EXPECT_TRUE(EncodeProductText(*cp932, "夜明けのパッド").SplitsPaths.empty());

    // A character whose bytes read back as another has no form, whichever converter the system
    // has: glibc stores '¥' as the plain backslash and '‾' as '~' in 932, which Windows reads back
    // as just those.
    for (const char* character : {"¥", "‾"})
        EXPECT_EQ(EncodeProductText(*cp932, std::string("Gadget") + character + "Pro").Unrepresentable, character);
    EXPECT_EQ(EncodeProductText(*cp932, "Gadget＼Pro").Bytes, "Gadget\x81\x5FPro") << "the full-width backslash";

    // UTF-8 holds every character as it is, and nothing that is not UTF-8.
    auto utf8 = OpenUtf8CodePage();
    EXPECT_EQ(SetupTextForArchive(*utf8, "\xEF\xBB\xBFName=夜明け", "Setup.ini"), "Name=夜明け");
    EXPECT_NE(ErrorOf([&] { SetupTextForArchive(*utf8, "Name=Caf\xE9", "p/Setup.ini"); })
                  .find("p/Setup.ini: the text is not UTF-8"),
              std::string::npos);
    EXPECT_EQ(NameBytesText(*utf8, "夜明け.txt"), "3 characters of 3 bytes, 4 of 1 byte");
    EXPECT_EQ(NameBytesText(*cp932, "夜明け"), "3 characters of 2 bytes each");
}

TEST(CodePage, SetupTextsLoseTheirByteOrderMarkAndUnrepresentableNamesAreRefused) {
    auto cp1252 = OpenCodePage(1252);
    EXPECT_EQ(SetupTextForArchive(*cp1252, "\xEF\xBB\xBF[Setup]\r\nProductName=Mødular\r\n", "Setup.ini"),
              "[Setup]\r\nProductName=M\xF8"
              "dular\r\n");
    EXPECT_EQ(SetupTextForArchive(*cp1252, "\xEF\xBB\xBF[Setup]\r\n", "Setup.ini"), "[Setup]\r\n");
    EXPECT_EQ(SetupTextForArchive(*cp1252, "Lizenz f\xFCr", "Setup.lic"), "Lizenz f\xFCr");
    EXPECT_EQ(ErrorOf([&] { SetupTextForArchive(*cp1252, "Name=Ключ", "p/Setup.ini"); }),
              "p/Setup.ini: 'К' (U+041A) has no form in code page 1252; build with the --codepage of your "
              "customers' Windows");
    // Names as the tool reads them from a folder on either system, in UTF-8.
    EXPECT_EQ(EntryNameForArchive(*OpenCodePage(932), "夜明けのパッド.vstpreset", "x"),
              "\x96\xE9\x96\xBE\x82\xAF\x82\xCC\x83\x70\x83\x62\x83\x68.vstpreset");
    EXPECT_NE(ErrorOf([&] {
                  EntryNameForArchive(*OpenCodePage(932), "表.txt", "p/表.txt");
              }).find("p/表.txt: '表' (U+8868) is stored as 95 5C in code page 932"),
              std::string::npos);
    EXPECT_NE(ErrorOf([&] { EntryNameForArchive(*cp1252, "夜.txt", "p/夜.txt"); }).find("p/夜.txt: '夜'"),
              std::string::npos);
}

}  // namespace
