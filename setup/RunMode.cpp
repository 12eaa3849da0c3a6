#include "setup/RunMode.h"

#include "archive/ProgramHeader.h"
#include "system/Platform.h"
#include "system/Stream.h"

RunMode ReadRunMode(Platform& platform) {
    auto own = platform.OpenForReading(platform.OwnProgramPath(), ShareMode::DenyNone);
    return IsUninstaller(ReadProgramHeaderWords(*own)) ? RunMode::Uninstaller : RunMode::Setup;
}
