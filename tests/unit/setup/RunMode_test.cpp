#include <gtest/gtest.h>

#include <algorithm>

#include "archive/ArchiveLocation.h"
#include "archive/ProgramHeader.h"
#include "setup/RunMode.h"
#include "system/Exceptions.h"
#include "system/memory/MemoryPlatform.h"

namespace {

// A program file of 64 bytes with the two header words set.
std::vector<std::uint8_t> Program(std::int32_t offsetWord, std::int32_t markerWord, std::size_t size = 64) {
    std::vector<std::uint8_t> bytes(std::max<std::size_t>(size, kProgramHeaderWordsEnd), 0);
    bytes[0] = 'M';
    bytes[1] = 'Z';
    SetProgramHeaderWords(bytes, {offsetWord, markerWord});
    bytes.resize(size);
    return bytes;
}

}  // namespace

TEST(RunMode, OnlyAMarkerOfExactlyOneSelectsTheUninstaller) {
    MemoryPlatform machine;
    for (auto [marker, expected] : {std::pair{0, RunMode::Setup}, std::pair{1, RunMode::Uninstaller},
                                    std::pair{2, RunMode::Setup}, std::pair{-1, RunMode::Setup}}) {
        machine.AddFile(machine.OwnProgramPath(), Program(0, marker));
        EXPECT_EQ(ReadRunMode(machine), expected) << "marker " << marker;
    }
}

TEST(RunMode, MarkerIsReadWhileAnotherProcessWritesTheProgram) {
    MemoryPlatform machine;
    machine.AddFile(machine.OwnProgramPath(), Program(0, 1));
    auto writer = machine.OpenForReading(machine.OwnProgramPath(), ShareMode::DenyNone);
    EXPECT_EQ(ReadRunMode(machine), RunMode::Uninstaller);
}

TEST(RunMode, ProgramTooShortForTheMarkerIsAReadError) {
    MemoryPlatform machine;
    machine.AddFile(machine.OwnProgramPath(), Program(0, 0, 54));
    EXPECT_THROW(ReadRunMode(machine), EReadError);
}

TEST(ArchiveLocation, OffsetWordPicksAppendedDataOrSetupDatBeside) {
    MemoryPlatform machine;
    auto program = Program(64, 0);
    program.push_back('A');
    machine.AddFile(machine.OwnProgramPath(), program);
    machine.AddFile("C:\\Users\\user\\Downloads\\Setup.dat", "D");
    EXPECT_EQ(OpenArchiveData(machine)->ReadByte(), 'A');

    for (std::int32_t word : {0, static_cast<std::int32_t>(0x80000040u)}) {
        machine.AddFile(machine.OwnProgramPath(), Program(word, 0));
        EXPECT_EQ(OpenArchiveData(machine)->ReadByte(), 'D') << "offset word " << word;
    }
}

TEST(ArchiveLocation, MissingSetupDatIsTheFileOpenError) {
    MemoryPlatform machine;
    machine.AddFile(machine.OwnProgramPath(), Program(0, 0));
    EXPECT_THROW(OpenArchiveData(machine), EFileError);
}
