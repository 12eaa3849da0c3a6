// The uninstall record: product version, the log of everything an installation created, and
// the product name, appended to the uninstaller copy (or kept in Uninstall.dat beside it).
#pragma once

#include <string>
#include <vector>

#include "archive/CommonClasses.h"

class Platform;
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
