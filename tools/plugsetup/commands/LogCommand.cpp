// plugsetup log FILE: the uninstall record of an uninstaller (Uninst.exe) or of an Uninstall.dat,
// its names decoded from the code page.
#include <filesystem>

#include "archive/ProgramHeader.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "uninstall/UninstallRecord.h"

int RunLog(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, {kCodePageOption});
    arguments.ExpectPositional(1, "FILE");
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::string& path = arguments.Positional()[0];
    WithSubject(path, [&] {
        auto file = HostFile::OpenForReading(path);
        std::uint8_t head[kProgramHeaderWordsEnd] = {};
        std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(head, file->Read(head, sizeof head));
        std::unique_ptr<HostFile> data;
        std::int64_t start = 0;  // anything but a program is an Uninstall.dat itself
        if (words && head[0] == 'M' && head[1] == 'Z') {
            if (std::optional<std::int64_t> appended = AppendedDataStart(*words)) {
                start = *appended;
            } else {
                // An uninstaller without an appended record reads it from beside itself.
                data = HostFile::OpenForReading(PathText(HostPath(path).parent_path() / kUninstallDataFile));
            }
        }
        Stream& record = data ? *data : *file;
        record.Seek(start);
        UninstallRecord read = ReadUninstallRecord(record);
        env.Out << "Product: " << codePage->Decode(read.productName) << "\n";
        env.Out << "Version: " << read.version.AsString() << "\n";
        for (const UninstallItem& item : read.items) env.Out << codePage->Decode(FormatItem(item)) << "\n";
    });
    return kExitOk;
}
