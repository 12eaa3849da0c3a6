// Runs the setup engine's whole installation on the real platform, without the wizard: the
// engine is built from a setup program made by plugsetup, installs into DESTINATION with the
// shortcut choice given, and prints every progress call and then the uninstall log.
//   e2e_engine_install SETUP.EXE DESTINATION CHOICE
// Two helpers for the scenario, so shortcuts are written and read by the system's own shell:
//   e2e_engine_install --read-link LINK.lnk          prints the target and the arguments
//   e2e_engine_install --make-link LINK.lnk TARGET ARGUMENTS
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "engine/SetupInstaller.h"
#include "engine/SetupProgress.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"
#include "system/win32/Win32Platform.h"

namespace {

class PrintingProgress : public ISetupProgress {
public:
    void SetProgress(int percent) override { std::printf("progress %d\n", percent); }
    void SetStatus(const std::string& text) override { std::printf("status %s\n", text.c_str()); }
};

int Usage() {
    std::fprintf(stderr,
                 "usage: e2e_engine_install SETUP.EXE DESTINATION CHOICE\n"
                 "       e2e_engine_install --read-link LINK\n"
                 "       e2e_engine_install --make-link LINK TARGET ARGUMENTS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Win32Platform platform;
        const std::string first = argc > 1 ? argv[1] : "";
        if (first == "--read-link" && argc == 3) {
            ShortcutTarget link = ReadShortcut(platform, argv[2]);
            if (!link.ok) return 1;
            std::printf("target %s\narguments %s\n", link.target.c_str(), link.arguments.c_str());
            return 0;
        }
        if (first == "--make-link" && argc == 5)
            return CreateShortcut(platform, argv[2], argv[3], argv[4], 0) ? 0 : 1;
        if (argc != 4 || first.rfind("--", 0) == 0) return Usage();

        TSetupInstaller setup(platform, argv[1]);
        std::printf("default %s\n", setup.Values().DestinationFolder.c_str());
        // The check itself would show a message box that nobody here answers.
        if (!HasAdminRights(platform)) throw std::runtime_error("no administrator rights in this prefix");
        setup.SetDestinationFolder(argv[2]);
        setup.SetShortcutChoice(static_cast<unsigned>(std::atoi(argv[3])));
        PrintingProgress progress;
        setup.Install(progress);
        for (const std::string& line : setup.Installer().Log()) std::printf("log %s\n", line.c_str());
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "e2e_engine_install: %s\n", error.what());
        return 1;
    }
}
