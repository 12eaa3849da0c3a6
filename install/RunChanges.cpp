#include "install/RunChanges.h"

#include "install/RunJournal.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"

namespace {

// Whether the step after the note puts earlier data out of sight: an earlier file moved aside,
// earlier attributes or an earlier value changed. Only such a note must be on the disk before its
// step; losing any other to a power cut leaves at worst something new behind.
bool HidesEarlierData(const RunChange& change) {
    switch (change.kind) {
        case RunChange::Kind::MovedAside:
        case RunChange::Kind::Attributes:
            return true;
        case RunChange::Kind::WroteValue:
            return change.earlier.has_value();
        default:
            return false;
    }
}

std::string JoinKeyPath(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + "\\" + b;
}

RegistryKey OpenPlace(Platform& platform, RootKey root, const std::string& path, std::uint32_t view,
                      std::uint32_t rights) {
    return platform.OpenRegistryKey(root, path, rights | view);
}

void RestoreFile(Platform& platform, const RunChange& change) {
    // Nothing aside: the run was stopped before it moved the file.
    if (platform.FileAttributes(change.aside) == kInvalidAttributes) return;
    if (platform.FileAttributes(change.path) != kInvalidAttributes) {
        platform.ChangeFileAttributes(change.path, kAttrNormal);
        platform.RemoveFile(change.path);
    }
    if (platform.RenameFile(change.aside, change.path))
        platform.ChangeFileAttributes(change.path, change.attributes);
}

}  // namespace

void UndoChange(Platform& platform, const RunChange& change) {
    switch (change.kind) {
        case RunChange::Kind::CreatedFile:
            if (platform.FileAttributes(change.path) == kInvalidAttributes) return;
            platform.ChangeFileAttributes(change.path, kAttrNormal);
            platform.RemoveFile(change.path);
            return;
        case RunChange::Kind::CreatedFolder:
            // Only when empty: something else may have come in. A desktop.ini made it read-only.
            if (platform.FileAttributes(change.path) == kInvalidAttributes) return;
            platform.ChangeFileAttributes(change.path, kAttrNormal);
            platform.RemoveFolder(change.path);
            return;
        case RunChange::Kind::MovedAside:
            RestoreFile(platform, change);
            return;
        case RunChange::Kind::Attributes:
            platform.ChangeFileAttributes(change.path, change.attributes);
            return;
        case RunChange::Kind::CreatedKey:
            if ((change.view & kKeyWow64Bits) != 0 && platform.CanRemoveRegistryKeyInView())
                platform.RemoveRegistryKeyInView(change.root, change.path, change.view);
            else
                platform.RemoveRegistryKey(change.root, change.path);
            return;
        case RunChange::Kind::KeyToRemove:
            return;  // it was never removed
        case RunChange::Kind::WroteValue: {
            RegistryKey key = OpenPlace(platform, change.root, change.path, change.view, kKeySetValue);
            if (!key.IsOpen()) return;
            if (change.earlier)
                platform.WriteRegistryValue(key, change.valueName, *change.earlier);
            else
                platform.RemoveRegistryValue(key, change.valueName);
            return;
        }
    }
}

bool FinishChange(Platform& platform, const RunChange& change) {
    if (change.kind == RunChange::Kind::KeyToRemove) {
        if ((change.view & kKeyWow64Bits) != 0 && platform.CanRemoveRegistryKeyInView())
            platform.RemoveRegistryKeyInView(change.root, change.path, change.view);
        else
            platform.RemoveRegistryKey(change.root, change.path);
        return true;
    }
    if (change.kind != RunChange::Kind::MovedAside || platform.FileAttributes(change.aside) == kInvalidAttributes)
        return true;
    platform.ChangeFileAttributes(change.aside, kAttrNormal);
    return platform.RemoveFile(change.aside);
}

void RunChanges::Begin(const std::string& journalPath) {
    journalPath_ = journalPath;
    journal_.reset();
    journalFailed_ = false;
    changes_.clear();
    leftovers_.clear();
    touched_.clear();
    noting_ = true;
}

void RunChanges::Commit() {
    noting_ = false;
    // From here a killed run is finished by the next one, never undone.
    if (journal_) WriteJournal(RunJournalDoneLine(), true);
    for (const RunChange& change : changes_) {
        if (!FinishChange(Inner(), change)) {
            // Held by another program: it stays out of sight, as it was moved.
            Inner().ChangeFileAttributes(change.aside, kAttrHidden);
            leftovers_.push_back(change.aside);
        }
    }
    changes_.clear();
    touched_.clear();
    EndJournal();
}

void RunChanges::Undo() {
    noting_ = false;
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) {
        try {
            UndoChange(Inner(), *it);
        } catch (...) {
            // one change that cannot be put back does not keep the others
        }
    }
    changes_.clear();
    touched_.clear();
    EndJournal();
}

