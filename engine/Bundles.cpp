#include "engine/Bundles.h"

#include "engine/Configuration.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"

namespace {

struct CivilDate {
    int year;
    int month;
    int day;
};

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

CivilDate NextDay(CivilDate date) {
    if (++date.day > DaysInMonth(date.year, date.month)) {
        date.day = 1;
        if (++date.month > 12) {
            date.month = 1;
            ++date.year;
        }
    }
    return date;
}

void ReplaceEvery(std::string& text, const std::string& name, const std::string& value) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + value.size()))
        text.replace(at, name.size(), value);
}

}  // namespace

std::string BundleDisplayName(const std::string& pattern, const std::string& name,
                              const std::string& versionText) {
    std::string text = pattern + " " + versionText;
    ReplaceEvery(text, "$BundleItem", name);
    return text;
}

std::uint32_t BundleFileDate(std::uint32_t archiveDate, const TProgramVersion& version) {
    const int shiftHours = version.Major;
    const int shiftMinutes = version.Minor * 10 + version.Release;
    if (shiftHours < 0 || shiftHours > 23 || shiftMinutes < 0 || shiftMinutes > 59)
        throw Exception(kInvalidTimeEncodeMessage);

    CivilDate date{static_cast<int>(archiveDate >> 25) + 1980, static_cast<int>((archiveDate >> 21) & 15),
                   static_cast<int>((archiveDate >> 16) & 31)};
    const int hour = static_cast<int>((archiveDate >> 11) & 31);
    const int minute = static_cast<int>((archiveDate >> 5) & 63);
    const int halfSeconds = static_cast<int>(archiveDate & 31);
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > DaysInMonth(date.year, date.month))
        throw Exception(kInvalidDateEncodeMessage);
    if (hour > 23 || minute > 59 || halfSeconds > 29) throw Exception(kInvalidTimeEncodeMessage);

    int minutes = hour * 60 + minute + shiftHours * 60 + shiftMinutes;
    // At most 23:59 plus 23:59: one day of carry at most.
    if (minutes >= 24 * 60) {
        minutes -= 24 * 60;
        date = NextDay(date);
    }
    // The packed form ends with 2107; a stamp past it would read back as another date.
    if (date.year > 1980 + 127) throw Exception(kInvalidDateEncodeMessage);
    return static_cast<std::uint32_t>(date.year - 1980) << 25 | static_cast<std::uint32_t>(date.month) << 21 |
           static_cast<std::uint32_t>(date.day) << 16 | static_cast<std::uint32_t>(minutes / 60) << 11 |
           static_cast<std::uint32_t>(minutes % 60) << 5 | static_cast<std::uint32_t>(halfSeconds);
}

TSetupBundleItem::TSetupBundleItem(const SetupValues& values, std::uint32_t archiveDate,
                                   const std::string& name, const std::string& versionText,
                                   const std::string& productName) {
    Name = name;
    ProductName = productName;
    Version.SetAsString(versionText);
    DisplayName = BundleDisplayName(values.Config.BundleItemName, name, versionText);
    FileDate = BundleFileDate(archiveDate, Version);
}

void LoadBundleInfo(const SetupValues& values, SetupDataSource& source, Platform& platform,
                    std::uint32_t archiveDate, std::vector<TSetupBundleItem>& items) {
    for (const std::string& line : LoadSetupText(source, platform, "BundleInfo.ini")) {
        SplitResult nameSplit = SplitAt(line, '=');
        // Blank lines and section headers have no name and describe no item.
        if (!nameSplit.found || nameSplit.left.empty()) continue;
        SplitResult valueSplit = SplitAt(nameSplit.right, ',');
        items.emplace_back(values, archiveDate, nameSplit.left, valueSplit.left,
                           valueSplit.found ? valueSplit.right : nameSplit.left);
    }
}
