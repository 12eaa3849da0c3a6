#include "tools/plugsetup/ProductTree.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <optional>

#include "archive/ProgramHeader.h"
#include "archive/SetupData.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "tools/plugsetup/EntryName.h"
#include "tools/plugsetup/IgnoreRules.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNotAProductFolderMessage = "not a product folder";
constexpr const char* kLinkLoopMessage = "a symbolic link leads back into its own folder";
constexpr const char* kSpecialFileMessage = "neither a file nor a folder";
constexpr const char* kDanglingLinkMessage = "the symbolic link leads to nothing ('%s'): mend or remove it";
constexpr const char* kOutsideLinkMessage =
    "the symbolic link leads out of the product folder, to '%s': copy what it names into the folder, or "
    "build with --allow-outside-links";
constexpr const char* kUnreadableFolderMessage = "the folder cannot be read: %s";
constexpr const char* kFileTooLargeMessage =
    "the file is %s bytes; a file in a setup archive must be smaller than 2 GiB";
constexpr const char* kOldSetupReason = "a setup built earlier, never packed";

std::string Filled(const char* pattern, const std::string& value) {
    std::string text = pattern;
    text.replace(text.find("%s"), 2, value);
    return text;
}

// A setup program or Setup.dat that plugsetup made: the archive signature at its start, or
// where the program's offset word points.
bool IsBuiltSetup(const std::string& path) {
    try {
        auto file = HostFile::OpenForReading(path);
        std::uint8_t head[kProgramHeaderWordsEnd] = {};
        const std::size_t read = file->Read(head, sizeof head);
        auto signatureAt = [&](const std::uint8_t* bytes, std::size_t size) {
            return size >= kSignatureSize && std::equal(bytes, bytes + kSignatureSize, kSetupSignature);
        };
        if (signatureAt(head, read)) return true;
        std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(head, read);
        if (!words || head[0] != 'M' || head[1] != 'Z') return false;
        std::optional<std::int64_t> start = AppendedDataStart(*words);
        if (!start || *start + static_cast<std::int64_t>(kSignatureSize) > file->Size()) return false;
        std::uint8_t signature[kSignatureSize] = {};
        file->Seek(*start);
        return signatureAt(signature, file->Read(signature, sizeof signature));
    } catch (const std::exception&) {
        return false;  // unreadable: the writer will say so
    }
}

class TreeReader {
public:
    TreeReader(ProductTree& tree, const CodePage& codePage, const ProductTreeOptions& options)
        : tree_(tree), codePage_(codePage), options_(options) {}

    void Read() {
        std::error_code error;
        root_ = fs::canonical(HostPath(tree_.Folder), error);
        if (error || !fs::is_directory(root_, error))
            throw EFileError(tree_.Folder + ": " + kNotAProductFolderMessage);
        const std::string ignoreFile = JoinHostPath(tree_.Folder, kIgnoreFileName);
        if (fs::is_regular_file(HostPath(ignoreFile), error)) {
            const std::vector<std::uint8_t> bytes = ReadHostFile(ignoreFile);
            ignore_ = IgnoreRules(std::string(bytes.begin(), bytes.end()));
        }
        std::vector<fs::path> ancestors{root_};
        tree_.Entries = ReadFolder(tree_.Folder, "", ancestors);
    }

private:
    // An entry of a folder, its link followed, before its name is checked.
    struct Listed {
        ProductEntry Entry;
        fs::path Resolved;  // folders: where it really is, for the loop test
    };

    void Fail(const std::string& path, const std::string& message) {
        tree_.Errors.push_back({path, message});
    }

    bool Outside(const fs::path& resolved) const {
        const fs::path relative = resolved.lexically_relative(root_);
        return relative.empty() || *relative.begin() == "..";
    }

    // The entry at path, or nothing when it is refused or skipped.
    std::optional<Listed> List(const std::string& path, const std::string& name, const std::string& relative,
                               bool top) {
        std::error_code error;
        const fs::path host = HostPath(path);
        const bool link = fs::is_symlink(fs::symlink_status(host, error));
        const fs::file_status status = fs::status(host, error);
        if (link && (error || !fs::exists(status))) {
            Fail(path, Filled(kDanglingLinkMessage, PathText(fs::read_symlink(host, error))));
            return std::nullopt;
        }
        if (error) {
            Fail(path, FileOpenErrorText(path, error.message()));
            return std::nullopt;
        }
        Listed listed;
        if (link || fs::is_directory(status)) listed.Resolved = fs::canonical(host, error);
        if (link && !options_.AllowOutsideLinks && !error && Outside(listed.Resolved)) {
            Fail(path, Filled(kOutsideLinkMessage, PathText(listed.Resolved)));
            return std::nullopt;
        }
        ProductEntry& entry = listed.Entry;
        entry.HostPath = path;
        entry.Name = name;
        if (fs::is_directory(status)) {
            entry.Kind = ProductEntryKind::Folder;
        } else if (fs::is_regular_file(status)) {
            const std::uintmax_t size = fs::file_size(host, error);
            entry.Size = error ? -1 : static_cast<std::int64_t>(size);
        } else {
            Fail(path, kSpecialFileMessage);
            return std::nullopt;
        }
        std::string reason = ignore_.ReasonToSkip(relative, entry.IsFolder());
        if (reason.empty() && top && !entry.IsFolder() && !IsSetupTextName(name) && IsBuiltSetup(path))
            reason = kOldSetupReason;
        if (!reason.empty()) {
            tree_.Skipped.push_back({path, reason, entry.IsFolder()});
            return std::nullopt;
        }
        return listed;
    }