void RunChanges::WriteJournal(const std::string& line, bool toDisk) {
    if (journalPath_.empty() || journalFailed_) return;
    try {
        if (!journal_) journal_ = Inner().CreateForWriting(journalPath_);
        // Written, the line outlives a killed run; only a power cut takes what is not on the disk.
        journal_->Write(line.data(), line.size());
        if (toDisk) journal_->Flush();
    } catch (const EFileError&) {
        // No worse than a run without a journal: the lines written so far still hold.
        journalFailed_ = true;
    }
}

void RunChanges::EndJournal() {
    if (!journal_) return;
    journal_.reset();
    try {
        Inner().RemoveFile(journalPath_);
    } catch (...) {
        // The next run finds it and finds nothing left to do.
    }
}

std::string FreshNameIn(Platform& platform, const std::string& folder) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const std::uint64_t number = platform.RandomNumber();
    std::string name = "~";
    for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[number >> shift & 15];
    return IncludeBackslash(folder) + name + ".tmp";
}

void RunChanges::Note(RunChange change) {
    WriteJournal(RunJournalLine(change), HidesEarlierData(change));
    changes_.push_back(std::move(change));
}

bool RunChanges::Touched(const std::string& path) const {
    return touched_.count(UpperAscii(path)) != 0;
}

std::uint32_t RunChanges::FileAttributes(const std::string& path) {
    lookedAttributes_ = Inner().FileAttributes(path);
    lookedAt_ = path;
    return lookedAttributes_;
}

std::uint32_t RunChanges::AttributesNow(const std::string& path) {
    if (!lookedAt_.empty() && lookedAt_ == path) return lookedAttributes_;
    return Inner().FileAttributes(path);
}

bool RunChanges::MakeWay(const std::string& path) {
    const std::uint32_t attributes = AttributesNow(path);
    if (attributes == kInvalidAttributes) {
        Note({RunChange::Kind::CreatedFile, path});
    } else if ((attributes & kAttrDirectory) != 0 || !MoveAside(path, attributes)) {
        return false;
    }
    touched_.insert(UpperAscii(path));
    return true;
}

bool RunChanges::MoveAside(const std::string& path, std::uint32_t attributes) {
    RunChange change{RunChange::Kind::MovedAside, path};
    change.aside = FreshNameIn(Inner(), ExtractFilePath(path));
    change.attributes = attributes;
    Note(change);
    if (!Inner().RenameFile(path, change.aside)) {
        changes_.pop_back();
        return false;
    }
    Inner().ChangeFileAttributes(change.aside, (attributes & ~kAttrNormal) | kAttrHidden);
    return true;
}

std::unique_ptr<FileStream> RunChanges::CreateForWriting(const std::string& path) {
    if (noting_ && !Touched(path)) MakeWay(path);
    ForgetLookup();
    return Inner().CreateForWriting(path);
}

std::unique_ptr<FileStream> RunChanges::CreateNewForWriting(const std::string& path) {
    ForgetLookup();
    // Only a file that was not there is made, so only then is it noted (first, as every note).
    const bool noted = noting_ && !Touched(path) && Inner().FileAttributes(path) == kInvalidAttributes;
    if (noted) Note({RunChange::Kind::CreatedFile, path});
    std::unique_ptr<FileStream> stream;
    try {
        stream = Inner().CreateNewForWriting(path);
    } catch (...) {
        if (noted) changes_.pop_back();
        throw;
    }
    if (noted) touched_.insert(UpperAscii(path));
    return stream;
}

bool RunChanges::SaveShellLink(const std::string& linkFile, const ShellLink& link) {
    if (noting_ && !Touched(linkFile)) MakeWay(linkFile);
    ForgetLookup();
    return Inner().SaveShellLink(linkFile, link);
}

FolderResult RunChanges::CreateFolder(const std::string& path) {
    ForgetLookup();
    if (!noting_ || Inner().FileAttributes(path) != kInvalidAttributes) return Inner().CreateFolder(path);
    Note({RunChange::Kind::CreatedFolder, path});
    const FolderResult result = Inner().CreateFolder(path);
    if (result == FolderResult::Created)
        touched_.insert(UpperAscii(path));
    else
        changes_.pop_back();
    return result;
}

bool RunChanges::RemoveFolder(const std::string& path) {
    ForgetLookup();
    return Inner().RemoveFolder(path);
}

bool RunChanges::RemoveFile(const std::string& path) {
    ForgetLookup();
    if (noting_ && !Touched(path)) {
        // Deleting an earlier file is moving it aside until the run is over.
        const std::uint32_t attributes = Inner().FileAttributes(path);
        if (attributes != kInvalidAttributes && (attributes & kAttrDirectory) == 0 &&
            (attributes & kAttrReadOnly) == 0 && MoveAside(path, attributes)) {
            touched_.insert(UpperAscii(path));
            return true;
        }
    }
    return Inner().RemoveFile(path);
}

