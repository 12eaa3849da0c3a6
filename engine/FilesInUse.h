// Before the run writes anything, the files it will replace that another program holds open
// (a host application with the plug-in loaded): named at once, with the programs where the
// system can tell, instead of one by one in the middle of the copy.
#pragma once

#include <string>
#include <vector>

#include "engine/Variables.h"

class Platform;
class TInstaller;
class TSetupBundleItem;

// More would make the box taller than the screen.
inline constexpr std::size_t kMaxListedFiles = 12;

// The existing files the copy will replace (components without NoOverwrite, the uninstaller
// and its Uninstall.dat) that do not open for writing now, each once, in the copy's order.
std::vector<std::string> FilesInUse(Platform& platform, SetupValues& values, TInstaller& installer,
                                    const std::vector<TSetupBundleItem>& bundleItems);
// The message naming the files (the first kMaxListedFiles of them) and the programs.
std::string FilesInUseText(const std::vector<std::string>& files, const std::vector<std::string>& programs);
// Asks with Retry and Cancel while files are held; false when the user cancels.
bool WaitForFilesInUse(Platform& platform, SetupValues& values, TInstaller& installer,
                       const std::vector<TSetupBundleItem>& bundleItems);
