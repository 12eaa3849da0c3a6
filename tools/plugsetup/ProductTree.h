// A product folder read once, for build, check and preview alike: every entry with its host
// path, its names and its size, links followed, and everything the archive or Windows would
// refuse collected as errors, so that what check reports is what build refuses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"

class CodePage;

enum class ProductEntryKind { File, Folder };

struct ProductEntry {
    std::string HostPath;     // on the build machine, as reached from the product folder
    std::string Name;         // UTF-8, as the build machine names it
    std::string EncodedName;  // in the code page, as the archive holds it
    ProductEntryKind Kind = ProductEntryKind::File;
    std::int64_t Size = 0;               // a file's bytes (-1 when the system cannot tell); 0 for a folder
    std::vector<ProductEntry> Children;  // a folder's entries, in the bytewise order of Name

    bool IsFolder() const { return Kind == ProductEntryKind::Folder; }
};

// An entry build refuses, by its host path.
struct ProductTreeError {
    std::string HostPath;
    std::string Message;
};

// An entry that is not packed: built-in junk, or named by the .plugsetupignore.
struct SkippedEntry {
    std::string HostPath;
    std::string Reason;
    bool IsFolder = false;
};

struct ProductTreeOptions {
    // Follow symbolic links that lead out of the product folder (build --allow-outside-links);
    // otherwise each is an error, so a link to /etc or a home folder is never packed unnoticed.
    bool AllowOutsideLinks = false;
};

struct ProductTree {
    std::string Folder;  // as given
    std::vector<ProductEntry> Entries;
    std::vector<ProductTreeError> Errors;  // in folder order
    std::vector<SkippedEntry> Skipped;

    // The entry at a Windows-style path below the folder ("Program\Docs"), found as the setup
    // looks names up: ASCII letters in either case, the first match.
    const ProductEntry* Find(const std::string& relative) const;
};

// Reads folder and everything below it. Symbolic links are followed once, here: a loop, a link
// to nothing and (unless allowed) a link out of the folder are errors and their entries left
// out; so is anything that is neither a file nor a folder. Every name is put through the one
// rule for names (EncodeFolderNames), and a file of 2 GiB or more is an error. EFileError when
// folder is no folder.
ProductTree ReadProductTree(const std::string& folder, const CodePage& codePage,
                            const ProductTreeOptions& options = {});

// The archive writer's input: names in the code page, Setup.ini, Setup.lic and BundleInfo.ini
// read at once and put into the code page (SetupTextForArchive), other files read later, by the
// writer, and never converted. EFileError naming the first error when the tree has any.
std::vector<SourceEntry> ArchiveEntries(const ProductTree& tree, const CodePage& codePage);
