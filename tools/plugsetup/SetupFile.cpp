#include "tools/plugsetup/SetupFile.h"

#include <cstdio>

#include "archive/BodyInflater.h"
#include "install/Installer.h"

#include "archive/ProgramHeader.h"
#include "archive/SetupData.h"
#include "system/Stream.h"
#include "system/Utf8.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/host/CodePage.h"
#include "uninstall/UninstallRecord.h"

OpenedSetupFile OpenSetupFile(const std::string& path) {
    OpenedSetupFile opened;
    opened.File = HostFile::OpenForReading(path);
    std::uint8_t head[kProgramHeaderWordsEnd] = {};
    std::size_t got = opened.File->Read(head, sizeof head);
    std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(head, got);
    if (words && head[0] == 'M' && head[1] == 'Z') {
        if (std::optional<std::int64_t> start = AppendedDataStart(*words)) {
            opened.IsProgram = true;
            opened.ArchiveStart = *start;
        }
    }
    opened.File->Seek(opened.ArchiveStart);
    return opened;
}

std::vector<std::uint8_t> ReadProgramPart(OpenedSetupFile& setup) {
    std::vector<std::uint8_t> program(static_cast<std::size_t>(setup.ArchiveStart));
    setup.File->Seek(0);
    program.resize(setup.File->Read(program.data(), program.size()));
    setup.File->Seek(setup.ArchiveStart);
    return program;
}

std::string FormatBuildTime(double buildTime) {
    std::optional<DateTimeParts> p = DecodeDateTime(buildTime);
    if (!p) return "(invalid)";
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p->Year, p->Month, p->Day, p->Hour,
                  p->Minute, p->Second);
    return text;
}

namespace {

std::string TableText(const CertificateTable& table) {
    return std::to_string(table.Size) + " bytes at offset " + std::to_string(table.Offset);
}

}  // namespace

SigningFacts ReadSigningFacts(OpenedSetupFile& setup, const ArchiveInfo& info) {
    SigningFacts facts;
    facts.IsProgram = setup.IsProgram;
    facts.FileSize = setup.File->Size();
    if (setup.IsProgram) facts.SetupCertificate = ReadCertificateTable(*setup.File);
    if (facts.SetupCertificate)
        facts.SetupSignature = CheckAuthenticode(*setup.File, *facts.SetupCertificate);
    EntryListReader list = TopLevelEntries(*setup.File, info);
    std::optional<FoundEntry> found = FindEntry(list, kUninstallerEntry, false);
    if (!found) return facts;
    facts.CarriesUninstaller = true;
    std::vector<std::uint8_t> program;
    InflateBody(*setup.File, found->BodyStart, found->Record.BodyLength, found->Record.UnpackedSize,
                [&](const std::uint8_t* bytes, std::size_t size) {
                    program.insert(program.end(), bytes, bytes + size);
                });
    std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(program.data(), program.size());
    facts.UninstallerUsable = words && program[0] == 'M' && program[1] == 'Z' && IsUninstaller(*words) &&
                              !AppendedDataStart(*words);
    facts.UninstallerCertificate = CertificateTableIn(program.data(), program.size());
    if (facts.UninstallerCertificate) {
        MemoryStream stream(std::move(program));
        facts.UninstallerSignature = CheckAuthenticode(stream, *facts.UninstallerCertificate);
    }
    return facts;
}

std::vector<std::string> DescribeSigning(const SigningFacts& facts) {
    std::vector<std::string> lines;
    if (facts.IsProgram)
        lines.push_back("Certificate table: " +
                        (facts.SetupCertificate ? TableText(*facts.SetupCertificate) : "none"));
    if (facts.SetupSignature) lines.push_back("Signature: " + DescribeSignatureCheck(*facts.SetupSignature));
    std::string uninstaller = "Uninstaller: ";
    if (!facts.CarriesUninstaller)
        uninstaller += "a copy of the setup program, made at installation";
    else if (!facts.UninstallerUsable)
        uninstaller += std::string(kUninstallerEntry) +
                       " in the archive, but it is no uninstaller that reads " + kUninstallDataFile;
    else if (facts.UninstallerCertificate)
        uninstaller += std::string(kUninstallerEntry) + " in the archive, signed (certificate table of " +
                       std::to_string(facts.UninstallerCertificate->Size) + " bytes; " +
                       DescribeSignatureCheck(*facts.UninstallerSignature) + ")";
    else
        uninstaller += std::string(kUninstallerEntry) + " in the archive, not signed";
    lines.push_back(uninstaller);
    return lines;
}

CodePageConversion CustomerConversion(const CodePage& customer) {
    const auto ansi = static_cast<std::uint32_t>(customer.Number());
    return [ansi](std::uint32_t codePage, const std::string& bytes) {
        return TextInCodePageAsUtf8(codePage == 0 ? ansi : codePage, bytes);
    };
}

void ActAsCustomer(MemoryPlatform& machine, const CodePage& customer) {
    machine.SetAnsiCodePage(static_cast<std::uint32_t>(customer.Number()));
    machine.SetCodePageConverter(TextInCodePageAsUtf8);
}

std::string DescribeTextEncoding(std::uint32_t textCodePage) {
    if (textCodePage == kUtf8CodePage) return "UTF-8";
    if (textCodePage == 0) return "none recorded: read in the customer's ANSI code page";
    return "code page " + std::to_string(textCodePage);
}
