// Where things go: the system folders, the host applications' plug-in folders, the folder
// probe, and the two hooks the engine gives the archive reader.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/Variables.h"

class Platform;
class TSetupBundleItem;


// Total unpacked size of a top-level folder of the setup archive (0 when there is none);
// TInstaller::GetDirectorySize in the engine, a fake in tests.
using ArchiveFolderSize = std::function<std::int64_t(const std::string& name)>;

// AppDataFolder, DocumentsFolder, ProgramFilesFolder and CommonFilesFolder. A 64-bit product
// takes the 64-bit folders from ProgramW6432 / CommonProgramW6432, since this 32-bit process
// only ever sees the 32-bit ones through the shell.
void DetectSystemFolders(SetupValues& values, Platform& platform);
// The VST 2 folder from HKLM\Software\Vst "VstPluginsPath" in the product's registry view;
// empty when absent or unreadable.
void DetectVst2Folder(SetupValues& values, Platform& platform);
// The Photoshop folder from the newest numbered version key below HKLM\SOFTWARE\Adobe\Photoshop;
// only when the Photoshop page is configured.
void DetectPhotoshopFolder(SetupValues& values, Platform& platform);
// Every format's folder, as its row says: below CommonFilesFolder, or through its Detect.
void DetectPluginFolders(SetupValues& values, Platform& platform);

// Whether a [Components] entry whose destination names the format (its value holds marker:
// "Vst3", or "$ClapPluginFolder") has a non-empty archive folder, for one bundle item or (item
// null) for the whole setup.
bool CarriesPlugins(const SetupValues& values, const char* marker, const BundleItemNames* item,
                    const ArchiveFolderSize& folderSize);
// Whether the setup carries plug-ins of a format, and for a bundle where only some items do,
// their names joined by ", " for the VST page's "(Only for ...)" line.
struct PluginFormatOffer {
    bool Available = false;
    std::string OnlyFor;
};
PluginFormatOffer OfferPluginFormat(const SetupValues& values, const char* marker,
                                    const std::vector<TSetupBundleItem>& items,
                                    const ArchiveFolderSize& folderSize);
// Available and OnlyFor of every format with a component mark.
void OfferPluginFormats(SetupValues& values, const std::vector<TSetupBundleItem>& items,
                        const ArchiveFolderSize& folderSize);

// Whether every missing folder of path can be created; creates and removes them again, so
// the file system is left as found.
bool CanCreateFolder(Platform& platform, const std::string& path);

// Where a file lies with regard to a VST 3 bundle, the innermost of its folders named "*.vst3":
// outside any; the bundle's own binary, directly in its Contents\<architecture>-win folder
// ("x86_64-win", "arm64ec-win"...) with the bundle's base name; or anywhere else inside it.
// Names are compared without regard to ASCII case.
enum class Vst3BundlePlace { Outside, Binary, Inside };
Vst3BundlePlace PlaceInVst3Bundle(const std::string& path);
// The name a plug-in library gets on the way, the one rule for it: a ".dll" file becomes its
// name, the component's suffix and ".dll", or ".vst3" in a VST 3 component; except that in a VST
// 3 component a ".dll" inside a bundle that is not the bundle's binary keeps its name (a runtime
// or licensing library the plug-in loads by that name). Other files keep their name.
std::string PluginFileName(const std::string& path, const std::string& dllSuffix, bool vst3Component);
// The file hook (TInstaller::OnFile): names plug-in libraries for the component being
// extracted (DllSuffix, ".vst3") and marks folder-icon files; a desktop.ini makes its folder
// read-only at once.
void PrepareFile(const SetupValues& values, Platform& platform, std::string& path, std::uint32_t& attributes);
// The write-error hook (TInstaller::OnError): asks to retry the file; true for Retry.
bool AskRetryFile(Platform& platform, const std::string& path);
