#include <gtest/gtest.h>

#include "system/Utf8.h"

TEST(Utf8, ConvertsEveryScriptBothWaysAndCountsWhatWindowsCounts) {
    const std::string text = "Caf\xC3\xA9 \xD0\x9E\xD0\xBB\xD1\x8C\xD0\xB3\xD0\xB0 \xCE\xA9 "
                             "\xE5\xA4\x9C\xE6\x98\x8E \xF0\x9F\x8E\xB9";  // Café Ольга Ω 夜明 🎹
    ASSERT_TRUE(IsUtf8(text));
    const std::u16string units = Utf16FromUtf8(text);
    EXPECT_EQ(units.size(), Utf16Length(text));
    EXPECT_EQ(units.size(), 18u) << "the keyboard is a surrogate pair";
    EXPECT_EQ(Utf8FromUtf16(units), text);
}

TEST(Utf8, IllFormedBytesAreRefusedAndConvertToReplacementCharacters) {
    for (const std::string bad : {"\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                                  "\x80", "\xE9", "\xFF"}) {
        EXPECT_FALSE(IsUtf8(bad)) << testing::PrintToString(bad);
        for (char16_t unit : Utf16FromUtf8(bad)) EXPECT_EQ(unit, u'\uFFFD');
    }
    EXPECT_EQ(Utf16FromUtf8("Caf\xE9" "b"), u"Caf\uFFFDb") << "a 1252 byte in UTF-8 text";
    EXPECT_FALSE(IsUtf8("Caf\xE9"));
}

TEST(Utf8, UnpairedSurrogatesFromWindowsBecomeReplacementCharacters) {
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00, 0xD83C};
    const std::string text = Utf8FromUtf16(lone, 5);
    EXPECT_TRUE(IsUtf8(text));
    EXPECT_EQ(text, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
}
