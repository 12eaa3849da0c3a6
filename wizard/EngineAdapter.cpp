#include "wizard/EngineAdapter.h"

#include "engine/Configuration.h"
#include "engine/Folders.h"
#include "engine/Settings.h"

WizardPageFlags EngineAdapter::PageFlags() {
    unsigned flags = engine_.Config().PageFlags;
    WizardPageFlags result;
    result.vstPluginFolder = (flags & kPageVstPluginFolder) != 0;
    result.digiPluginFolder = (flags & kPageDigiPluginFolder) != 0;
    result.photoshopPluginFolder = (flags & kPagePhotoshopPluginFolder) != 0;
    result.personalization = (flags & kPagePersonalization) != 0;
    return result;
}

ShortcutSet EngineAdapter::ShortcutKinds() {
    unsigned kinds = engine_.Config().ShortcutKinds;
    ShortcutSet result;
    result.startMenu = (kinds & kShortcutStartMenu) != 0;
    result.desktop = (kinds & kShortcutDesktop) != 0;
    return result;
}

void EngineAdapter::SetShortcutChoice(ShortcutSet choice) {
    engine_.SetShortcutChoice((choice.startMenu ? kChoiceStartMenu : 0u) |
                              (choice.desktop ? kChoiceDesktop : 0u));
}

bool EngineAdapter::CanCreateFolder(const std::string& path) {
    return ::CanCreateFolder(platform_, path);
}
