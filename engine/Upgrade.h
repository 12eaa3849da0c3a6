// The earlier installation of the product: found from its registry record, its folder
// proposed as the destination, its remembered folders and owner name read back.
#pragma once

#include <string>
#include <vector>

#include "engine/Variables.h"

class Platform;

// VersionKey from SetupVersion.
void ComputeVersionKey(SetupValues& values);
// InstalledVersion, InstalledVersionKey and ExistingInstallFound: the newest recorded version
// whose major version is not above this setup's.
void FindExistingInstallation(SetupValues& values, Platform& platform);
// DefaultFolder as a format text: "%d" is the major version, "%%" a percent sign; any other "%"
// sequence stays as written rather than failing the setup, and is added to unknown when given.
std::string FormatDefaultFolder(const std::string& pattern, int major,
                                std::vector<std::string>* unknown = nullptr);
// ProgramFilesFolder joined with DefaultFolder ("%d" standing for the major version).
std::string DefaultDestination(const SetupValues& values);
// DestinationFolder and ExistingFolder; an installation whose folder is unknown or misses one
// of its [InstalledFiles] counts as none. Then reads back the remembered folders.
void ResolveDestination(SetupValues& values, Platform& platform);
// RememberedFolders, from the earlier installation of the same major version.
void LoadRememberedFolders(SetupValues& values, Platform& platform);
// RegisteredOwner and UserName (the owner of the earlier installation, else the Windows user).
void ReadOwnerName(SetupValues& values, Platform& platform);

enum class UpgradeQuestion {
    None,               // nothing to ask
    DifferentFolder,    // same major version, another folder: TextId::SameMajorQuestion
    OverwriteExisting,  // other major version, the same folder: TextId::NewMajorQuestion
};
// What leaving the destination page with folder must ask, if anything.
UpgradeQuestion DestinationQuestion(const SetupValues& values, const std::string& folder);
