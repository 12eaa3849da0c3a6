// Bundles: one setup that installs several products, the items listed in BundleInfo.ini.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Variables.h"

class Platform;
class SetupDataSource;

inline constexpr const char* kInvalidTimeEncodeMessage = "Invalid argument to time encode";
inline constexpr const char* kInvalidDateEncodeMessage = "Invalid argument to date encode";

// One product of a bundle. Name, ProductName and Version (the BundleItemNames part) are what
// path expansion reads, so an item can be passed to ExpandPath as it is.
class TSetupBundleItem : public BundleItemNames {
public:
    // Raises EProgramVersionError for a bad version text and Exception(kInvalidTimeEncodeMessage)
    // when the version does not fit in a time of day (see BundleFileDate).
    TSetupBundleItem(const SetupValues& values, std::uint32_t archiveDate, const std::string& name,
                     const std::string& versionText, const std::string& productName);

    std::string DisplayName;
    std::uint32_t FileDate = 0;  // packed local date-time given to every file of this item
    bool Selected = true;
};

// The item's display name: BundleItemName, a blank and the version text as written, with every
// "$BundleItem" replaced by the item's name.
std::string BundleDisplayName(const std::string& pattern, const std::string& name,
                              const std::string& versionText);
// The archive's packed date shifted by Major hours and Minor * 10 + Release minutes, so the
// files' stamp tells the item's version. The shift must be a time of day (at most 23:59),
// else Exception(kInvalidTimeEncodeMessage); it may carry into the next day. An archive date
// that is no date, or a stamp past the packed form's last year (2107), raises
// Exception(kInvalidDateEncodeMessage) rather than stamping files with a wrong date.
std::uint32_t BundleFileDate(std::uint32_t archiveDate, const TProgramVersion& version);

// Reads BundleInfo.ini ("Name=version" or "Name=version,Product name" per line; lines without
// a name are ignored) and appends its items in file order. For LoadConfiguration's bundle hook:
//   [&](SetupValues& v) { LoadBundleInfo(v, source, platform, installer.FileDate(), items); }
void LoadBundleInfo(const SetupValues& values, SetupDataSource& source, Platform& platform,
                    std::uint32_t archiveDate, std::vector<TSetupBundleItem>& items);