    std::vector<ProductEntry> ReadFolder(const std::string& folder, const std::string& relative,
                                         std::vector<fs::path>& ancestors) {
        std::error_code error;
        std::vector<Listed> listed;
        for (const fs::path& found : FolderEntries(HostPath(folder), error)) {
            const std::string name = PathText(found.filename());
            if (std::optional<Listed> entry =
                    List(JoinHostPath(folder, name), name, relative + name, relative.empty()))
                listed.push_back(std::move(*entry));
        }
        if (error) Fail(folder, Filled(kUnreadableFolderMessage, error.message()));

        std::vector<std::string> names;
        std::vector<bool> isFile;
        for (const Listed& item : listed) {
            names.push_back(item.Entry.Name);
            isFile.push_back(!item.Entry.IsFolder());
        }
        const std::vector<EncodedEntryName> encoded =
            EncodeFolderNames(codePage_, names, isFile, relative.empty());
        std::vector<ProductEntry> entries;
        for (std::size_t i = 0; i < listed.size(); ++i) {
            ProductEntry& entry = listed[i].Entry;
            entry.EncodedName = encoded[i].Encoded;
            for (const std::string& problem : encoded[i].Problems) Fail(entry.HostPath, problem);
            if (entry.Size > std::numeric_limits<std::int32_t>::max())
                Fail(entry.HostPath, Filled(kFileTooLargeMessage, std::to_string(entry.Size)));
            if (entry.IsFolder()) {
                const fs::path& resolved = listed[i].Resolved;
                if (std::find(ancestors.begin(), ancestors.end(), resolved) != ancestors.end()) {
                    Fail(entry.HostPath, kLinkLoopMessage);
                    continue;
                }
                ancestors.push_back(resolved);
                entry.Children = ReadFolder(entry.HostPath, relative + entry.Name + "/", ancestors);
                ancestors.pop_back();
            }
            entries.push_back(std::move(entry));
        }
        return entries;
    }

    ProductTree& tree_;
    const CodePage& codePage_;
    const ProductTreeOptions& options_;
    fs::path root_;
    IgnoreRules ignore_;
};

std::vector<std::uint8_t> ReadProductFile(const std::string& path) {
    try {
        return ReadHostFile(path);
    } catch (const EReadError& error) {
        throw EFileError(path + ": " + error.what());  // the file shrank while we read it
    }
}

std::vector<SourceEntry> SourceEntries(const std::vector<ProductEntry>& entries, const CodePage& codePage,
                                       bool top) {
    std::vector<SourceEntry> result;
    for (const ProductEntry& entry : entries) {
        if (entry.IsFolder()) {
            result.push_back(
                SourceEntry::Directory(entry.EncodedName, SourceEntries(entry.Children, codePage, false)));
        } else if (top && IsSetupTextName(entry.Name)) {
            const std::vector<std::uint8_t> bytes = ReadProductFile(entry.HostPath);
            const std::string text =
                SetupTextForArchive(codePage, std::string(bytes.begin(), bytes.end()), entry.HostPath);
            result.push_back(
                SourceEntry::File(entry.EncodedName, std::vector<std::uint8_t>(text.begin(), text.end())));
        } else {
            const std::string path = entry.HostPath;
            result.push_back(SourceEntry::FileFrom(entry.EncodedName, entry.Size,
                                                   [path] { return ReadProductFile(path); }));
        }
    }
    return result;
}

}  // namespace

const ProductEntry* ProductTree::Find(const std::string& relative) const {
    const std::vector<ProductEntry>* list = &Entries;
    const ProductEntry* at = nullptr;
    std::string rest = relative;
    while (!rest.empty()) {
        SplitResult step = SplitAt(rest, '\\');
        rest = step.found ? step.right : "";
        if (step.left.empty()) continue;
        if (!list) return nullptr;  // a file has no entries
        const ProductEntry* match = nullptr;
        for (const ProductEntry& entry : *list)
            if (SameText(entry.Name, step.left)) {
                match = &entry;
                break;
            }
        if (!match) return nullptr;
        at = match;
        list = match->IsFolder() ? &match->Children : nullptr;
    }
    return at;
}

ProductTree ReadProductTree(const std::string& folder, const CodePage& codePage,
                            const ProductTreeOptions& options) {
    ProductTree tree;
    tree.Folder = folder;
    TreeReader(tree, codePage, options).Read();
    return tree;
}

std::vector<SourceEntry> ArchiveEntries(const ProductTree& tree, const CodePage& codePage) {
    if (!tree.Errors.empty()) {
        const ProductTreeError& first = tree.Errors.front();
        const std::size_t more = tree.Errors.size() - 1;
        throw EFileError(first.HostPath + ": " + first.Message +
                         (more ? " (and " + std::to_string(more) + " more in the product folder)" : ""));
    }
    return SourceEntries(tree.Entries, codePage, true);
}
