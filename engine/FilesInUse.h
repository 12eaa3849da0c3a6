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

inline constexpr const char* kFilesInUseMessage =
    "Setup cannot replace these files because another program is using them:\r\r%s";
inline constexpr const char* kProgramsUsingFilesMessage = "\r\rThey are in use by:\r\r%s";
inline constexpr const char* kMoreFilesInUseLine = "\r... and %s more";
inline constexpr const char* kCloseProgramsMessage =
    "\r\rPlease close the program (such as a host application with the plug-in loaded) and click "
    "Retry. Click Cancel to end Setup without changing anything on this computer.";
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
