// Program entry: one executable, two roles. The marker word in the program's own header
// decides between the setup wizard and the uninstaller; the program takes no arguments.
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "archive/ArchiveLocation.h"
#include "archive/SetupData.h"
#include "setup/RunMode.h"
#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "system/win32/Win32Platform.h"
#include "uninstall/SetupUninstaller.h"

namespace {

constexpr char kSetupTitle[] = "Setup";
constexpr char kUninstallerTitleSuffix[] = " Uninstaller";
constexpr char kApplicationErrorCaption[] = "Application Error";
constexpr char kMainWindowClass[] = "PlugSetupMainWindow";

// The taskbar title of the process; also the caption of the error box in setup mode.
std::string applicationTitle;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Until the wizard takes its place: a plain main window captioned with the product version.
int RunMainWindow(HINSTANCE instance, const std::string& caption) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA(kMainWindowClass, caption.c_str(),
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                CW_USEDEFAULT, 512, 370, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

int RunSetup(HINSTANCE instance, Win32Platform& platform) {
    applicationTitle = kSetupTitle;
    std::string caption;
    try {
        auto data = OpenArchiveData(platform);
        ArchiveInfo info = CheckArchive(*data);
        caption = std::string(kSetupTitle) + " " + info.Version.AsString();
    } catch (const std::exception& error) {
        platform.ErrorBox(applicationTitle, WithClosingPeriod(error.what()));
        return 0;
    }
    return RunMainWindow(instance, caption);
}

// No window and no message loop: the dialogs of the run are the whole user interface.
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

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
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
