// plugsetup list FILE: version, build time, the text encoding and the entry tree, names as UTF-8
// (an archive without the mark read in the --codepage given).
#include <string>

#include "archive/SetupData.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/pe/SetupFace.h"

int RunList(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, {kCodePageOption});
    arguments.ExpectPositional(1, "FILE");
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::string& path = arguments.Positional()[0];
    WithSubject(path, [&] {
        OpenedSetupFile setup = OpenSetupFile(path);
        ArchiveInfo info = CheckArchive(*setup.File, CustomerConversion(*codePage));
        env.Out << "Version:    " << info.Version.AsString() << "\n";
        env.Out << "Build time: " << FormatBuildTime(info.BuildTime) << "\n";
        env.Out << "Text:       " << DescribeTextEncoding(info.TextCodePage) << "\n";
        for (const std::string& line : DescribeSigning(ReadSigningFacts(setup, info)))
            env.Out << line << "\n";
        if (setup.IsProgram)
            for (const std::string& line : DescribeSetupFace(ReadProgramPart(setup))) env.Out << line << "\n";
        WalkEntries(*setup.File, info, [&](const WalkEntry& entry) {
            env.Out << std::string(static_cast<std::size_t>(entry.Depth) * 2, ' ')
                    << entry.Record.Name;
            if (entry.Record.IsDirectory())
                env.Out << "\\\n";
            else
                env.Out << "  " << entry.Record.UnpackedSize << "\n";
        });
    });
    return kExitOk;
}
