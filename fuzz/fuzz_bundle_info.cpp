// BundleInfo.ini of a bundle setup, any bytes: read into items with their versions, display
// names and file dates, and the bundle's paths expanded for every item. Whatever the bytes, the
// run ends with an error of ours or a list of items.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Bundles.h"
#include "engine/Configuration.h"
#include "engine/Variables.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"

namespace {

constexpr char kBundleIni[] =
    "[Setup]\r\nProductName=Studio\r\nIsBundle=1\r\nRegistryRoot=Maker\\Studio\r\n"
    "BundleRegistryRoot=Maker\r\nDefaultFolder=Maker\\Studio\r\nBundleItemName=$BundleItem version\r\n"
    "[Components]\r\n$BundleItem=$ProgramFolder\\$BundleItem\r\n"
    "[RegistrySettings]\r\n$BundleItem\\Path=$ProgramFolder\r\n";

class FuzzSource : public SetupDataSource {
public:
    FuzzSource(const std::uint8_t* data, std::size_t size) : info_(data, data + size) {}
    std::unique_ptr<Stream> Load(const std::string& name) override {
        if (SameText(name, "BundleInfo.ini")) return std::make_unique<MemoryStream>(info_);
        if (SameText(name, "Setup.ini")) return Text(kBundleIni);
        if (SameText(name, "Setup.lic")) return Text("Terms");
        return nullptr;
    }

private:
    static std::unique_ptr<Stream> Text(const std::string& text) {
        return std::make_unique<MemoryStream>(std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    std::vector<std::uint8_t> info_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryPlatform machine;
    machine.AddFile("C:\\Downloads\\Setup.exe", std::vector<std::uint8_t>(64, 0));
    machine.SetOwnProgramPath("C:\\Downloads\\Setup.exe");
    FuzzSource source(data, size);
    // An ordinary archive date, and the last minutes of the last year a packed date can hold.
    for (std::uint32_t archiveDate : {0x58210000u, 0xFF9FBF00u}) {
        SetupValues values;
        values.SetupVersion.SetAsString("1.00");
        values.DestinationFolder = "C:\\Program Files\\Maker\\Studio\\";
        std::vector<TSetupBundleItem> items;
        try {
            LoadConfiguration(values, source, machine, [&](SetupValues& v) {
                LoadBundleInfo(v, source, machine, archiveDate, items);
            });
        } catch (const Exception&) {
            continue;
        }
        for (const TSetupBundleItem& item : items) {
            for (const std::string& line : values.Config.Components)
                ExpandPath(values, SplitAt(line, '=').right, &item);
            for (const std::string& line : values.Config.RegistrySettings)
                ResolveRegistryPath(values, SplitAt(line, '=').left, "1.0", &item);
            BundleDisplayName(values.Config.BundleItemName, item.Name, item.Version.AsString());
        }
    }
    return 0;
}
