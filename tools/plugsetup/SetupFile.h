// Finding the archive in a file the vendor names: a setup program or a Setup.dat.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveText.h"
#include "archive/PeImage.h"
#include "tools/plugsetup/pe/Authenticode.h"

#include "tools/plugsetup/host/HostFile.h"

struct OpenedSetupFile {
    std::unique_ptr<HostFile> File;  // positioned at the archive start
    bool IsProgram = false;
    std::int64_t ArchiveStart = 0;
};

// A file that starts with "MZ" and whose header words locate appended data is a setup program
// with its archive there; any other file is read as a Setup.dat from 0.
OpenedSetupFile OpenSetupFile(const std::string& path);

// The program before the archive (a setup program's stub); the file is left at the archive start.
std::vector<std::uint8_t> ReadProgramPart(OpenedSetupFile& setup);

// "YYYY-MM-DD HH:MM:SS" of a day-count time, or "(invalid)".
std::string FormatBuildTime(double buildTime);

struct ArchiveInfo;
class CodePage;
class MemoryPlatform;

// How a customer's Windows whose ANSI code page is customer reads text in a code page (0: its
// ANSI code page): what list reads unmarked archives with.
CodePageConversion CustomerConversion(const CodePage& customer);
// The memory machine as that Windows: its ANSI code page, and every other code page converted.
void ActAsCustomer(MemoryPlatform& machine, const CodePage& customer);
// What the archive's text mark records, as list and verify print it: "UTF-8", "code page 1252",
// or "none recorded: read in the customer's ANSI code page".
std::string DescribeTextEncoding(std::uint32_t textCodePage);

// What a setup carries for code signing: its own certificate table, and the separately built
// uninstaller in its archive with that program's certificate table.
struct SigningFacts {
    bool IsProgram = false;
    std::int64_t FileSize = 0;
    std::optional<CertificateTable> SetupCertificate;
    std::optional<SignatureCheck> SetupSignature;  // when it has a certificate table
    bool CarriesUninstaller = false;
    // Its header words make it an uninstaller that reads Uninstall.dat, as the setup requires.
    bool UninstallerUsable = false;
    std::optional<CertificateTable> UninstallerCertificate;
    std::optional<SignatureCheck> UninstallerSignature;
};
// For a checked archive in setup.
SigningFacts ReadSigningFacts(OpenedSetupFile& setup, const ArchiveInfo& info);
// "Certificate table: ...", "Signature: ..." (programs only) and "Uninstaller: ..." lines, as
// list and verify print them.
std::vector<std::string> DescribeSigning(const SigningFacts& facts);
