// The uninstall record: product version, the log of everything an installation created, and
// the product name, appended to the uninstaller copy (or kept in Uninstall.dat beside it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveText.h"
#include "archive/CommonClasses.h"
#include "system/Platform.h"

class Stream;

inline constexpr char kUninstallSignature[] = "KW/UNS/3";
inline constexpr int kUninstallHeaderSize = 28;
inline constexpr char kUninstallDataFile[] = "Uninstall.dat";
inline constexpr char kInvalidUninstallSignature[] = "Invalid uninstall data signature";

// What a log line records. The numbers are the recording operation's, in the order of the
// letters "FDTUCME6"; Unknown stands for a line of any other first character (or none), which
// readers keep and the remover passes over.
enum class ItemKind : int {
    File = 0,                // F: a file written, or a shortcut
    CreatedFolder = 1,       // D: a folder created, with a trailing backslash
    FolderWithContents = 2,  // T: a folder removed together with the files directly inside
    CurrentUserKey = 3,      // U
    ClassesRootKey = 4,      // C
    LocalMachineKey = 5,     // M: default view
    ExistingFolder = 6,      // E: a folder that was already there
    LocalMachine64Key = 7,   // 6: the 64-bit view
    Unknown = 8,
};

// One line of the uninstall log: its kind and the path or key after the letter. For Unknown
// the text is the whole line as it was read, so it is written back unchanged.
struct UninstallItem {
    ItemKind kind = ItemKind::Unknown;
    std::string text;
    bool operator==(const UninstallItem&) const = default;
};

// Where a registry item's key lies.
struct RegistryItemPlace {
    RootKey root;
    bool view64;
};

// The one table of the kinds: letter, and for registry items their hive and view.
struct ItemKindRow {
    ItemKind kind;
    char letter;
    std::optional<RegistryItemPlace> registry;
};
const ItemKindRow& RowOf(ItemKind kind);

// The one parse and the one format of a log line.
UninstallItem ParseItem(const std::string& line);
std::string FormatItem(const UninstallItem& item);
// The registry key logged for root and view; nothing for roots the record has no letter for.
std::optional<ItemKind> RegistryItemKind(RootKey root, bool view64);
// U, C, M and 6; nothing for the other kinds.
std::optional<RegistryItemPlace> RegistryPlaceOf(ItemKind kind);
// Files and folders, whose text is a full path.
bool IsPathItem(ItemKind kind);

// Whole logs, for showing them and for records written by hand.
std::vector<UninstallItem> ParseItems(const std::vector<std::string>& lines);
std::vector<std::string> FormatItems(const std::vector<UninstallItem>& items);

struct UninstallRecord {
    TProgramVersion version;
    std::vector<UninstallItem> items;  // the log, in the order it was written
    std::string productName;
};

// A record as an uninstaller keeps it: appended to the program, or in Uninstall.dat beside it.
struct StoredUninstallRecord {
    UninstallRecord record;
    std::string dataFile;  // the Uninstall.dat it was read from; empty when appended
    std::string digest;    // of the record's bytes as read (RecordDigest)
};

// Writes the record at the stream's position: its log and product name are UTF-8, and the
// header's reserved bytes say so with the archive's text mark (TextMark(kUtf8CodePage)).
void WriteUninstallRecord(Stream& stream, const TProgramVersion& version,
                          const std::vector<UninstallItem>& items, const std::string& productName);
// The digest the setup stores for a record, from the record's bytes.
std::string RecordDigest(const std::vector<std::uint8_t>& recordBytes);
// Reads a record at the stream's position, with its texts as UTF-8. A record without the mark
// (every record written before it) holds them in the system's ANSI code page: convert (the
// platform's TextAsUtf8) makes them UTF-8, and without it they stay as stored. Ill-formed
// UTF-8 in a marked record is the read error of a damaged record.
UninstallRecord ReadUninstallRecord(Stream& stream, const CodePageConversion& convert = {});
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
