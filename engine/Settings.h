// What an installation leaves in the registry and the shell: the product's record, the
// remembered folders, the owner name, the settings of Setup.ini, and the shortcuts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Variables.h"
#include "system/Platform.h"

class TInstaller;

// Bits of the shortcut choice made on the shortcut page.
enum ShortcutChoiceBit : unsigned {
    kChoiceStartMenu = 1,
    kChoiceDesktop = 2,
};

// "Location" and "VersionString" below HKEY_LOCAL_MACHINE in the product's version key.
void WriteInstallationInfo(Platform& platform, const SetupValues& values);
// Every [Folders] entry's folder where its [FoldersRegistry] line says, below HKEY_CURRENT_USER.
void WriteFolderLocations(Platform& platform, const SetupValues& values);
// UserName where PersonalizeOwner says, when it says anywhere.
void WriteOwnerName(Platform& platform, const SetupValues& values);
// One settings list below root, for a bundle item or (null) for the setup itself. Lines whose
// key expands to nothing are skipped; registry errors skip only their line.
void WriteSettingsList(Platform& platform, const SetupValues& values, const std::vector<std::string>& list,
                       RootKey root, const BundleItemNames* item);
// [RegistrySettings] below HKEY_CURRENT_USER, then [GlobalRegistrySettings] below
// HKEY_LOCAL_MACHINE.
void WriteRegistrySettings(Platform& platform, const SetupValues& values, const BundleItemNames* item);

// "#640" writes a number: "#" followed by a 32-bit integer, decimal with an optional sign or
// hexadecimal after "$" or "0x". Nothing for any other text, which is written as a string.
std::optional<std::int32_t> SettingNumber(const std::string& data);

// A [Shortcuts] value taken apart: target, shortcut name, arguments, icon number.
struct ShortcutLine {
    std::string target;  // as written; expanded when the shortcut is made
    std::string name;    // expanded
    std::string arguments;
    int iconIndex = 0;  // 0: the icon of the target's file type
};
ShortcutLine ParseShortcutValue(const SetupValues& values, const std::string& value);

// The [Shortcuts] lines the choice asks for, each replacing older shortcuts in its folder that
// point to the same target with the same arguments; made and logged through the installer.
void CreateShortcuts(Platform& platform, const SetupValues& values, TInstaller& installer,
                     unsigned shortcutChoice);
