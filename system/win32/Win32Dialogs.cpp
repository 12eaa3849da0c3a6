#include "system/win32/Win32Platform.h"

#include <windows.h>

#include "system/win32/Win32Text.h"
#include "texts/Texts.h"

namespace {

// A box belongs to the window named for it while that is there, else to the thread's active
// window: during the copy the user may have switched to another program, and a box without
// an owner could then open behind the wizard.
int Box(WindowRef owner, const std::string& text, const std::string& caption, UINT flags) {
    HWND window = reinterpret_cast<HWND>(owner);
    if (!window || !IsWindow(window)) window = GetActiveWindow();
    return MessageBoxW(window, Wide(text).c_str(), Wide(caption).c_str(), flags);
}

}  // namespace

void Win32Platform::WarningBox(const std::string& text) {
    Box(dialogOwner_, text, Text(TextId::WarningCaption).c_str(), MB_OK | MB_ICONWARNING);
}

bool Win32Platform::QuestionBox(const std::string& text) {
    return Box(dialogOwner_, text, Text(TextId::ConfirmCaption).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Win32Platform::InformationBox(const std::string& text) {
    Box(dialogOwner_, text, Text(TextId::InformationCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}

void Win32Platform::ErrorBox(const std::string& title, const std::string& text) {
    Box(dialogOwner_, text, title, MB_OK | MB_ICONERROR);
}

bool Win32Platform::RetryCancelBox(const std::string& text) {
    return Box(dialogOwner_, text, Text(TextId::WarningCaption).c_str(), MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}
