// Program entry: one executable, two roles. The marker word in the program's own header
// decides between the setup wizard and the uninstaller; the command line (setup/CommandLine.h)
// may ask either to run without a person.
#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/SetupInstaller.h"
#include "setup/CommandLine.h"
#include "setup/ExitStatus.h"
#include "setup/RunMode.h"
#include "setup/SetupClaim.h"
#include "setup/SilentWindow.h"
#include "setup/Unattended.h"
#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"
#include "uninstall/SetupUninstaller.h"
#include "wizard/EngineAdapter.h"
#include "wizard/win32/FormMain.h"
#include "texts/Texts.h"

namespace {

// The taskbar title of the process; also the caption of the error box in setup mode.
std::string applicationTitle;

// The wizard owns the engine for its whole life; an engine that cannot be built (a damaged
// archive, a broken Setup.ini) is shown in the error box and ends the program. Switches on the
// command line become the pages' proposals.
int RunSetup(HINSTANCE instance, Win32Platform& platform, const SetupOptions& options) {
    applicationTitle = Text(TextId::SetupTitle);
    try {
        TSetupInstaller engine(platform);
        applicationTitle = Text(TextId::SetupTitle);  // in the language the engine chose
        if (!ClaimSetup(SetupClaimName(engine))) {
            platform.ErrorBox(applicationTitle, engine.ExpandText(Text(TextId::AlreadyRunningError)));
            return kExitErrorOrRefusal;
        }
        ApplyOptions(engine, options);
        EngineAdapter adapter(engine, platform);
        FormMain form(instance, platform, adapter);
        if (!form.Create(SetupPictures(engine))) return kExitErrorOrRefusal;
        ApplyPageChoices(form.Model(), options);
        return form.Run() == WizardEnd::Terminated ? kExitErrorOrRefusal : kExitDoneOrStopped;
    } catch (const std::exception& error) {
        platform.ErrorBox(applicationTitle, WithClosingPeriod(error.what()));
        return kExitErrorOrRefusal;
    }
}

int RunUninstaller(Win32Platform& platform) {
    TSetupUninstaller uninstaller(platform);
    applicationTitle = uninstaller.ProductName() + Text(TextId::UninstallerTitleSuffix);
    return uninstaller.Run() == UninstallEnd::Refused ? kExitErrorOrRefusal : kExitDoneOrStopped;
}

// What an error that nobody catches ends with: the default report.
int DefaultErrorReport(const std::string& message) {
    MessageBoxW(nullptr, Wide(WithClosingPeriod(message)).c_str(),
                Wide(Text(TextId::ApplicationErrorCaption)).c_str(), MB_OK | MB_ICONERROR);
    return kExitErrorOrRefusal;
}

// Library names are looked up in the system folder only: a DLL that someone left beside the
// setup in a Downloads folder is never loaded in its place. Windows before 8 lacks the call
// unless updated; there the setup runs as it always did.
void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    auto setDefaultDirectories =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesFunction>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (setDefaultDirectories) setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearch();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Platform platform;
    try {
        const RunMode mode = ReadRunMode(platform);
        // The command line as the user typed it, whatever the code page: a path given to /DIR
        // may hold any character.
        const SetupOptions options = ParseCommandLine(ArgumentsOf(Utf8(GetCommandLineW())), mode);
        if (std::optional<int> status = EndsAtCommandLine(platform, options, mode, Text(TextId::SetupTitle)))
            return *status;
        RequestLanguage(options.Language);
        if (mode == RunMode::Uninstaller)
            return options.Silent() ? RunUnattendedUninstall(platform, options) : RunUninstaller(platform);
        return options.Silent() ? RunSilentSetup(instance, platform, options)
                                : RunSetup(instance, platform, options);
    } catch (const std::exception& error) {
        return DefaultErrorReport(error.what());
    }
}
