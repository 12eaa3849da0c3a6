#include "uninstall/UninstallRecord.h"

#include <cstring>

#include "archive/ProgramHeader.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/Stream.h"

void WriteUninstallRecord(Stream& stream, const TProgramVersion& version, const std::vector<std::string>& log,
                          const std::string& productName) {
    std::uint8_t header[kUninstallHeaderSize] = {};
    std::memcpy(header, kUninstallSignature, 8);
    stream.Write(header, sizeof header);
    version.SaveToStream(stream);
    std::string text;
    for (const std::string& line : log) text += line + "\r\n";
    stream.WriteInt32(static_cast<std::int32_t>(text.size()));
    stream.WriteInt32(static_cast<std::int32_t>(productName.size()));
    stream.Write(text.data(), text.size());
    stream.Write(productName.data(), productName.size());
}

namespace {

// A length field is trusted only as far as the file holds that many bytes: a damaged record
// must give the read error, not an attempt to allocate gigabytes.
std::string ReadText(Stream& stream, std::int32_t length) {
    if (length <= 0) return std::string();
    if (length > stream.Size() - stream.Position()) throw EReadError(kStreamReadError);
    std::string text(static_cast<std::size_t>(length), '\0');
    stream.ReadBuffer(text.data(), text.size());
    return text;
}

}  // namespace

UninstallRecord ReadUninstallRecord(Stream& stream) {
    char header[kUninstallHeaderSize];
    stream.ReadBuffer(header, sizeof header);
    if (std::memcmp(header, kUninstallSignature, 8) != 0) throw ESetupError(kInvalidUninstallSignature);
    UninstallRecord record;
    record.version.LoadFromStream(stream);
    std::int32_t logLength = stream.ReadInt32();
    std::int32_t nameLength = stream.ReadInt32();
    if (logLength < 0) throw EReadError(kStreamReadError);
    record.log = SplitTextLines(ReadText(stream, logLength));
    record.productName = ReadText(stream, nameLength);
    return record;
}

std::string UninstallDataFileOf(const std::string& uninstallerPath) {
    return ExtractFilePath(uninstallerPath) + kUninstallDataFile;
}

namespace {

// The record of the program opened as program, whose words have been read.
StoredUninstallRecord LoadRecordOf(Platform& platform, std::unique_ptr<Stream> program,
                                   const ProgramHeaderWords& words, const std::string& uninstallerPath) {
    if (std::optional<std::int64_t> start = AppendedDataStart(words)) {
        program->Seek(*start);
        return {ReadUninstallRecord(*program), std::string()};
    }
    program.reset();
    const std::string dataFile = UninstallDataFileOf(uninstallerPath);
    auto data = platform.OpenForReading(dataFile, ShareMode::DenyWrite);
    return {ReadUninstallRecord(*data), dataFile};
}

}  // namespace

StoredUninstallRecord LoadUninstallRecord(Platform& platform, const std::string& uninstallerPath) {
    auto program = platform.OpenForReading(uninstallerPath, ShareMode::DenyNone);
    const ProgramHeaderWords words = ReadProgramHeaderWords(*program);
    return LoadRecordOf(platform, std::move(program), words, uninstallerPath);
}

std::optional<StoredUninstallRecord> FindUninstallRecord(Platform& platform,
                                                         const std::string& uninstallerPath) {
    if (!platform.FileExists(uninstallerPath)) return std::nullopt;
    try {
        auto program = platform.OpenForReading(uninstallerPath, ShareMode::DenyNone);
        const ProgramHeaderWords words = ReadProgramHeaderWords(*program);
        if (!IsUninstaller(words)) return std::nullopt;
        return LoadRecordOf(platform, std::move(program), words, uninstallerPath);
    } catch (const std::exception&) {
        // Whatever lies there, it is no record to go by.
        return std::nullopt;
    }
}

StoredUninstallRecord LoadOwnUninstallRecord(Platform& platform) {
    return LoadUninstallRecord(platform, platform.OwnProgramPath());
}

std::optional<RegistryItemPlace> RegistryPlaceOf(char kind) {
    switch (kind) {
        case 'U':
            return RegistryItemPlace{RootKey::CurrentUser, false};
        case 'C':
            return RegistryItemPlace{RootKey::ClassesRoot, false};
        case 'M':
            return RegistryItemPlace{RootKey::LocalMachine, false};
        case '6':
            return RegistryItemPlace{RootKey::LocalMachine, true};
        default:
            return std::nullopt;
    }
}
