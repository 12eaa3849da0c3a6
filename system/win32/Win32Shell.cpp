// Shell folders, shell links, shell starts, the folder picker and fonts through shell32,
// ole32 and gdi32.
#include <windows.h>
// The shell headers need windows.h first.
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/win32/Win32Com.h"
#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"

namespace {

std::wstring Wide(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string PathOfItem(LPCITEMIDLIST item) {
    char buffer[MAX_PATH + 1] = {};
    if (!item || !SHGetPathFromIDListA(item, buffer)) return std::string();
    return buffer;
}

std::string HresultText(HRESULT result) {
    return LastErrorText(static_cast<DWORD>(result));
}

// Preselects the initial folder and shows the path of each folder the user moves to.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM item, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        const auto* selection = reinterpret_cast<const std::string*>(data);
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(selection->c_str()));
    } else if (message == BFFM_SELCHANGED) {
        std::string path = PathOfItem(reinterpret_cast<LPCITEMIDLIST>(item));
        if (!path.empty())
            SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }
    return 0;
}

// Item ID lists come from the shell's allocator.
using ItemIdList = Owned<NullMeansNone<LPITEMIDLIST, CoTaskMemFree>>;

void ReleaseScreenDc(HDC dc) {
    ReleaseDC(nullptr, dc);
}

class ScreenDc : public Owned<NullMeansNone<HDC, ReleaseScreenDc>> {
public:
    ScreenDc() : Owned(GetDC(nullptr)) {}
};

int CALLBACK FontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

void EnsureCom() {
    static const HRESULT initialised = CoInitialize(nullptr);
    (void)initialised;
}

std::string Win32Platform::SpecialFolderPath(int csidl) {
    ItemIdList item;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, item.Out()))) return std::string();
    return PathOfItem(item.Get());
}

bool Win32Platform::SaveShellLink(const std::string& linkFile, const ShellLink& link) {
    EnsureCom();
    ComPtr<IShellLinkA> shellLink;
    HRESULT created =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shellLink.Out());
    if (FAILED(created)) throw Exception(ShellLinkErrorText(linkFile, HresultText(created)));
    shellLink->SetPath(link.target.c_str());
    if (!link.arguments.empty()) shellLink->SetArguments(link.arguments.c_str());
    shellLink->SetWorkingDirectory(link.workingFolder.c_str());
    shellLink->SetIconLocation(link.iconFile.c_str(), link.iconIndex);
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.Out()))) return false;
    return SUCCEEDED(file->Save(Wide(linkFile).c_str(), TRUE));
}

std::optional<ShellLink> Win32Platform::LoadShellLink(const std::string& linkFile) {
    EnsureCom();
    ComPtr<IShellLinkA> shellLink;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                shellLink.Out())) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, file.Out())) ||
        FAILED(file->Load(Wide(linkFile).c_str(), STGM_READ)))
        return std::nullopt;
    char buffer[MAX_PATH + 1] = {};
    ShellLink link;
    if (FAILED(shellLink->GetPath(buffer, MAX_PATH, nullptr, 0))) return std::nullopt;
    link.target = buffer;
    buffer[0] = 0;
    if (FAILED(shellLink->GetArguments(buffer, MAX_PATH))) return std::nullopt;
    link.arguments = buffer;
    buffer[0] = 0;
    if (SUCCEEDED(shellLink->GetWorkingDirectory(buffer, MAX_PATH))) link.workingFolder = buffer;
    buffer[0] = 0;
    int index = 0;
    if (SUCCEEDED(shellLink->GetIconLocation(buffer, MAX_PATH, &index))) {
        link.iconFile = buffer;
        link.iconIndex = index;
    }
    return link;
}

bool Win32Platform::OpenWithDefaultAction(const std::string& file, const std::string& folder) {
    EnsureCom();
    auto result = ShellExecuteA(GetActiveWindow(), "open", file.c_str(), nullptr,
                                folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Platform::StartHidden(const std::string& file, const std::string& parameters, WindowRef owner) {
    EnsureCom();
    auto result = ShellExecuteA(reinterpret_cast<HWND>(owner), "open", file.c_str(),
                                parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_HIDE);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::string> Win32Platform::PickFolder(WindowRef owner, const std::string& title,
                                                     const std::string& initial) {
    EnsureCom();
    std::string selection = FolderPickerSelection(initial);
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&selection);
    ItemIdList item(SHBrowseForFolderA(&info));
    if (!item.Valid()) return std::nullopt;
    std::string path = PathOfItem(item.Get());
    if (path.empty()) return std::nullopt;
    return path;
}

bool Win32Platform::FontInstalled(const std::string& name) {
    ScreenDc dc;
    LOGFONTA font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, name.c_str(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc.Get(), &font, FontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

int Win32Platform::ScreenDpi() {
    ScreenDc dc;
    return dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
}

int Win32Platform::MeasureScalingHeight() {
    ScreenDc dc;
    if (!dc.Get()) return 0;
    FontHandle font(CreateFontA(MulDiv(-11, GetDeviceCaps(dc.Get(), LOGPIXELSY), 96), 0, 0, 0, FW_NORMAL,
                                FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
    if (!font.Valid()) return 0;
    HGDIOBJ previous = SelectObject(dc.Get(), font.Get());
    SIZE size = {};
    BOOL measured = GetTextExtentPoint32A(dc.Get(), "0", 1, &size);
    SelectObject(dc.Get(), previous);
    return measured ? size.cy : 0;
}
