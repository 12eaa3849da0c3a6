#include "system/win32/Win32Platform.h"

#include <windows.h>

namespace {

// Message boxes belong to the active window of our thread, when there is one.
int Box(const std::string& text, const char* caption, UINT flags) {
    return MessageBoxA(GetActiveWindow(), text.c_str(), caption, flags);
}

}  // namespace

void Win32Platform::WarningBox(const std::string& text) {
    Box(text, "Warning", MB_OK | MB_ICONWARNING);
}

bool Win32Platform::QuestionBox(const std::string& text) {
    return Box(text, "Confirm", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Win32Platform::InformationBox(const std::string& text) {
    Box(text, "Information", MB_OK | MB_ICONINFORMATION);
}

void Win32Platform::ErrorBox(const std::string& title, const std::string& text) {
    Box(text, title.c_str(), MB_OK | MB_ICONERROR);
}

bool Win32Platform::RetryCancelBox(const std::string& text) {
    return Box(text, "Warning", MB_RETRYCANCEL | MB_ICONWARNING) == IDRETRY;
}
