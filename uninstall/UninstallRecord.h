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

// Writes the record at the stream's position.
void WriteUninstallRecord(Stream& stream, const TProgramVersion& version, const std::vector<std::string>& log,
                          const std::string& productName);
// Reads a record at the stream's position.
UninstallRecord ReadUninstallRecord(Stream& stream);
// Finds and reads the running uninstaller's own record.
UninstallRecord LoadOwnUninstallRecord(Platform& platform);
