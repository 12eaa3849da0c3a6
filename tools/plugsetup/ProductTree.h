// Reading a product folder into the archive writer's input tree.
#pragma once

#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"

// The folder's files become top-level file entries and its folders directory entries,
// recursively. Symbolic links are followed (a loop is an error); anything that is neither a
// file nor a folder is an error. File contents are read later, by the writer.
std::vector<SourceEntry> ReadProductTree(const std::string& folder);
