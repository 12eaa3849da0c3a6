#include "setup/RunMode.h"

#include "system/Platform.h"

RunMode ReadRunMode(Platform& platform) {
    auto own = platform.OpenForReading(platform.OwnProgramPath(), ShareMode::DenyNone);
    own->Seek(kUninstallerMarkerWord);
    return own->ReadInt32() == 1 ? RunMode::Uninstaller : RunMode::Setup;
}
