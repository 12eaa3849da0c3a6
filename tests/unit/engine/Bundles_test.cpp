#include <gtest/gtest.h>

#include <map>

#include "engine/Bundles.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"

namespace {

class FakeArchive : public SetupDataSource {
public:
    std::map<std::string, std::string> entries;
    std::unique_ptr<Stream> Load(const std::string& name) override {
        auto found = entries.find(name);
        if (found == entries.end()) return nullptr;
        return std::make_unique<MemoryStream>(
            std::vector<std::uint8_t>(found->second.begin(), found->second.end()));
    }
};

std::uint32_t Pack(int year, int month, int day, int hour, int minute, int second) {
    return static_cast<std::uint32_t>((year - 1980) << 25 | month << 21 | day << 16 | hour << 11 |
                                      minute << 5 | second / 2);
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

const std::uint32_t kArchiveDate = Pack(2024, 5, 17, 10, 30, 44);

class BundleTest : public ::testing::Test {
protected:
    MemoryPlatform machine;
    FakeArchive archive;
    SetupValues values;
    std::vector<TSetupBundleItem> items;

    std::uint32_t Shifted(std::uint32_t date, const std::string& version) {
        TProgramVersion parsed;
        parsed.SetAsString(version);
        return BundleFileDate(date, parsed);
    }
    void Load(const std::string& text) {
        items.clear();
        archive.entries["BundleInfo.ini"] = text;
        LoadBundleInfo(values, archive, machine, kArchiveDate, items);
    }
};

TEST_F(BundleTest, FileDateShiftsTheArchiveDateByTheVersionIntoTheNextDayIfNeeded) {
    EXPECT_EQ(Shifted(kArchiveDate, "3.12"), Pack(2024, 5, 17, 13, 42, 44));
    EXPECT_EQ(Shifted(Pack(2024, 2, 28, 22, 0, 0), "2.05"), Pack(2024, 2, 29, 0, 5, 0));
    EXPECT_EQ(Shifted(Pack(2023, 12, 31, 23, 59, 58), "23.59"), Pack(2024, 1, 1, 23, 58, 58));
    for (const char* version : {"1.60", "24.00", "0.99"})
        EXPECT_EQ(ErrorOf([&] { Shifted(kArchiveDate, version); }), kInvalidTimeEncodeMessage) << version;
    // No garbage stamp from a damaged archive date or past the packed form's last year.
    EXPECT_EQ(ErrorOf([&] { Shifted(Pack(2024, 13, 1, 0, 0, 0), "1.00"); }), kInvalidDateEncodeMessage);
    EXPECT_EQ(ErrorOf([&] { Shifted(Pack(2107, 12, 31, 23, 0, 0), "1.00"); }), kInvalidDateEncodeMessage);
}

TEST_F(BundleTest, ItemsComeInFileOrderAndLinesWithoutANameAreIgnored) {
    values.Config.BundleItemName = "$BundleItem";
    Load("[Items]\r\nAlpha=1.20,Alpha Equalizer\r\n\r\nBeta=2.05\n=3.00\rGamma=1.00 beta 2,Gamma, the third");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].Name + "|" + items[0].ProductName + "|" + items[0].DisplayName,
              "Alpha|Alpha Equalizer|Alpha 1.20");
    EXPECT_EQ(items[0].FileDate, Pack(2024, 5, 17, 11, 50, 44));
    EXPECT_TRUE(items[0].Selected);
    EXPECT_EQ(items[1].ProductName + "|" + items[1].DisplayName, "Beta|Beta 2.05");
    EXPECT_EQ(items[2].ProductName + "|" + items[2].DisplayName, "Gamma, the third|Gamma 1.00 beta 2");

    // Blanks around "=" stay in the name and in the display name.
    values.Config.BundleItemName = "$BundleItem for $BundleItem";
    Load("Alpha = 1.20");
    EXPECT_EQ(items[0].Version.AsString(), "1.20");
    EXPECT_EQ(items[0].DisplayName, "Alpha  for Alpha   1.20");
    values.Config.BundleItemName = "";
    Load("Alpha=1.20");
    EXPECT_EQ(items[0].DisplayName, " 1.20");
    // An editor's byte order mark is no part of the first item's name.
    Load(
        "\xEF\xBB\xBF"
        "Alpha=1.20");
    EXPECT_EQ(items[0].Name, "Alpha");
}

TEST_F(BundleTest, BadVersionsAndAMissingFileStopTheSetup) {
    EXPECT_EQ(ErrorOf([&] { Load("Alpha=1.20\r\nBeta=new"); }), "'new' is not a valid version number");
    EXPECT_EQ(ErrorOf([&] { Load("Alpha=1.60"); }), kInvalidTimeEncodeMessage);
    archive.entries.clear();
    EXPECT_THROW(LoadBundleInfo(values, archive, machine, kArchiveDate, items), EFileError);
}

}  // namespace
