// The archive reader TInstaller: the installation's single way into the setup archive, and the
// recorder of everything an installation creates (the uninstall log), which it finally writes
// into the uninstaller copy of the running program.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "archive/CommonClasses.h"
#include "archive/SetupData.h"
#include "system/Platform.h"
#include "uninstall/UninstallKey.h"
#include "uninstall/UninstallRecord.h"

class BodyInflater;
class BodyPrefetcher;

class MemoryStream;

inline constexpr char kDisplayNameValue[] = "DisplayName";
// What the list of installed programs shows beside the name.
inline constexpr char kDisplayVersionValue[] = "DisplayVersion";
inline constexpr char kPublisherValue[] = "Publisher";
inline constexpr char kDisplayIconValue[] = "DisplayIcon";
inline constexpr char kInstallLocationValue[] = "InstallLocation";
inline constexpr char kEstimatedSizeValue[] = "EstimatedSize";
inline constexpr char kNoModifyValue[] = "NoModify";
inline constexpr char kNoRepairValue[] = "NoRepair";

// The top-level file entry of an archive that carries a separately built (signed) uninstaller:
// an uninstaller program without a record, written as it is, with the record in Uninstall.dat
// beside it. plugsetup build refuses a product folder that holds a file of this name at its top.
inline constexpr char kUninstallerEntry[] = "Uninst.exe";

// The Uninstall key's values beyond the name and the command; empty texts take the defaults.
struct UninstallListing {
    std::string Publisher;        // not written when empty
    std::string DisplayIcon;      // default: the uninstaller
    std::string InstallLocation;  // default: the uninstaller's folder
    std::string Language;         // the setup's language code for the uninstaller; not written when empty
    std::string Texts;            // the vendor's uninstaller texts (SetupTexts); not written when empty
};

// Where an installation of the product writes, as far as an update keeps earlier items: only
// items inside these are carried over from the record of the uninstaller it replaces.
struct ProductPlaces {
    // The program folder and the folders the [Components] lines install to, each with a
    // trailing backslash; an item lies in one of them or (a created or existing folder) above.
    std::vector<std::string> Folders;
    // Registry keys (from the root, leading backslash) below which the product keeps its own.
    std::vector<std::string> RegistryKeys;
    // The folder the product's registry record names as its earlier installation's; a record
    // written before digests existed is taken only from there.
    std::string RecordedFolder;
};

// Deeper entry lists than this are no product tree (the paths could not exist on Windows); an
// archive that holds them is treated as damaged rather than recursed into.
inline constexpr int kMaxEntryDepth = 128;

class TInstaller {
public:
    // Called before each file is extracted: path is the full destination path, attributes 0.
    // Emptying path skips the file; attribute bits are added to the file once it is written.
    using FileEvent = std::function<void(TInstaller& sender, std::string& path, std::uint32_t& attributes)>;
    // Called when writing one extracted file fails; setting retry writes it again from its
    // first byte, otherwise the error ends the extraction.
    using ErrorEvent = std::function<void(TInstaller& sender, const std::exception& error,
                                          const std::string& path, bool& retry)>;

    // Reads the archive of the running program (or the Setup.dat beside it) and validates it;
    // the errors of the check propagate and no object remains.
    explicit TInstaller(Platform& platform);
    // The same for a setup program named explicitly: the archive is read from it, and it is
    // the program that CreateUninstaller copies.
    TInstaller(Platform& platform, std::string programPath);
    ~TInstaller();

    // Called while extracting, after every block of up to 1 MiB written to a file and after
    // every file entry: the caller's chance to keep its window alive. It must not call back
    // into the reader.
    using WorkEvent = std::function<void()>;
    // Called with the bytes of every block written to a file while extracting (a progress count).
    using BytesEvent = std::function<void(std::size_t bytes)>;

    FileEvent OnFile;
    ErrorEvent OnError;
    WorkEvent OnWorking;
    BytesEvent OnBytesWritten;
    // Replace files that already exist; when false they are left alone and not logged.
    bool Overwrite = true;
    // Inflate the next files' bodies on a second thread while the current one is written; the
    // files, their order, the calls of the events and every error stay as without it.
    bool InflateAhead = true;
    // What KeepEarlierItems may keep; nothing while it is empty.
    ProductPlaces Places;

    // What the check at construction found: positions of the top-level list, build time.
    const ArchiveInfo& Info() const { return info_; }
    const TProgramVersion& Version() const { return info_.Version; }
    // The archive's build time, packed; the default stamp of extracted files.
    std::int32_t FileDate() const { return info_.FileDate; }
    const std::vector<UninstallItem>& Items() const { return items_; }
    // The log's lines as the record holds them.
    std::vector<std::string> Log() const { return FormatItems(items_); }
    const std::string& ProgramPath() const { return programPath_; }

    // The archive data positioned at the archive start; opened anew for every operation.
    std::unique_ptr<Stream> OpenData();
    void ReadHeader();

    // A top-level file entry unpacked into memory, or nullptr when there is none.
    std::unique_ptr<MemoryStream> LoadFile(const std::string& name);
    // A setup text's bytes (Setup.ini, Setup.lic, BundleInfo.ini) as UTF-8, read as the
    // archive's text mark says (ArchiveText::Text);
    // ESetupError with kCorruptedArchiveMessage when they are no text in its encoding.
    std::string TextAsUtf8(const std::string& stored) const;
    // Total unpacked size of the files below a top-level folder entry (0 when there is none).
    std::int64_t GetDirectorySize(const std::string& name);
    // Extracts the contents of a top-level folder entry into destination (its own name does
    // not appear in the paths). A stamp of 0 means FileDate(); an empty destination only
    // measures. Returns the measured size, 0 when extracting or when there is no such entry.
    std::int64_t ExtractDirectory(const std::string& name, const std::string& destination,
                                  std::int32_t stamp);
    // Calls visit with every folder and file below a top-level folder entry, by its path
    // relative to that entry (folders end with a backslash, and come before their contents);
    // nothing when there is no such entry. What extracting it into a folder would create.
    using EntryVisit = std::function<void(const std::string& relativePath, bool folder)>;
    void VisitDirectory(const std::string& name, const EntryVisit& visit);
    // Extracts (or, with an empty destination, measures) one entry list and the lists below it;
    // destination ends with a backslash. depth counts the enclosing lists.
    std::int64_t ExtractEntries(EntryListReader& list, const std::string& destination, std::int32_t stamp,
                                int depth = 0);

