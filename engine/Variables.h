// The variables of setup texts ("$ProductName"...) and paths ("$ProgramFolder", "%Folder"...).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "archive/CommonClasses.h"
#include "engine/Configuration.h"
#include "engine/PluginFormats.h"

// Everything the expansions read, owned by the engine; the expansions read it at the moment
// of the call, so a folder changed on a wizard page shows up in the next expansion.
struct SetupValues {
    SetupConfiguration Config;
    TProgramVersion SetupVersion;

    std::string ProgramFilesFolder;
    std::string CommonFilesFolder;
    std::string DocumentsFolder;
    std::string DestinationFolder;
    std::string AppDataFolder;

    // One state per plug-in format, in the order of PluginFormats().
    std::array<PluginFormatState, kPluginFormatCount> Formats;
    PluginFormatState& Format(PluginFormat format) { return Formats[FormatIndex(format)]; }
    const PluginFormatState& Format(PluginFormat format) const { return Formats[FormatIndex(format)]; }

    // Set by the installation run for the component being extracted; read by the file hook.
    std::string DllSuffix;  // empty, or a blank and the suffix
    bool IsVst3Component = false;
    // Set once by the engine: the [Components] lines marked Arm64 are installed in place of
    // those marked x64 (ChoosesArmBuilds).
    bool ArmBuilds = false;

    // This setup's version key and the earlier installation found in the registry.
    std::string VersionKey;
    TProgramVersion InstalledVersion;
    std::string InstalledVersionKey;
    std::string ExistingFolder;  // with a trailing backslash; empty when none was found
    bool ExistingInstallFound = false;
    // Folders the earlier installation of the same major version remembered, by [Folders]
    // index, with a trailing backslash; empty where nothing was remembered.
    std::vector<std::string> RememberedFolders;
    std::string RegisteredOwner;
    std::string UserName;
};

// The bundle item a path is expanded for.
struct BundleItemNames {
    std::string Name;
    std::string ProductName;
    TProgramVersion Version;
};

struct RegistryLocation {
    std::string KeyPath;  // from the top of the hive; empty means skip the entry
    std::string ValueName;
};

// The text variables, in the order ExpandText replaces them.
struct TextVariable {
    const char* Name;  // "$ProductName"
    std::string (*Value)(const SetupValues& values);
};
const std::vector<TextVariable>& TextVariables();

// The folder variables of paths, in the order ExpandPath replaces them (after the %Name folders
// and before the bundle item). Folder, when set, is the value inserted, else the folder of
// Format; Format, when set, is the format whose install switch empties a whole path naming the
// variable while it is off. A new format's variable goes at the end, so that paths of earlier
// setups expand as they did.
struct PathVariable {
    const char* Name;  // "$VstPluginFolder"
    std::string SetupValues::*Folder;
    PluginFormat Format;
};
const std::vector<PathVariable>& PathVariables();
// The folder the variable stands for now.
std::string PathVariableValue(const SetupValues& values, const PathVariable& variable);

// Stand for the bundle item a path is expanded for; a path naming them is skipped without one.
inline constexpr const char* kBundleItemVariable = "$BundleItem";
inline constexpr const char* kBundleItemProductNameVariable = "$BundleItemProductName";

// " (64-bit)" for a 64-bit product, always in English: it is part of the names the product is
// registered under, which must not change with the customer's language ($BitSuffix is translated).
std::string BitSuffix(const SetupValues& values);
std::string FullProductName(const SetupValues& values);
// Replaces the text variables, every occurrence, in one fixed order.
std::string ExpandText(const SetupValues& values, const std::string& text);
// "%d.%d" of major and minor, the minor written as 0 when minor versions are ignored.
std::string FormatVersionKey(const TProgramVersion& version, bool ignoreMinorVersion);
// RegistryRoot, a backslash and the version key.
std::string ProductKey(const SetupValues& values, const std::string& versionKey);
// The folder remembered for the [Folders] entry at index by an earlier installation of the
// same major version, else its configured value.
std::string FolderValue(const SetupValues& values, std::size_t index);
// A "key\\value" location of Setup.ini below the product's version key, or for a bundle item
// below the bundle root in a key named after the item's version.
RegistryLocation ResolveRegistryPath(const SetupValues& values, const std::string& location,
                                     const std::string& versionKey, const BundleItemNames* item);
// Where the [Folders] entry at index is remembered, from the [FoldersRegistry] line of its name.
RegistryLocation FolderRegistryLocation(const SetupValues& values, std::size_t index,
                                        const std::string& versionKey);
// Replaces the path variables; empty text means the caller skips the entry.
std::string ExpandPath(const SetupValues& values, const std::string& text, const BundleItemNames* item);
