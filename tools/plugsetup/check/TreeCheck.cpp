// plugsetup check of the product tree itself: every name, link and size the archive or Windows
// would refuse (the rules of EntryName.h, applied once by ReadProductTree), and a note for each
// entry build leaves out.
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/check/ProductChecker.h"

std::vector<CheckFinding> TreeFindings(const ProductTree& tree) {
    std::vector<CheckFinding> findings;
    for (const ProductTreeError& error : tree.Errors)
        findings.push_back({error.HostPath, 0, Severity::Error, error.Message});
    for (const SkippedEntry& skipped : tree.Skipped)
        findings.push_back(
            {skipped.HostPath, 0, Severity::Note,
             std::string(skipped.IsFolder ? "not packed, nor anything in it: " : "not packed: ") +
                 skipped.Reason});
    return findings;
}

void ProductChecker::CheckProductTree() {
    for (CheckFinding& finding : TreeFindings(tree_)) findings_.push_back(std::move(finding));
}
