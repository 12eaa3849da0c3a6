// Shell folders, shortcuts, file-type icons, the folder picker, and the wizard's font and
// scaling rules: free functions over the platform.
#pragma once

#include <string>

#include "system/Platform.h"

enum class SpecialFolderKind { Desktop, Documents, Programs, AppData, ProgramFiles, CommonFiles };

int SpecialFolderCsidl(SpecialFolderKind kind);
// The shell folder's path, or empty when the system has none.
std::string SpecialFolder(Platform& platform, SpecialFolderKind kind);
// The shell's folder, else the CurrentVersion key's ProgramFilesDir / CommonFilesDir, else
// "C:\Program Files" / "C:\Program Files\Common Files".
std::string GetProgramFilesFolder(Platform& platform);
std::string GetCommonFilesFolder(Platform& platform);
// The documents folder, or "C:\My Documents".
std::string GetDocumentsFolder(Platform& platform);
// The application data folder, or the Program Files folder.
std::string GetAppDataFolder(Platform& platform);

struct IconLocation {
    std::string file;
    int index = 0;
};
// The icon that the file's type shows (HKEY_CLASSES_ROOT\<type>\DefaultIcon); programs and
// icon files are their own icon.
IconLocation FileTypeIcon(Platform& platform, const std::string& file);

// Writes a shortcut whose working folder is the target's folder. An icon index of 0 takes the
// icon of the target's file type. Raises when the system has no shell link object; false
// when the link file could not be saved.
bool CreateShortcut(Platform& platform, const std::string& linkFile, const std::string& target,
                    const std::string& arguments, int iconIndex);

struct ShortcutTarget {
    bool ok = false;
    std::string target;
    std::string arguments;
};
ShortcutTarget ReadShortcut(Platform& platform, const std::string& linkFile);

// The folder picker; cancelling keeps the initial folder.
std::string BrowseForFolder(Platform& platform, WindowRef owner, const std::string& title,
                            const std::string& initial);
// The folder the picker preselects for an initial text: one trailing backslash dropped.
std::string FolderPickerSelection(const std::string& initial);

// --- wizard font and scaling ---------------------------------------------------------------
struct UiFontChoice {
    std::string name = "MS Shell Dlg 2";
    int points = 8;
};
// Segoe UI 9 pt on Windows 6 and later, Tahoma 8 pt before, each only when installed; else the
// dialog font's logical name, which the system maps to an installed face. Each of them is linked
// to fonts of other scripts, so a Japanese name shows on a Western Windows too.
UiFontChoice ChooseUiFont(Platform& platform);
// The font's height for CreateFont on a screen of `dpi`: its em in pixels, negative.
int UiFontHeight(const UiFontChoice& font, int dpi);

// Windows' MulDiv: a * b / c through 64 bits, rounded half away from zero; -1 when c is 0 or
// the result does not fit.
int MulDivRound(int a, int b, int c);

// Scales design values by the pixel height of "0" in MS Sans Serif 8 pt (13 at 96 DPI), as
// the window itself was scaled. The height is measured once, on first use.
class DesignScale {
public:
    explicit DesignScale(Platform& platform) : platform_(platform) {}
    int Height();
    int Scale(int value) { return MulDivRound(value, Height(), 13); }

private:
    Platform& platform_;
    int height_ = 0;
};
