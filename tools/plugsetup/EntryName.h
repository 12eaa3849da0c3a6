// What a name in a setup archive must be: one home for every rule, so that build refuses and
// check reports the same names, and both refuse what Windows would refuse on the customer's disk.
#pragma once

#include <string>
#include <vector>

class CodePage;

// Why Windows cannot create a file or folder of this UTF-8 name: a character it forbids
// (\ / : * ? " < > | or a control character), a trailing dot or blank (which it drops), or a
// device name (CON, AUX, NUL, COM1, LPT1, ... with any extension). Empty when it can.
std::string WindowsNameProblem(const std::string& utf8Name);

// The name in upper case as Windows' file systems compare names: every letter that has a simple
// upper-case form (Latin, Greek, Cyrillic, full-width Latin), not only A-Z. Text that is no
// UTF-8 is folded in ASCII only.
std::string FoldedNameCase(const std::string& utf8Name);

// One name of a folder on its way into the archive.
struct EncodedEntryName {
    std::string Encoded;                // in the code page, as the archive holds it
    std::vector<std::string> Problems;  // why the archive or Windows would refuse it
};

// One folder's names (UTF-8, as the build machine lists them), each with every rule applied:
// the code page holds it and the setup would not split it, at most 67 bytes there, a name
// Windows can create, no other name of the list that Windows would take for the same, and at
// the top of the product folder not the signed uninstaller's name (isFile tells files from
// folders, top the top level).
std::vector<EncodedEntryName> EncodeFolderNames(const CodePage& codePage,
                                                const std::vector<std::string>& names,
                                                const std::vector<bool>& isFile, bool top);
