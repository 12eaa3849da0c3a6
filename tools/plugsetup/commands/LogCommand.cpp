// plugsetup log FILE: the uninstall record of an uninstaller (Uninst.exe) or of an Uninstall.dat,
// its names decoded from the code page.
#include "archive/ProgramHeader.h"
#include "system/Stream.h"
#include "system/memory/MemoryPlatform.h"
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/SetupFile.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"
#include "uninstall/UninstallRecord.h"

namespace {

constexpr const char* kUninstallerAt = "C:\\Uninstaller\\Uninst.exe";

}  // namespace

int RunLog(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, {kCodePageOption});
    arguments.ExpectPositional(1, "FILE");
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::string& path = arguments.Positional()[0];
    WithSubject(path, [&] {
        const std::vector<std::uint8_t> bytes = ReadHostFile(path);
        std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(bytes.data(), bytes.size());
        UninstallRecord read;
        if (words && bytes[0] == 'M' && bytes[1] == 'Z') {
            // The uninstaller's own reader, on a machine that holds the program, and the
            // Uninstall.dat beside it when it carries no record.
            MemoryPlatform machine;
            ActAsCustomer(machine, *codePage);
            machine.AddFile(kUninstallerAt, bytes);
            if (!AppendedDataStart(*words))
                machine.AddFile(UninstallDataFileOf(kUninstallerAt),
                                ReadHostFile(PathText(HostPath(path).parent_path() / kUninstallDataFile)));
            read = LoadUninstallRecord(machine, kUninstallerAt).record;
        } else {
            MemoryStream data(bytes);  // anything but a program is an Uninstall.dat itself
            read = ReadUninstallRecord(data, CustomerConversion(*codePage));
        }
        env.Out << "Product: " << read.productName << "\n";
        env.Out << "Version: " << read.version.AsString() << "\n";
        for (const UninstallItem& item : read.items) env.Out << FormatItem(item) << "\n";
    });
    return kExitOk;
}
