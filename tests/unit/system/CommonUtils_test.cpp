#include <gtest/gtest.h>

#include "system/CommonUtils.h"
#include "system/FileErrors.h"

TEST(PathHelpers, IncludeBackslashAddsOneOnlyWhenMissing) {
    EXPECT_EQ(IncludeBackslash("C:"), "C:\\");
    EXPECT_EQ(IncludeBackslash("C:\\"), "C:\\");
    EXPECT_EQ(IncludeBackslash(""), "");
    EXPECT_EQ(JoinPath("", "x"), "x");
    EXPECT_EQ(JoinPath("C:\\A", "b.txt"), "C:\\A\\b.txt");
    EXPECT_EQ(JoinPath("C:\\A\\", "B", "c"), "C:\\A\\B\\c");
}

TEST(PathHelpers, FileBaseNameDropsOnlyTheLastExtensionOfTheName) {
    EXPECT_EQ(FileBaseName("C:\\Docs\\Readme.txt"), "Readme");
    EXPECT_EQ(FileBaseName("a.b.c"), "a.b");
    EXPECT_EQ(FileBaseName(".hidden"), "");
    EXPECT_EQ(FileBaseName("C:\\v1.2\\Readme"), "Readme") << "a dot in the folder is not an extension";
    EXPECT_EQ(FileBaseName("C:name.dll"), "name");
}

TEST(StringHelpers, SplitAtCutsAtTheFirstSeparatorOnly) {
    auto parts = SplitAt("a,b,c", ',');
    EXPECT_TRUE(parts.found);
    EXPECT_EQ(parts.left, "a");
    EXPECT_EQ(parts.right, "b,c");
    auto none = SplitAt("abc", ',');
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.left, "abc");
    EXPECT_EQ(none.right, "");
    EXPECT_EQ(ClampInt(-7, -1, 1), -1);
    EXPECT_EQ(ClampInt(9, -1, 1), 1);
    EXPECT_EQ(ClampInt(0, -1, 1), 0);
}

TEST(StringHelpers, CaseFoldingIsAsciiOnly) {
    EXPECT_TRUE(SameText("Setup.INI", "setup.ini"));
    EXPECT_FALSE(SameText("\xC4rger", "\xE4rger")) << "letters above 127 keep their case";
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_EQ(UpperAscii("a\xE4z"), "A\xE4Z");
}

TEST(ErrorTexts, TheErrorBoxAddsAPeriodOnlyAfterCharactersSortingAfterIt) {
    EXPECT_EQ(WithClosingPeriod("Invalid setup data signature"), "Invalid setup data signature.");
    EXPECT_EQ(WithClosingPeriod("Done."), "Done.");
    EXPECT_EQ(WithClosingPeriod("What?"), "What?.");
    EXPECT_EQ(WithClosingPeriod("(a)"), "(a)") << "')' sorts before '.'";
    EXPECT_EQ(WithClosingPeriod(""), "");
    EXPECT_EQ(TrimMessageEnd("Access is denied.\r\n"), "Access is denied");
}

TEST(PathHelpers, OnlyDrivePathsAndSharesAreAbsolute) {
    EXPECT_TRUE(IsAbsolutePath("C:\\Program Files\\x"));
    EXPECT_TRUE(IsAbsolutePath("d:\\"));
    EXPECT_TRUE(IsAbsolutePath("\\\\server\\share\\x"));
    EXPECT_FALSE(IsAbsolutePath(""));
    EXPECT_FALSE(IsAbsolutePath("Readme.txt"));
    EXPECT_FALSE(IsAbsolutePath("C:Readme.txt")) << "relative to the drive's current folder";
    EXPECT_FALSE(IsAbsolutePath("\\Windows")) << "relative to the current drive";
    EXPECT_FALSE(IsAbsolutePath("1:\\x"));
}