bool RunChanges::RenameFile(const std::string& from, const std::string& to) {
    // The run renames only files it wrote; the one it replaces goes aside first.
    const bool madeWay = !noting_ || Touched(to) || MakeWay(to);
    ForgetLookup();
    if (!madeWay) return false;
    return Inner().RenameFile(from, to);
}

bool RunChanges::ChangeFileAttributes(const std::string& path, std::uint32_t attributes) {
    ForgetLookup();
    if (noting_ && !Touched(path)) {
        const std::uint32_t earlier = Inner().FileAttributes(path);
        if (earlier != kInvalidAttributes) {
            RunChange change{RunChange::Kind::Attributes, path};
            change.attributes = earlier;
            Note(change);
        }
    }
    return Inner().ChangeFileAttributes(path, attributes);
}

std::optional<RunChanges::KeyPlace> RunChanges::PlaceOf(const RegistryKey& key) const {
    if (key.IsRoot()) return KeyPlace{key.Root(), std::string(), 0};
    for (const auto& [handle, place] : keys_)
        if (handle == key.Opened()) return place;
    return std::nullopt;
}

RegistryKey RunChanges::Remember(RegistryKey key, const RegistryKey& base, const std::string& path,
                                 std::uint32_t access) {
    if (!key.IsOpen() || key.IsRoot()) return key;
    std::optional<KeyPlace> place = PlaceOf(base);
    // A handle the system gives out again is another key now.
    for (auto it = keys_.begin(); it != keys_.end(); ++it)
        if (it->first == key.Opened()) {
            keys_.erase(it);
            break;
        }
    if (place)
        keys_.push_back({key.Opened(), {place->root, JoinKeyPath(place->path, path), place->view | (access & kKeyWow64Bits)}});
    return key;
}

RegistryKey RunChanges::OpenRegistryKey(const RegistryKey& base, const std::string& path, std::uint32_t access) {
    return Remember(Inner().OpenRegistryKey(base, path, access), base, path, access);
}

RegistryKey RunChanges::CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                          std::uint32_t access) {
    std::optional<KeyPlace> place = PlaceOf(base);
    std::vector<RunChange> created;
    if (noting_ && place) {
        // Each missing key on the way is one the run creates, parents first.
        const std::uint32_t view = place->view | (access & kKeyWow64Bits);
        std::string walked = place->path;
        std::size_t start = 0;
        bool missing = false;
        while (start <= path.size()) {
            std::size_t end = path.find('\\', start);
            if (end == std::string::npos) end = path.size();
            if (end > start) {
                walked = JoinKeyPath(walked, path.substr(start, end - start));
                missing = missing || !OpenPlace(Inner(), place->root, walked, view, kKeyQueryValue).IsOpen();
                if (missing) {
                    RunChange change{RunChange::Kind::CreatedKey, walked};
                    change.root = place->root;
                    change.view = view;
                    created.push_back(std::move(change));
                }
            }
            start = end + 1;
        }
    }
    for (RunChange& change : created) Note(std::move(change));
    return Remember(Inner().CreateRegistryKey(base, path, access), base, path, access);
}

void RunChanges::NoteValue(const RegistryKey& key, const std::string& name) {
    if (!noting_) return;
    std::optional<KeyPlace> place = PlaceOf(key);
    if (!place) return;
    RunChange change{RunChange::Kind::WroteValue, place->path};
    change.root = place->root;
    change.view = place->view;
    change.valueName = name;
    // Read through a key of its own: the one given may lack the right to query.
    RegistryKey reading = OpenPlace(Inner(), place->root, place->path, place->view, kKeyQueryValue);
    if (reading.IsOpen()) change.earlier = Inner().ReadRegistryValue(reading, name);
    Note(std::move(change));
}

bool RunChanges::WriteRegistryValue(const RegistryKey& key, const std::string& name, const RegistryValue& value) {
    NoteValue(key, name);
    return Inner().WriteRegistryValue(key, name, value);
}

bool RunChanges::RemoveRegistryValue(const RegistryKey& key, const std::string& name) {
    NoteValue(key, name);
    return Inner().RemoveRegistryValue(key, name);
}

bool RunChanges::DeferKeyRemoval(const RegistryKey& base, const std::string& path, std::uint32_t view) {
    std::optional<KeyPlace> place = PlaceOf(base);
    if (!noting_ || !place) return false;
    RunChange change{RunChange::Kind::KeyToRemove, JoinKeyPath(place->path, path)};
    change.root = place->root;
    change.view = place->view | view;
    Note(std::move(change));
    return true;
}

bool RunChanges::RemoveRegistryKey(const RegistryKey& base, const std::string& path) {
    return DeferKeyRemoval(base, path, 0) || Inner().RemoveRegistryKey(base, path);
}

bool RunChanges::RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path, std::uint32_t view) {
    return DeferKeyRemoval(base, path, view & kKeyWow64Bits) || Inner().RemoveRegistryKeyInView(base, path, view);
}
