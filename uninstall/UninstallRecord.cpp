#include "uninstall/UninstallRecord.h"

#include <cstring>
#include <iterator>

#include "archive/ProgramHeader.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/Sha256.h"
#include "system/Stream.h"
#include "system/Utf8.h"

namespace {

constexpr ItemKindRow kItemKinds[] = {
    {ItemKind::File, 'F', std::nullopt},
    {ItemKind::CreatedFolder, 'D', std::nullopt},
    {ItemKind::FolderWithContents, 'T', std::nullopt},
    {ItemKind::CurrentUserKey, 'U', RegistryItemPlace{RootKey::CurrentUser, false}},
    {ItemKind::ClassesRootKey, 'C', RegistryItemPlace{RootKey::ClassesRoot, false}},
    {ItemKind::LocalMachineKey, 'M', RegistryItemPlace{RootKey::LocalMachine, false}},
    {ItemKind::ExistingFolder, 'E', std::nullopt},
    {ItemKind::LocalMachine64Key, '6', RegistryItemPlace{RootKey::LocalMachine, true}},
    {ItemKind::Unknown, '\0', std::nullopt},
};

}  // namespace

const ItemKindRow& RowOf(ItemKind kind) {
    for (const ItemKindRow& row : kItemKinds)
        if (row.kind == kind) return row;
    return kItemKinds[std::size(kItemKinds) - 1];
}

UninstallItem ParseItem(const std::string& line) {
    if (!line.empty())
        for (const ItemKindRow& row : kItemKinds)
            if (row.kind != ItemKind::Unknown && row.letter == line[0]) return {row.kind, line.substr(1)};
    return {ItemKind::Unknown, line};
}

std::string FormatItem(const UninstallItem& item) {
    if (item.kind == ItemKind::Unknown) return item.text;
    return RowOf(item.kind).letter + item.text;
}

std::optional<ItemKind> RegistryItemKind(RootKey root, bool view64) {
    // The current user's hive has one view for a 32-bit program: the flag does not count there.
    if (root == RootKey::CurrentUser) view64 = false;
    if (root == RootKey::ClassesRoot) view64 = false;
    for (const ItemKindRow& row : kItemKinds)
        if (row.registry && row.registry->root == root && row.registry->view64 == view64) return row.kind;
    return std::nullopt;
}

std::optional<RegistryItemPlace> RegistryPlaceOf(ItemKind kind) {
    return RowOf(kind).registry;
}

bool IsPathItem(ItemKind kind) {
    return kind == ItemKind::File || kind == ItemKind::CreatedFolder ||
           kind == ItemKind::FolderWithContents || kind == ItemKind::ExistingFolder;
}

std::vector<UninstallItem> ParseItems(const std::vector<std::string>& lines) {
    std::vector<UninstallItem> items;
    for (const std::string& line : lines) items.push_back(ParseItem(line));
    return items;
}

std::vector<std::string> FormatItems(const std::vector<UninstallItem>& items) {
    std::vector<std::string> lines;
    for (const UninstallItem& item : items) lines.push_back(FormatItem(item));
    return lines;
}

void WriteUninstallRecord(Stream& stream, const TProgramVersion& version,
                          const std::vector<UninstallItem>& items, const std::string& productName) {
    std::uint8_t header[kUninstallHeaderSize] = {};
    std::memcpy(header, kUninstallSignature, 8);
    const std::string mark = TextMark(kUtf8CodePage);
    std::memcpy(header + 8, mark.data(), mark.size());
    stream.Write(header, sizeof header);
    version.SaveToStream(stream);
    std::string text;
    for (const UninstallItem& item : items) text += FormatItem(item) + "\r\n";
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

std::string RecordDigest(const std::vector<std::uint8_t>& recordBytes) {
    return Sha256Hex(recordBytes.data(), recordBytes.size());
}

UninstallRecord ReadUninstallRecord(Stream& stream, const CodePageConversion& convert) {
    std::uint8_t header[kUninstallHeaderSize];
    stream.ReadBuffer(header, sizeof header);
    if (std::memcmp(header, kUninstallSignature, 8) != 0) throw ESetupError(kInvalidUninstallSignature);
    const bool utf8 = CodePageOfMark(header + 8) == kUtf8CodePage;
    const auto asUtf8 = [&](std::string text) {
        if (utf8) {
            if (!IsUtf8(text)) throw EReadError(kStreamReadError);
            return text;
        }
        return convert ? AnsiTextAsUtf8(convert, text) : text;
    };
    UninstallRecord record;
    record.version.LoadFromStream(stream);
    std::int32_t logLength = stream.ReadInt32();
    std::int32_t nameLength = stream.ReadInt32();
    if (logLength < 0) throw EReadError(kStreamReadError);
    for (const std::string& line : SplitTextLines(asUtf8(ReadText(stream, logLength))))
        record.items.push_back(ParseItem(line));
    record.productName = asUtf8(ReadText(stream, nameLength));
    return record;
}

std::string UninstallDataFileOf(const std::string& uninstallerPath) {
    return ExtractFilePath(uninstallerPath) + kUninstallDataFile;
}

namespace {

// The record at the stream's position with the digest of exactly its bytes: a copy's file may
// end in a padding byte after it.
StoredUninstallRecord ReadStoredRecord(Platform& platform, Stream& stream, std::string dataFile) {
    const std::int64_t start = stream.Position();
    UninstallRecord record = ReadUninstallRecord(
        stream, [&platform](std::uint32_t codePage, const std::string& bytes) {
            return platform.TextAsUtf8(codePage, bytes);
        });
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Position() - start));
    stream.Seek(start);
    stream.ReadBuffer(bytes.data(), bytes.size());
    return {std::move(record), std::move(dataFile), RecordDigest(bytes)};
}

// The record of the program opened as program, whose words have been read.
StoredUninstallRecord LoadRecordOf(Platform& platform, std::unique_ptr<Stream> program,
                                   const ProgramHeaderWords& words, const std::string& uninstallerPath) {
    if (std::optional<std::int64_t> start = AppendedDataStart(words)) {
        program->Seek(*start);
        return ReadStoredRecord(platform, *program, std::string());
    }
    program.reset();
    const std::string dataFile = UninstallDataFileOf(uninstallerPath);
    auto data = platform.OpenForReading(dataFile, ShareMode::DenyWrite);
    return ReadStoredRecord(platform, *data, dataFile);
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
