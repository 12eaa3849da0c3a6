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
#include "system/win32/Win32Text.h"

namespace {

std::wstring WidePathOfItem(LPCITEMIDLIST item) {
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!item || !SHGetPathFromIDListW(item, buffer)) return std::wstring();
    return buffer;
}

std::string PathOfItem(LPCITEMIDLIST item) {
    return Utf8(WidePathOfItem(item));
}

std::string HresultText(HRESULT result) {
    return LastErrorText(static_cast<DWORD>(result));
}

// Preselects the initial folder and shows the path of each folder the user moves to.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM item, LPARAM data) {
    if (message == BFFM_INITIALIZED) {
        const auto* selection = reinterpret_cast<const std::wstring*>(data);
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(selection->c_str()));
    } else if (message == BFFM_SELCHANGED) {
        std::wstring path = WidePathOfItem(reinterpret_cast<LPCITEMIDLIST>(item));
        if (!path.empty())
            SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path.c_str()));
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

int CALLBACK FontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
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
    ComPtr<IShellLinkW> shellLink;
    HRESULT created =
        CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.Out());
    if (FAILED(created)) throw Exception(ShellLinkErrorText(linkFile, HresultText(created)));
    shellLink->SetPath(Wide(link.target).c_str());
    if (!link.arguments.empty()) shellLink->SetArguments(Wide(link.arguments).c_str());
    shellLink->SetWorkingDirectory(Wide(link.workingFolder).c_str());
    shellLink->SetIconLocation(Wide(link.iconFile).c_str(), link.iconIndex);
    ComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.Out()))) return false;
    return SUCCEEDED(file->Save(Wide(linkFile).c_str(), TRUE));
}

std::optional<ShellLink> Win32Platform::LoadShellLink(const std::string& linkFile) {
    EnsureCom();
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.Out())) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, file.Out())) ||
        FAILED(file->Load(Wide(linkFile).c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t buffer[MAX_PATH + 1] = {};
    ShellLink link;
    if (FAILED(shellLink->GetPath(buffer, MAX_PATH, nullptr, 0))) return std::nullopt;
    // The target's ID list names it whole; Wine keeps the link's copy of the path text in the
    // ANSI code page only, so a character outside it would read back as "?".
    ItemIdList target;
    std::wstring targetPath;
    if (SUCCEEDED(shellLink->GetIDList(target.Out()))) targetPath = WidePathOfItem(target.Get());
    link.target = Utf8(targetPath.empty() ? buffer : targetPath.c_str());
    buffer[0] = 0;
    if (FAILED(shellLink->GetArguments(buffer, MAX_PATH))) return std::nullopt;
    link.arguments = Utf8(buffer);
    buffer[0] = 0;
    if (SUCCEEDED(shellLink->GetWorkingDirectory(buffer, MAX_PATH))) link.workingFolder = Utf8(buffer);
    buffer[0] = 0;
    int index = 0;
    if (SUCCEEDED(shellLink->GetIconLocation(buffer, MAX_PATH, &index))) {
        link.iconFile = Utf8(buffer);
        link.iconIndex = index;
    }
    return link;
}

bool Win32Platform::OpenWithDefaultAction(const std::string& file, const std::string& folder) {
    EnsureCom();
    const std::wstring wideFolder = Wide(folder);
    auto result = ShellExecuteW(GetActiveWindow(), L"open", Wide(file).c_str(), nullptr,
                                folder.empty() ? nullptr : wideFolder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Platform::StartHidden(const std::string& file, const std::string& parameters, WindowRef owner) {
    EnsureCom();
    const std::wstring wideParameters = Wide(parameters);
    auto result = ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", Wide(file).c_str(),
                                parameters.empty() ? nullptr : wideParameters.c_str(), nullptr, SW_HIDE);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<std::string> Win32Platform::PickFolder(WindowRef owner, const std::string& title,
                                                     const std::string& initial) {
    EnsureCom();
    const std::wstring selection = Wide(FolderPickerSelection(initial));
    const std::wstring wideTitle = Wide(title);
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(&selection);
    ItemIdList item(SHBrowseForFolderW(&info));
    if (!item.Valid()) return std::nullopt;
    std::string path = PathOfItem(item.Get());
    if (path.empty()) return std::nullopt;
    return path;
}

bool Win32Platform::FontInstalled(const std::string& name) {
    ScreenDc dc;
    LOGFONTW font = {};
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, Wide(name).c_str(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc.Get(), &font, FontFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

int Win32Platform::ScreenDpi() {
    ScreenDc dc;
    return dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
}

int Win32Platform::MeasureScalingHeight() {
    ScreenDc dc;
    if (!dc.Get()) return 0;
    FontHandle font(CreateFontW(MulDiv(-11, GetDeviceCaps(dc.Get(), LOGPIXELSY), 96), 0, 0, 0, FW_NORMAL,
                                FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
    if (!font.Valid()) return 0;
    HGDIOBJ previous = SelectObject(dc.Get(), font.Get());
    SIZE size = {};
    BOOL measured = GetTextExtentPoint32W(dc.Get(), L"0", 1, &size);
    SelectObject(dc.Get(), previous);
    return measured ? size.cy : 0;
}
