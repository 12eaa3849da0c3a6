// The two words in the reserved part of a program's DOS header that let one executable play two
// roles, and the appending of a setup archive or an uninstall record to a program. Every reader
// and writer of the words goes through here, so each rule is stated once:
//
//   run mode        exactly 1 in the marker word makes an uninstaller; any other value a setup
//   appended data   an offset word above 0 is where the data (archive or record) begins in the
//                   program itself; 0, or a word with the top bit set, means the data lies in a
//                   file beside the program (Setup.dat, Uninstall.dat)
//   stub            a program that plugsetup builds from has both words 0
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class Stream;

inline constexpr std::int64_t kArchiveOffsetWordPosition = 0x30;
inline constexpr std::int64_t kUninstallMarkerWordPosition = 0x34;
// A program shorter than this cannot hold both words.
inline constexpr std::int64_t kProgramHeaderWordsEnd = 0x38;
inline constexpr std::int32_t kUninstallerMarker = 1;

struct ProgramHeaderWords {
    std::int32_t ArchiveOffset = 0;      // 0x30: start of the appended archive or record
    std::int32_t UninstallerMarker = 0;  // 0x34
};

enum class ProgramRole { Setup, Uninstaller };

bool IsUninstaller(const ProgramHeaderWords& words);
// Where the appended data begins, or nothing when it lies in the file beside the program.
std::optional<std::int64_t> AppendedDataStart(const ProgramHeaderWords& words);
bool IsFreshStub(const ProgramHeaderWords& words);

// Both words of the program read through stream (EReadError when it is too short for them).
ProgramHeaderWords ReadProgramHeaderWords(Stream& program);
// Both words of a program's first bytes; nothing when there are too few.
std::optional<ProgramHeaderWords> ProgramHeaderWordsIn(const std::uint8_t* bytes, std::size_t size);
// Sets both words; program must hold at least kProgramHeaderWordsEnd bytes.
void SetProgramHeaderWords(std::vector<std::uint8_t>& program, const ProgramHeaderWords& words);

// Writes program to out, its words set so that whatever the caller writes next (the archive of a
// setup, the record of an uninstaller) is found right after it: the offset word is the program's
// size, the marker 1 for an uninstaller and 0 for a setup.
void WriteProgramBeforeData(Stream& out, std::vector<std::uint8_t> program, ProgramRole role);
// The program with data appended, in memory.
std::vector<std::uint8_t> AppendToProgram(std::vector<std::uint8_t> program, ProgramRole role,
                                          const std::vector<std::uint8_t>& data);
// An uninstaller that carries no record and reads it from Uninstall.dat beside itself: the offset
// word 0, the marker 1.
std::vector<std::uint8_t> UninstallerWithoutRecord(std::vector<std::uint8_t> program);
