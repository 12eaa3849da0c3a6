// The Win32 side of the runs without a person: the side picture for the window, and the silent
// setup with or without the copy page's progress.
#pragma once

#include <windows.h>

#include "engine/SetupInstaller.h"
#include "setup/CommandLine.h"
#include "system/Platform.h"
#include "wizard/win32/SidePicture.h"

// The side picture of the setup's archive (or beside the program), for FormMain::Create.
PictureLookup SetupPictures(TSetupInstaller& engine);

// /VERYSILENT shows nothing; /SILENT shows the wizard's window from its copy page on.
int RunSilentSetup(HINSTANCE instance, Platform& platform, const SetupOptions& options);
