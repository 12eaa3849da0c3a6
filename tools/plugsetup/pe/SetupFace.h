// What Explorer shows of a setup: its icon (Setup.ico in the product folder) and its version
// information (the Details tab), written into the stub's resources before the archive is
// appended, so the uninstaller copied from the setup and the signed uninstaller built from the
// stub carry them too. A product that gives neither an icon nor one of the version keys gets a
// stub as it is.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/CommonClasses.h"

class CodePage;

inline constexpr char kSetupIconName[] = "Setup.ico";

// Field name and text (UTF-8), in the order they are written.
using VersionStrings = std::vector<std::pair<std::string, std::string>>;

struct SetupFace {
    std::vector<std::uint8_t> Icon;  // the .ico file; empty for none
    VersionStrings Strings;          // empty for no version information
    TProgramVersion Version;

    bool Empty() const { return Icon.empty() && Strings.empty(); }
};

// The face of a product: Setup.ico beside Setup.ini (taken out of tree, which the setup does not
// need it in) and the version fields from the version and Setup.ini in tree, decoded from
// codePage. Version information is written when the product sets LegalCopyright or
// FileDescription in [Setup], or has an icon.
SetupFace ReadSetupFace(const std::string& productDir, std::vector<SourceEntry>& tree,
                        const TProgramVersion& version, const CodePage& codePage);

// Raises Exception when ico is no icon file the setup can carry.
void CheckIconFile(const std::vector<std::uint8_t>& ico);

// stub with the face's icon and version information in its resources, replacing any it had.
// Raises Exception for an icon file that is none.
void ApplySetupFace(std::vector<std::uint8_t>& stub, const SetupFace& face);

// "Version information: ..." and "Icon: ..." lines for list and verify; none for a program
// without them, one "Resources: ..." line for a damaged resource section. program may run on
// past its image.
std::vector<std::string> DescribeSetupFace(const std::vector<std::uint8_t>& program);

// The parts of the version resource, apart for the tests.
std::vector<std::uint8_t> VersionResourceData(const TProgramVersion& version, const VersionStrings& strings);
VersionStrings ReadVersionStrings(const std::vector<std::uint8_t>& data);
