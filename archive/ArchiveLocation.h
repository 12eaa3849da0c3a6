// Where the setup archive lives: appended to the running program (located by the archive
// offset word at 0x30), or in Setup.dat beside it.
#pragma once

#include <memory>
#include <string>

class Platform;
class Stream;

inline constexpr char kSetupDataFile[] = "Setup.dat";

// Opens the archive data positioned at the archive start. The program's own file is shared
// for reading and writing; Setup.dat is opened without sharing.
std::unique_ptr<Stream> OpenArchiveData(Platform& platform);
// The same for a setup program named explicitly.
std::unique_ptr<Stream> OpenArchiveData(Platform& platform, const std::string& programPath);
// The same file without the read buffer, for a caller that reads in large blocks or shares it.
std::unique_ptr<Stream> OpenArchiveFile(Platform& platform, const std::string& programPath);
