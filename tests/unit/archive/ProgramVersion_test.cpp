#include <gtest/gtest.h>

#include "archive/CommonClasses.h"
#include "system/Exceptions.h"
#include "system/Stream.h"

namespace {

TProgramVersion Version(std::int32_t major, std::int32_t minor, std::int32_t release, std::int32_t beta = 0,
                        bool pressPreview = false) {
    TProgramVersion v;
    v.Major = major;
    v.Minor = minor;
    v.Release = release;
    v.Beta = beta;
    v.PressPreview = pressPreview;
    return v;
}

TProgramVersion Parsed(const std::string& text) {
    TProgramVersion v;
    v.SetAsString(text);
    return v;
}

void ExpectFields(const TProgramVersion& v, int major, int minor, int release, int beta, bool press) {
    EXPECT_EQ(v.Major, major);
    EXPECT_EQ(v.Minor, minor);
    EXPECT_EQ(v.Release, release);
    EXPECT_EQ(v.Beta, beta);
    EXPECT_EQ(v.PressPreview, press);
}

TEST(StrToIntDef, AcceptsDecimalHexPrefixesAndSigns) {
    EXPECT_EQ(StrToIntDef("42", -1), 42);
    EXPECT_EQ(StrToIntDef("   -7", 0), -7);
    EXPECT_EQ(StrToIntDef("+5", 0), 5);
    EXPECT_EQ(StrToIntDef("$1F", 0), 31);
    EXPECT_EQ(StrToIntDef("x10", 0), 16);
    EXPECT_EQ(StrToIntDef("X10", 0), 16);
    EXPECT_EQ(StrToIntDef("0x1f", 0), 31);
    EXPECT_EQ(StrToIntDef("0X1F", 0), 31);
    EXPECT_EQ(StrToIntDef("-$10", 0), -16);
    EXPECT_EQ(StrToIntDef("$FFFFFFFF", 0), -1);
    EXPECT_EQ(StrToIntDef("2147483647", 0), 2147483647);
    EXPECT_EQ(StrToIntDef("-2147483648", 0), INT32_MIN);
    EXPECT_EQ(StrToIntDef("0", -1), 0);
}

TEST(StrToIntDef, AnythingElseGivesTheDefault) {
    for (const char* text : {"", " ", "7 ", "1a", "-", "$", "0x", "x", "1.5", "\t7", "2147483648",
                             "-2147483649", "$100000000", "99999999999999999999"})
        EXPECT_EQ(StrToIntDef(text, -3), -3) << "'" << text << "'";
}

TEST(ProgramVersion, TextFormWritesMinorAndReleaseWithoutSeparator) {
    EXPECT_EQ(TProgramVersion().AsString(), "0.00");
    EXPECT_EQ(Version(3, 1, 1).AsString(), "3.11");
    EXPECT_EQ(Version(2, 0, 0).AsString(), "2.00");
    EXPECT_EQ(Version(3, 1, 1, 2).AsString(), "3.11 beta 2");
    EXPECT_EQ(Version(3, 1, 1, 2, true).AsString(), "3.11 beta 2 (press preview)");
    EXPECT_EQ(Version(3, 1, 1, 0, true).AsString(), "3.11 (press preview)");
    EXPECT_EQ(Version(1, 12, 3).AsString(), "1.123");
}

TEST(ProgramVersion, ParsesPointSeparatedTexts) {
    ExpectFields(Parsed("7"), 7, 0, 0, 0, false);
    ExpectFields(Parsed("0"), 0, 0, 0, 0, false);
    ExpectFields(Parsed("3.1"), 3, 1, 0, 0, false);
    ExpectFields(Parsed("3.1x"), 3, 1, 0, 0, false);
    ExpectFields(Parsed("3.11"), 3, 1, 1, 0, false);
    ExpectFields(Parsed("12.34"), 12, 3, 4, 0, false);
    ExpectFields(Parsed(" 2.05"), 2, 0, 5, 0, false);
}

TEST(ProgramVersion, ParsesBetaFromTheTwoCharactersAfterBetaBlank) {
    ExpectFields(Parsed("3.11 beta 12"), 3, 1, 1, 12, false);
    ExpectFields(Parsed("3.11 beta 2"), 3, 1, 1, 2, false);
    ExpectFields(Parsed("3.11 beta 2 (press preview)"), 3, 1, 1, 0, true);
    ExpectFields(Parsed("3.11 beta 12 (press preview)"), 3, 1, 1, 12, true);
    ExpectFields(Parsed("3.11 beta "), 3, 1, 1, 0, false);
    ExpectFields(Parsed("3.11 Beta 4"), 3, 1, 1, 0, false);  // case-sensitive
    ExpectFields(Parsed("3.11 impressive"), 3, 1, 1, 0, true);
}

TEST(ProgramVersion, TextFormReadsBackWhereTheRulesAllow) {
    for (const TProgramVersion& v : {Version(3, 1, 1), Version(9, 9, 9, 42), Version(1, 0, 2, 7),
                                     Version(5, 4, 3, 10, true), Version(0, 0, 0, 0, true)}) {
        TProgramVersion back = Parsed(v.AsString());
        ExpectFields(back, v.Major, v.Minor, v.Release, v.Beta, v.PressPreview);
    }
}

TEST(ProgramVersion, RejectsMissingOrNegativeMajorAndMinorKeepingTheRecord) {
    for (const char* text : {"", "7.", ".5", "-1.00", "a.00", "3.-1", "3 .11", "1.a0", "beta 2"}) {
        TProgramVersion v = Version(4, 5, 6, 7, true);
        try {
            v.SetAsString(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EProgramVersionError& error) {
            EXPECT_EQ(error.Message(), std::string("'") + text + "' is not a valid version number");
        }
        ExpectFields(v, 4, 5, 6, 7, true);
    }
}

TEST(ProgramVersion, ComparesNumbersThenFinalOverBetaThenBetaNumber) {
    EXPECT_EQ(TProgramVersion::Compare(Version(3, 1, 1), Version(3, 1, 1, 5)), 1);
    EXPECT_EQ(TProgramVersion::Compare(Version(3, 1, 1, 5), Version(3, 1, 1)), -1);
    EXPECT_EQ(TProgramVersion::Compare(Version(3, 1, 1, 4), Version(3, 1, 1, 5)), -1);
    EXPECT_EQ(TProgramVersion::Compare(Version(3, 1, 1, 6), Version(3, 1, 1, 5)), 1);
    EXPECT_EQ(TProgramVersion::Compare(Version(3, 1, 1, 0, true), Version(3, 1, 1)), 0);
    EXPECT_EQ(TProgramVersion::Compare(Version(2, 9, 9), Version(3, 0, 0, 1)), -1);
    EXPECT_EQ(TProgramVersion::Compare(Version(3, 2, 0, 1), Version(3, 1, 9)), 1);
    EXPECT_EQ(TProgramVersion::Compare(Version(3, 1, 2), Version(3, 1, 1, 9)), 1);
}

TEST(ProgramVersion, StreamFormIsTwentyFiveBytesWithMarkerAndFormat) {
    MemoryStream stream;
    TProgramVersion().SaveToStream(stream);
    std::vector<std::uint8_t> expected = {0x9C, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0, 0,
                                          0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(stream.Bytes(), expected);

    MemoryStream full;
    Version(0x01020304, 5, 6, 7, true).SaveToStream(full);
    ASSERT_EQ(full.Size(), 25);
    EXPECT_EQ(full.Bytes()[8], 0x04);
    EXPECT_EQ(full.Bytes()[11], 0x01);
    EXPECT_EQ(full.Bytes()[24], 1);
    full.Seek(0);
    TProgramVersion back;
    back.LoadFromStream(full);
    ExpectFields(back, 0x01020304, 5, 6, 7, true);
}

TEST(ProgramVersion, LoadingTakesAnyNonZeroPressPreviewByteAsTrue) {
    MemoryStream stream;
    Version(1, 2, 3).SaveToStream(stream);
    stream.Bytes()[24] = 0x80;
    stream.Seek(0);
    TProgramVersion v;
    v.LoadFromStream(stream);
    EXPECT_TRUE(v.PressPreview);
}

TEST(ProgramVersion, WrongMarkerOrFormatIsAGeneralErrorAfterEightBytes) {
    for (std::size_t at : {0u, 4u}) {
        MemoryStream stream;
        Version(1, 2, 3).SaveToStream(stream);
        stream.Bytes()[at] ^= 1;
        stream.Seek(0);
        TProgramVersion v = Version(9, 9, 9);
        try {
            v.LoadFromStream(stream);
            ADD_FAILURE() << "accepted a damaged word at " << at;
        } catch (const EProgramVersionError&) {
            ADD_FAILURE() << "the stream error is not a version-text error";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), kInvalidVersionOnStreamMessage);
        }
        EXPECT_EQ(stream.Position(), 8);
        ExpectFields(v, 9, 9, 9, 0, false);
    }
}

TEST(ProgramVersion, ShortStreamIsTheReadErrorKeepingWhatWasRead) {
    MemoryStream stream;
    Version(4, 5, 6).SaveToStream(stream);
    stream.Bytes().resize(14);  // marker, format, major and half of minor
    stream.Seek(0);
    TProgramVersion v;
    EXPECT_THROW(v.LoadFromStream(stream), EReadError);
    EXPECT_EQ(v.Major, 4);
    EXPECT_EQ(v.Minor, 0);
}

}  // namespace
