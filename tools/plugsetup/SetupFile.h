// Finding the archive in a file the vendor names: a setup program or a Setup.dat.
#pragma once

#include <memory>
#include <string>

#include "tools/plugsetup/HostFile.h"

struct OpenedSetupFile {
    std::unique_ptr<HostFile> File;  // positioned at the archive start
    bool IsProgram = false;
    std::int64_t ArchiveStart = 0;
};

// A file that starts with "MZ" and whose archive offset word (0x30) is above 0 is a setup
// program with its archive at that offset; any other file is read as a Setup.dat from 0.
OpenedSetupFile OpenSetupFile(const std::string& path);

// "YYYY-MM-DD HH:MM:SS" of a day-count time, or "(invalid)".
std::string FormatBuildTime(double buildTime);
