// Reading a product folder into the archive writer's input tree.
#pragma once

#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"

class CodePage;

// The folder's files become top-level file entries and its folders directory entries,
// recursively. Symbolic links are followed (a loop is an error); anything that is neither a
// file nor a folder is an error. Names go into the code page, and so do Setup.ini, Setup.lic
// and BundleInfo.ini (SetupTextForArchive), which are read at once; other file contents are read
// later, by the writer, and never converted. ECodePageError names what the code page cannot hold.
std::vector<SourceEntry> ReadProductTree(const std::string& folder, const CodePage& codePage);
