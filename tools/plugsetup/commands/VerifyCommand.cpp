// plugsetup verify FILE: the reader's own checks, then every entry and every body.
#include <cstdio>

#include "archive/BodyInflater.h"
#include "archive/SetupData.h"
#include "system/Stream.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/Progress.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/pe/SetupFace.h"

namespace {

constexpr const char* kFileCountMismatchMessage = "the header counts %d files but the archive holds %d";
constexpr const char* kUnusableUninstallerMessage =
    "the archive's Uninst.exe is no uninstaller that reads Uninstall.dat (its words at 0x30 and 0x34 must be "
    "0 "
    "and 1); the setup would copy itself instead";
constexpr const char* kCertificatePastEndMessage = "the certificate table runs past the end of the file";
constexpr const char* kCertificateInArchiveMessage = "the certificate table overlaps the archive";
constexpr const char* kSignatureFailedMessage = "signature Failed: ";
constexpr const char* kChainNotJudgedNote =
    "Signatures: each digest is checked against its file; whether the certificates are trusted is not judged";

// A program in the archive that carries a signature must be the program that was signed.
void CheckProgramSignature(const std::vector<std::uint8_t>& program, int& signedPrograms) {
    std::optional<CertificateTable> table = CertificateTableIn(program.data(), program.size());
    if (!table) return;
    ++signedPrograms;
    MemoryStream stream(program);
    const SignatureCheck check = CheckAuthenticode(stream, *table);
    if (check.Result == SignatureCheck::Failed) throw ESetupError(kSignatureFailedMessage + check.Reason);
}

// What a signing tool must leave: the table after the archive, inside the file.
void CheckSigning(const SigningFacts& facts, const ArchiveInfo& info) {
    if (facts.CarriesUninstaller && !facts.UninstallerUsable) throw ESetupError(kUnusableUninstallerMessage);
    if (!facts.SetupCertificate) return;
    const std::int64_t start = facts.SetupCertificate->Offset;
    if (start + facts.SetupCertificate->Size > facts.FileSize) throw ESetupError(kCertificatePastEndMessage);
    if (start < info.ArchiveEnd) throw ESetupError(kCertificateInArchiveMessage);
    if (facts.SetupSignature && facts.SetupSignature->Result == SignatureCheck::Failed)
        throw ESetupError(kSignatureFailedMessage + facts.SetupSignature->Reason);
}

std::string FileCountMismatch(std::int32_t header, std::int32_t found) {
    char text[128];
    std::snprintf(text, sizeof text, kFileCountMismatchMessage, header, found);
    return text;
}

}  // namespace

int RunVerify(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, {kProgressOption, kQuietOption});
    arguments.ExpectPositional(1, "FILE");
    Progress progress(env, arguments);
    const std::string& path = arguments.Positional()[0];
    ArchiveInfo info;
    SigningFacts signing;
    std::vector<std::string> face;
    std::int32_t files = 0;
    int signedPrograms = 0;
    std::int64_t unpacked = 0;
    WithSubject(path, [&] {
        OpenedSetupFile setup = OpenSetupFile(path);
        progress.Begin("checking", 0);
        // Names must be text in the code page the mark records (unmarked ones always are).
        info = CheckArchive(*setup.File, [](std::uint32_t codePage, const std::string& bytes) {
            return TextInCodePageAsUtf8(codePage == 0 ? kDefaultCodePage : codePage, bytes);
        });
        if (progress.Style() != ProgressStyle::None) {
            WalkEntries(*setup.File, info, [&](const WalkEntry& entry) {
                if (!entry.Record.IsDirectory()) unpacked += entry.Record.UnpackedSize;
            });
        }
        progress.Begin("verifying", unpacked);
        unpacked = 0;
        // The walk stops at a damaged record; each body must inflate to exactly its size.
        WalkEntries(*setup.File, info, [&](const WalkEntry& entry) {
            if (entry.Record.IsDirectory()) return;
            ++files;
            unpacked += entry.Record.UnpackedSize;
            WithSubject(std::string(entry.Path), [&] {
                // Programs are kept whole for their signature; other files only pass through.
                std::vector<std::uint8_t> program;
                bool isProgram = true;
                InflateBody(
                    *setup.File, entry.BodyStart, entry.Record.BodyLength, entry.Record.UnpackedSize,
                    [&](const std::uint8_t* bytes, std::size_t size) {
                        progress.Advance(static_cast<std::int64_t>(size));
                        if (!isProgram) return;
                        program.insert(program.end(), bytes, bytes + size);
                        isProgram = program.size() < 2 || (program[0] == 'M' && program[1] == 'Z');
                        if (!isProgram) program = {};
                    },
                    true);
                if (isProgram) CheckProgramSignature(program, signedPrograms);
            });
        });
        if (files != info.FileCount) throw ESetupError(FileCountMismatch(info.FileCount, files));
        signing = ReadSigningFacts(setup, info);
        CheckSigning(signing, info);
        if (setup.IsProgram) face = DescribeSetupFace(ReadProgramPart(setup));
    });
    env.Out << path << ": OK, version " << info.Version.AsString() << ", " << files << " files, "
            << info.DataLength << " bytes of data\n";
    env.Out << "Text: " << DescribeTextEncoding(info.TextCodePage) << "\n";
    for (const std::string& line : DescribeSigning(signing)) env.Out << line << "\n";
    for (const std::string& line : face) env.Out << line << "\n";
    if (signedPrograms > 0)
        env.Out << "Signed programs in the archive: " << signedPrograms << ", each digest matches\n";
    if (signing.SetupCertificate || signedPrograms > 0) env.Out << kChainNotJudgedNote << "\n";
    progress.Finish(path + ": " + std::to_string(files) + (files == 1 ? " file, " : " files, ") +
                    FormatBytes(unpacked) + " unpacked from " + FormatBytes(info.DataLength) + ", " +
                    FormatSeconds(progress.Elapsed()));
    return kExitOk;
}
