#include <gtest/gtest.h>

#include "engine/IniFile.h"

namespace {

IniFile Parse(const std::string& text) {
    return IniFile(SplitTextLines(text));
}

}  // namespace

TEST(IniFile, SectionsAndKeysMatchWithoutCaseAndValuesSplitAtTheFirstEquals) {
    IniFile ini = Parse(
        "ignored=before any section\r\n"
        "[SETUP]\r\n"
        "  registryroot = Maker\\Gadget  \r\n"
        "; a comment=not a key\n"
        "A=B=C\r"
        "\r\n"
        "[Components]\n"
        "Program=$ProgramFolder\n"
        "Program=$ProgramFolder\\Again\n"
        "loose line\n");
    EXPECT_EQ(ini.ReadString("Setup", "RegistryRoot", ""), "Maker\\Gadget");
    EXPECT_EQ(ini.ReadString("setup", "a", ""), "B=C");
    EXPECT_EQ(ini.ReadString("Setup", "ignored", "default"), "default");
    EXPECT_EQ(ini.ReadString("Missing", "Key", "fallback"), "fallback");
    EXPECT_EQ(
        ini.ReadList("components"),
        (std::vector<std::string>{"Program=$ProgramFolder", "Program=$ProgramFolder\\Again", "loose line"}));
    EXPECT_TRUE(ini.ReadList("Shortcuts").empty());
    EXPECT_EQ(ini.Section("Components")->lines[0].lineNumber, 8)
        << "line numbers let plugsetup point at a line";
}

TEST(IniFile, BooleansAreIntegersAndWordsFallBackToTheDefault) {
    IniFile ini = Parse(
        "[Setup]\nWord=true\nHex=0x1\nHexZero=0X0\nDollar=$10\nZero=0\nNegative=-1\nBlankAfter=1 \n"
        "Short=0x\nEmpty=\n");
    EXPECT_FALSE(ini.ReadBool("Setup", "Word", false)) << "\"true\" is not a number";
    EXPECT_TRUE(ini.ReadBool("Setup", "Word", true));
    EXPECT_TRUE(ini.ReadBool("Setup", "Hex", false));
    EXPECT_FALSE(ini.ReadBool("Setup", "HexZero", true));
    EXPECT_TRUE(ini.ReadBool("Setup", "Dollar", false));
    EXPECT_FALSE(ini.ReadBool("Setup", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("Setup", "Negative", false));
    EXPECT_TRUE(ini.ReadBool("Setup", "BlankAfter", false)) << "values are trimmed before reading";
    EXPECT_TRUE(ini.ReadBool("Setup", "Short", true));
    EXPECT_FALSE(ini.ReadBool("Setup", "Empty", false));
    EXPECT_EQ(ReadIniInteger("-2147483648"), INT32_MIN);
    EXPECT_EQ(ReadIniInteger("yes"), std::nullopt);
}

TEST(IniFile, HexadecimalOnlyAfter0xOrDollarAndNoSignBeforeIt) {
    EXPECT_EQ(ReadIniInteger("0x1F"), 31);
    EXPECT_EQ(ReadIniInteger("0XfF"), 255);
    EXPECT_EQ(ReadIniInteger("$1f"), 31);
    EXPECT_EQ(ReadIniInteger("0xFFFFFFFF"), -1) << "hexadecimal gives the 32 bits as written";
    EXPECT_EQ(ReadIniInteger("+5"), 5);
    for (const char* word :
         {"x1", "X10", "-0x1", "+0x1", "-$1", "0x", "$", "0x1G", "4294967296", "2147483648"})
        EXPECT_EQ(ReadIniInteger(word), std::nullopt) << word;
    IniFile ini = Parse("[Pages]\nVstPluginFolder=x1\nPersonalization=-0x1\n");
    EXPECT_FALSE(ini.ReadBool("Pages", "VstPluginFolder", false)) << "a word gives the key's default";
    EXPECT_TRUE(ini.ReadBool("Pages", "Personalization", true));
}

TEST(IniFile, ListLinesAreStoredTrimmedOnBothSidesAndLinesWithoutEqualsHaveNoName) {
    IniFile ini = Parse("[Folders]\n= x\nName = D:\\Data \nloose line\n");
    const std::vector<std::string> lines = ini.ReadList("Folders");
    EXPECT_EQ(lines, (std::vector<std::string>{"=x", "Name=D:\\Data", "loose line"}));
    EXPECT_EQ(ListLineName(lines[0]), "");
    EXPECT_EQ(ListLineValue(lines[0]), "x");
    EXPECT_EQ(ListLineName(lines[1]), "Name");
    EXPECT_EQ(ListLineName(lines[2]), "") << "a line without \"=\" is found by no name";
    EXPECT_EQ(ListLineValue(lines[2]), "");
}
