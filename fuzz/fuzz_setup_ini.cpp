// Setup.ini as a vendor's typo or a damaged archive could give it: loaded with a fixed licence,
// then every line of every list expanded as text and as a path, with and without a bundle
// item. Whatever the bytes, loading ends with the configuration error or a configuration.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/Configuration.h"
#include "engine/Variables.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"

namespace {

class FuzzSource : public SetupDataSource {
public:
    FuzzSource(const std::uint8_t* data, std::size_t size) : ini_(data, data + size) {}
    std::unique_ptr<Stream> Load(const std::string& name) override {
        if (SameText(name, "Setup.ini")) return std::make_unique<MemoryStream>(ini_);
        if (SameText(name, "Setup.lic"))
            return std::make_unique<MemoryStream>(std::vector<std::uint8_t>{'O', 'K'});
        return nullptr;
    }

private:
    std::vector<std::uint8_t> ini_;
};

void ExpandEverything(const SetupValues& values) {
    const SetupConfiguration& c = values.Config;
    BundleItemNames item;
    item.Name = "Item";
    item.ProductName = "Gadget Item";
    item.Version.SetAsString("1.20");
    const std::vector<std::string>* lists[] = {
        &c.InstalledFiles,    &c.Folders,       &c.FoldersRegistry,  &c.Components,
        &c.ComponentsOptions, &c.CallLibraries, &c.RegistrySettings, &c.GlobalRegistrySettings,
        &c.Shortcuts,
    };
    for (const auto* list : lists) {
        for (const std::string& line : *list) {
            ExpandText(values, line);
            ExpandPath(values, line, nullptr);
            ExpandPath(values, line, &item);
            const std::string right = SplitAt(line, '=').right;
            ExpandPath(values, right, nullptr);
            ResolveRegistryPath(values, right, "1.0", &item);
        }
    }
    for (std::size_t i = 0; i < c.Folders.size(); ++i) FolderRegistryLocation(values, i, "1.0");
    ExpandPath(values, c.CompleteReadme, nullptr);
    ExpandPath(values, c.CompleteProduct, nullptr);
    ExpandText(values, c.DefaultFolder);
    FullProductName(values);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryPlatform machine;
    machine.AddFile("C:\\Downloads\\Setup.exe", std::vector<std::uint8_t>(64, 0));
    machine.SetOwnProgramPath("C:\\Downloads\\Setup.exe");
    FuzzSource source(data, size);
    SetupValues values;
    values.SetupVersion.SetAsString("3.12 beta 4");
    values.DestinationFolder = "C:\\Program Files\\Maker\\Gadget\\";
    values.Format(PluginFormat::Vst2).Folder = "C:\\VST\\";
    values.Format(PluginFormat::Vst3).Folder = "C:\\Program Files\\Common Files\\VST3\\";
    values.AppDataFolder = "C:\\Users\\user\\AppData\\Roaming\\";
    values.DocumentsFolder = "C:\\Users\\user\\Documents\\";
    try {
        LoadConfiguration(values, source, machine);
    } catch (const Exception&) {
        return 0;
    }
    ExpandEverything(values);
    values.Format(PluginFormat::Vst2).Install = values.Format(PluginFormat::Aax).Install = false;
    ExpandEverything(values);
    return 0;
}
