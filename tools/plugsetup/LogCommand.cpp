// plugsetup log FILE: the uninstall record of an uninstaller copy (or an Uninstall.dat), its
// names decoded from the code page.
#include <filesystem>

#include "archive/SetupData.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/CodePage.h"
#include "tools/plugsetup/HostFile.h"
#include "tools/plugsetup/Tool.h"
#include "uninstall/UninstallRecord.h"

int RunLog(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, {kCodePageOption});
    arguments.ExpectPositional(1, "FILE");
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::string& path = arguments.Positional()[0];
    WithSubject(path, [&] {
        auto file = HostFile::OpenForReading(path);
        std::uint8_t head[2] = {};
        std::int32_t offset = 0;
        if (file->Read(head, 2) == 2 && head[0] == 'M' && head[1] == 'Z') {
            file->Seek(kArchiveOffsetWordPosition);
            offset = file->ReadInt32();
        }
        std::unique_ptr<HostFile> data;
        if (head[0] == 'M' && head[1] == 'Z' && offset <= 0) {
            // An uninstaller without an appended record reads it from beside itself.
            data = HostFile::OpenForReading(
                (std::filesystem::path(path).parent_path() / kUninstallDataFile).string());
        } else {
            file->Seek(offset);
        }
        UninstallRecord record = ReadUninstallRecord(data ? *data : *file);
        env.Out << "Product: " << codePage->Decode(record.productName) << "\n";
        env.Out << "Version: " << record.version.AsString() << "\n";
        for (const std::string& line : record.log) env.Out << codePage->Decode(line) << "\n";
    });
    return kExitOk;
}
