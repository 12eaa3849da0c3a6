// The uninstall record: product version, the log of everything an installation created, and
// the product name, appended to the uninstaller copy (or kept in Uninstall.dat beside it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/CommonClasses.h"
#include "system/Platform.h"

class Stream;

inline constexpr char kUninstallSignature[] = "KW/UNS/3";
inline constexpr int kUninstallHeaderSize = 28;
inline constexpr char kUninstallDataFile[] = "Uninstall.dat";
inline constexpr char kInvalidUninstallSignature[] = "Invalid uninstall data signature";

struct UninstallRecord {
    TProgramVersion version;
    std::vector<std::string> log;  // item lines, kind letter first
    std::string productName;
};

// A record as an uninstaller keeps it: appended to the program, or in Uninstall.dat beside it.
struct StoredUninstallRecord {
    UninstallRecord record;
    std::string dataFile;  // the Uninstall.dat it was read from; empty when appended
};

// Writes the record at the stream's position.
void WriteUninstallRecord(Stream& stream, const TProgramVersion& version, const std::vector<std::string>& log,
                          const std::string& productName);
// Reads a record at the stream's position.
UninstallRecord ReadUninstallRecord(Stream& stream);
// The Uninstall.dat an uninstaller at uninstallerPath reads when it carries no record.
std::string UninstallDataFileOf(const std::string& uninstallerPath);
// Finds and reads the record of the uninstaller at uninstallerPath, by its header words (its
// errors, and those of a missing or damaged Uninstall.dat, propagate).
StoredUninstallRecord LoadUninstallRecord(Platform& platform, const std::string& uninstallerPath);
// The same for the running uninstaller.
StoredUninstallRecord LoadOwnUninstallRecord(Platform& platform);
// The record of an uninstaller of ours at uninstallerPath: a program whose header words make it
// an uninstaller and whose record reads. Nothing when there is no such file, when it is another
// program, or when its record is missing or damaged: an installation over it only asks.
std::optional<StoredUninstallRecord> FindUninstallRecord(Platform& platform,
                                                         const std::string& uninstallerPath);

// Where a registry item's key lies, by its kind letter.
struct RegistryItemPlace {
    RootKey root;
    bool view64;
};
// U, C, M and 6; nothing for the other kinds.
std::optional<RegistryItemPlace> RegistryPlaceOf(char kind);
