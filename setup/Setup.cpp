// Program entry: one executable, two roles. The marker word in the program's own header
// decides between the setup wizard and the uninstaller; the program takes no arguments.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "archive/SetupClasses.h"
#include "engine/Configuration.h"
#include "engine/SetupInstaller.h"
#include "setup/RunMode.h"
#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "system/win32/Win32Platform.h"
#include "uninstall/SetupUninstaller.h"
#include "wizard/EngineAdapter.h"
#include "wizard/win32/FormMain.h"

namespace {

constexpr char kSetupTitle[] = "Setup";
constexpr char kUninstallerTitleSuffix[] = " Uninstaller";
constexpr char kApplicationErrorCaption[] = "Application Error";
// The taskbar title of the process; also the caption of the error box in setup mode.
std::string applicationTitle;

// The setup's data entries (side pictures) come from the archive, else from beside the program.
class InstallerSource : public SetupDataSource {
public:
    explicit InstallerSource(TInstaller& installer) : installer_(installer) {}
    std::unique_ptr<Stream> Load(const std::string& name) override { return installer_.LoadFile(name); }

private:
    TInstaller& installer_;
};

std::optional<std::vector<std::uint8_t>> ReadSetupEntry(TInstaller& installer, Platform& platform,
                                                        const std::string& name,
                                                        const std::string& fallback) {
    InstallerSource source(installer);
    auto stream = OpenSetupStream(source, platform, name, fallback);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream->Size()));
    stream->Seek(0);
    stream->ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

// The wizard owns the engine for its whole life; an engine that cannot be built (a damaged
// archive, a broken Setup.ini) is shown in the error box and ends the program.
int RunSetup(HINSTANCE instance, Win32Platform& platform) {
    applicationTitle = kSetupTitle;
    std::unique_ptr<TSetupInstaller> engine;
    try {
        engine = std::make_unique<TSetupInstaller>(platform);
        EngineAdapter adapter(*engine, platform);
        FormMain form(instance, platform, adapter);
        form.Create([&](const std::string& name, const std::string& fallback) {
            return ReadSetupEntry(engine->Installer(), platform, name, fallback);
        });
        return form.Run();
    } catch (const std::exception& error) {
        platform.ErrorBox(applicationTitle, WithClosingPeriod(error.what()));
        return 0;
    }
}

int RunUninstaller(Win32Platform& platform) {
    TSetupUninstaller uninstaller(platform);
    applicationTitle = uninstaller.ProductName() + kUninstallerTitleSuffix;
    uninstaller.Run();
    return 0;
}

// What an error that nobody catches ends with: the default report, then exit status 1.
int DefaultErrorReport(const std::string& message) {
    MessageBoxA(nullptr, WithClosingPeriod(message).c_str(), kApplicationErrorCaption, MB_OK | MB_ICONERROR);
    return 1;
}

// Library names are looked up in the system folder only: a DLL that someone left beside the
// setup in a Downloads folder is never loaded in its place. Windows before 8 lacks the call
// unless updated; there the setup runs as it always did.
void RestrictLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
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
        if (ReadRunMode(platform) == RunMode::Uninstaller) return RunUninstaller(platform);
        return RunSetup(instance, platform);
    } catch (const std::exception& error) {
        return DefaultErrorReport(error.what());
    }
}
