#include "archive/ProgramHeader.h"

#include "system/LittleEndian.h"
#include "system/Stream.h"

bool IsUninstaller(const ProgramHeaderWords& words) {
    return words.UninstallerMarker == kUninstallerMarker;
}

std::optional<std::int64_t> AppendedDataStart(const ProgramHeaderWords& words) {
    if (words.ArchiveOffset > 0) return words.ArchiveOffset;
    return std::nullopt;
}

bool IsFreshStub(const ProgramHeaderWords& words) {
    return words.ArchiveOffset == 0 && words.UninstallerMarker == 0;
}

ProgramHeaderWords ReadProgramHeaderWords(Stream& program) {
    std::uint8_t words[kProgramHeaderWordsEnd - kArchiveOffsetWordPosition];
    program.Seek(kArchiveOffsetWordPosition);
    program.ReadBuffer(words, sizeof words);
    return {ReadLeInt32(words), ReadLeInt32(words + 4)};
}

std::optional<ProgramHeaderWords> ProgramHeaderWordsIn(const std::uint8_t* bytes, std::size_t size) {
    if (size < static_cast<std::size_t>(kProgramHeaderWordsEnd)) return std::nullopt;
    return ProgramHeaderWords{ReadLeInt32(bytes + kArchiveOffsetWordPosition),
                              ReadLeInt32(bytes + kUninstallMarkerWordPosition)};
}

void SetProgramHeaderWords(std::vector<std::uint8_t>& program, const ProgramHeaderWords& words) {
    PutLe32(program.data() + kArchiveOffsetWordPosition, static_cast<std::uint32_t>(words.ArchiveOffset));
    PutLe32(program.data() + kUninstallMarkerWordPosition,
            static_cast<std::uint32_t>(words.UninstallerMarker));
}

void WriteProgramBeforeData(Stream& out, std::vector<std::uint8_t> program, ProgramRole role) {
    SetProgramHeaderWords(program, {static_cast<std::int32_t>(program.size()),
                                    role == ProgramRole::Uninstaller ? kUninstallerMarker : 0});
    out.Write(program.data(), program.size());
}

std::vector<std::uint8_t> AppendToProgram(std::vector<std::uint8_t> program, ProgramRole role,
                                          const std::vector<std::uint8_t>& data) {
    MemoryStream out;
    WriteProgramBeforeData(out, std::move(program), role);
    out.Write(data.data(), data.size());
    return std::move(out.Bytes());
}

std::vector<std::uint8_t> UninstallerWithoutRecord(std::vector<std::uint8_t> program) {
    SetProgramHeaderWords(program, {0, kUninstallerMarker});
    return program;
}
