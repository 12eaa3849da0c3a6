// What an installation run changed on the machine, noted as it changes it, so that a run that
// fails or is cancelled puts everything back as it was. The engine sees the machine through
// this platform; between Begin and Commit or Undo:
// - a file that is replaced, or deleted, is first moved aside in its own folder (renamed, so
//   nothing is copied and its contents and dates stay), hidden, under a name of its own;
// - files, folders and registry keys that were not there are noted as created;
// - attributes of an existing file or folder are noted before they change;
// - every registry value written is noted with its earlier type and data, or its absence.
// Commit removes the moved-aside files, Undo puts back everything noted, the last first.
// A registry key the run deletes (an earlier Uninstall key) stays until the run succeeds, as
// the moved-aside files do.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_set>
#include <string>
#include <vector>

#include "system/ForwardingPlatform.h"

struct RunChange {
    enum class Kind {
        CreatedFile,    // path
        CreatedFolder,  // path
        MovedAside,     // path, aside, attributes: the file's own
        Attributes,     // path, attributes: the earlier ones
        CreatedKey,     // root, view, path (below the root)
        WroteValue,     // root, view, path, valueName, earlier (nothing: there was none)
        KeyToRemove,    // root, view, path: removed only when the run succeeds
    };
    Kind kind = Kind::CreatedFile;
    std::string path{};
    std::string aside{};
    std::uint32_t attributes = 0;
    RootKey root = RootKey::CurrentUser;
    std::uint32_t view = 0;  // KEY_WOW64_64KEY or KEY_WOW64_32KEY as the key was opened, or 0
    std::string valueName{};
    std::optional<RegistryValue> earlier{};
};

// A name in folder that nobody else uses (random, "~" and 16 hexadecimal digits, ".tmp"): for
// a file moved aside, or written before it is moved into place.
std::string FreshNameIn(Platform& platform, const std::string& folder);

// Undoes one change on the platform; anything that cannot be undone is passed over.
void UndoChange(Platform& platform, const RunChange& change);
// The part of a succeeded run left to do for one change: a moved-aside file or a key to remove
// goes. False when it could not (a file still held).
bool FinishChange(Platform& platform, const RunChange& change);

class RunChanges : public ForwardingPlatform {
public:
    explicit RunChanges(Platform& inner) : ForwardingPlatform(inner) {}

    // From now on every change is noted; with a journal path, each note is also written to
    // that file (RunJournal) before its step is made, the file created with the first note.
    void Begin(const std::string& journalPath = std::string());
    // The run succeeded: the moved-aside files are removed (one that cannot be, such as a
    // library a host application still has loaded, stays hidden and is listed in Leftovers).
    void Commit();
    // The run failed: everything noted is undone, the last first.
    void Undo();
    const std::vector<RunChange>& Changes() const { return changes_; }
    const std::vector<std::string>& Leftovers() const { return leftovers_; }

    std::uint32_t FileAttributes(const std::string& path) override;
    std::unique_ptr<FileStream> CreateForWriting(const std::string& path) override;
    std::unique_ptr<FileStream> CreateNewForWriting(const std::string& path) override;
    FolderResult CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    bool ChangeFileAttributes(const std::string& path, std::uint32_t attributes) override;
    bool SaveShellLink(const std::string& linkFile, const ShellLink& link) override;

    RegistryKey OpenRegistryKey(const RegistryKey& base, const std::string& path, std::uint32_t access) override;
    RegistryKey CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                  std::uint32_t access) override;
    bool WriteRegistryValue(const RegistryKey& key, const std::string& name, const RegistryValue& value) override;
    bool RemoveRegistryValue(const RegistryKey& key, const std::string& name) override;
    bool RemoveRegistryKey(const RegistryKey& base, const std::string& path) override;
    bool RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path, std::uint32_t view) override;

private:
    struct KeyPlace {
        RootKey root = RootKey::CurrentUser;
        std::string path;
        std::uint32_t view = 0;
    };
    void Note(RunChange change);
    // Appends a line; toDisk waits until the line is on the disk.
    void WriteJournal(const std::string& line, bool toDisk);
    void EndJournal();
    bool Touched(const std::string& path) const;
    // The attributes at path: those FileAttributes last gave when it was asked for this path
    // and nothing has changed files since, or asked again.
    std::uint32_t AttributesNow(const std::string& path);
    void ForgetLookup() { lookedAt_.clear(); }
    // Makes way for a file the run writes at path: notes it as created, or moves the one there
    // aside. False when the file there could not be moved (it is then written over in place).
    bool MakeWay(const std::string& path);
    bool MoveAside(const std::string& path, std::uint32_t attributes);
    std::optional<KeyPlace> PlaceOf(const RegistryKey& key) const;
    RegistryKey Remember(RegistryKey key, const RegistryKey& base, const std::string& path, std::uint32_t access);
    void NoteValue(const RegistryKey& key, const std::string& name);
    bool DeferKeyRemoval(const RegistryKey& base, const std::string& path, std::uint32_t view);

    bool noting_ = false;
    std::string journalPath_;
    std::unique_ptr<FileStream> journal_;
    bool journalFailed_ = false;
    std::vector<RunChange> changes_;
    std::vector<std::string> leftovers_;
    // The last lookup: the extraction looks at a file just before it creates it, and under Wine
    // looking up a missing file reads its whole folder.
    std::string lookedAt_;
    std::uint32_t lookedAttributes_ = 0;
    std::unordered_set<std::string> touched_;  // upper-case ASCII: files and folders the run made its own
    // Where each open key lies; the keys of a run are few.
    std::vector<std::pair<const RegistryKey::Handle*, KeyPlace>> keys_;
};
