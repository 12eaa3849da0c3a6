#include "setup/RunMode.h"

#include "archive/SetupData.h"
#include "system/Platform.h"

RunMode ReadRunMode(Platform& platform) {
    auto own = platform.OpenForReading(platform.OwnProgramPath(), ShareMode::DenyNone);
    own->Seek(kUninstallMarkerWordPosition);
    return own->ReadInt32() == 1 ? RunMode::Uninstaller : RunMode::Setup;
}