    // Creates a folder and its missing parents, logging the first existing ancestor as E and
    // every folder created below it as D, parents first. False when the folder is not there
    // afterwards; failing to create it is no error here.
    bool ForceDirectory(const std::string& path);

    // Appends an item line. A file already logged in this run (its path equal but for the case
    // of ASCII letters) is not logged again: a bundle copies its shared components once per
    // item, and the uninstaller counts a second deletion of the same file as a failure.
    void AddItem(ItemKind kind, const std::string& text);
    // Logs a registry key that the installation wrote; roots other than these three log nothing.
    void AddRegistryKey(RootKey root, const std::string& keyPath, bool view64);
    // Writes a shell link and logs it; false (and nothing logged) when it could not be saved.
    bool CreateShortcut(const std::string& linkFile, const std::string& target, const std::string& arguments,
                        int iconIndex);

    // Writes the uninstaller at uninstallerPath, then registers it under the Uninstall key as
    // keyName, replacing older keys that name the same uninstaller. The uninstaller is the one
    // the archive carries (kUninstallerEntry), written unchanged with the record in
    // Uninstall.dat beside it; or else a copy of the running program with the record appended,
    // which removes an Uninstall.dat that an earlier installation left there. When an
    // uninstaller of the same product (extraData) is already there, the record first keeps the
    // earlier items this run did not log and that still exist (KeepEarlierItems). File errors
    // propagate; registry errors are ignored.
    void CreateUninstaller(const std::string& uninstallerPath, const std::string& keyName,
                           const std::string& displayName, const std::string& extraData,
                           const UninstallListing& listing = {});
    // The uninstall record at the stream's position: version, log and the extra data bytes.
    void WriteUninstallData(Stream& stream, const std::string& extraData);
    // The separately built uninstaller the archive carries, when it carries a usable one: a
    // program whose header words make it an uninstaller that reads Uninstall.dat.
    std::optional<std::vector<std::uint8_t>> CarriedUninstaller();
    // Puts before the log the lines of the record of the uninstaller at uninstallerPath that
    // name items this run did not log and that are still there, in their order, each once;
    // nothing when that uninstaller is missing, damaged or another product's (its record's
    // product name differs, letters in either case), and never its entries in the Uninstall key.
    // Only an authentic record counts (its digest registered, or written before digests existed
    // and lying in Places.RecordedFolder), and of it only items inside Places: full local paths
    // (no UNC path, no "." or ".." step), keys below Places.RegistryKeys, and no T line.
    void KeepEarlierItems(const std::string& uninstallerPath, const std::string& productName);
    // Bytes of the archive's files this run wrote, each path counted once.
    std::int64_t WrittenBytes() const { return writtenBytes_; }

private:
    std::optional<FoundEntry> FindTopLevel(Stream& data, const std::string& name, bool directory);
    void VisitEntries(EntryListReader& list, const std::string& prefix, const EntryVisit& visit, int depth);
    void ExtractFile(Stream& data, const EntryRecord& record, std::int64_t bodyStart,
                     const std::string& destination, std::int32_t stamp);
    // Hands a file's body, inflated, to sink: from the bodies inflated ahead when it is there,
    // otherwise inflated now from its first byte.
    void ReadBody(Stream& data, const EntryRecord& record, std::int64_t bodyStart,
                  const std::function<void(const std::uint8_t*, std::size_t)>& sink);
    // The record's bytes as the uninstaller will read them.
    std::vector<std::uint8_t> RecordBytes(const std::string& extraData);
    // Writes the uninstaller with its record: the carried one with Uninstall.dat beside it,
    // or the copy of the running program with the record appended.
    void WriteUninstallerFiles(const std::string& uninstallerPath, const std::vector<std::uint8_t>& record);
    void WriteUninstallerCopy(const std::string& uninstallerPath, const std::vector<std::uint8_t>& record);
    // The entry in the list of installed programs, with the digest of the record written.
    void RegisterUninstaller(const std::string& uninstallerPath, const std::string& keyName,
                             const std::string& displayName, const UninstallListing& listing,
                             const std::string& recordDigest);
    // Whether this run has logged a file at path, however its letters are cased.
    bool LoggedFile(const std::string& path) const;
    // Writes bytes into a new file beside target under a name of its own, then moves it to
    // target, in place of the file there.
    void WriteInPlaceOf(const std::string& target, const std::vector<std::uint8_t>& bytes);

    Platform& platform_;
    std::string programPath_;
    ArchiveInfo info_;
    std::vector<UninstallItem> items_;
    std::unordered_set<std::string> loggedFiles_;  // upper-case ASCII
    std::int64_t writtenBytes_ = 0;
    // Made by the first file inflated on this thread and kept for the next ones.
    std::unique_ptr<BodyInflater> inflater_;
    // While ExtractDirectory writes files: where their bodies are read.
    struct BodySources {
        Stream* Bodies;
        BodyPrefetcher* Ahead;  // nullptr: no second thread
    };
    const BodySources* bodySources_ = nullptr;
};
