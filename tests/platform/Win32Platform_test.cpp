// What only the real machine can show: the Wine prefix's own folders and WOW64, a link of ours
// opened by Wine's own start command, the system's own read errors, the UTF-16 that Windows
// itself holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"
#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"

namespace {

std::string ScratchName(const std::string& what) {
    return "plugsetup-" + what + "-" +
           std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && SameText(text.substr(text.size() - tail.size()), tail);
}

TEST(Win32Platform, AThirtyTwoBitProcessSeesTheRedirectedFolders) {
    Win32Platform platform;
    EXPECT_TRUE(IsWow64(platform));
    EXPECT_TRUE(EndsWith(GetProgramFilesFolder(platform), "\\Program Files (x86)"))
        << GetProgramFilesFolder(platform);
    EXPECT_TRUE(EndsWith(GetCommonFilesFolder(platform), "\\Program Files (x86)\\Common Files"));
    EXPECT_TRUE(platform.DirectoryExists(GetDocumentsFolder(platform)));
    EXPECT_TRUE(platform.DirectoryExists(GetAppDataFolder(platform)));

    TRegistry64 registry(platform, true);
    registry.SetRootKey(RootKey::LocalMachine);
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_EQ(registry.ReadString("ProgramFilesDir"), "C:\\Program Files")
        << "the 64-bit view names the 64-bit folder";
}

TEST(Win32Platform, OurShortcutOpensWithWinesStartCommand) {
    Win32Platform platform;
    std::string folder =
        platform.TemporaryFolder() + "plugsetup-link-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007) + "\\";
    ASSERT_EQ(platform.CreateFolder(folder), FolderResult::Created);
    std::string batch = folder + "mark.bat";
    std::string marker = folder + "marker.txt";
    const std::string script = "@echo %~1> \"" + marker + "\"\r\n@cd >> \"" + marker + "\"\r\n";
    platform.CreateForWriting(batch)->Write(script.data(), script.size());
    std::string link = folder + "Mark.lnk";
    ASSERT_TRUE(CreateShortcut(platform, link, batch, "hello", 0));

    std::string command = "start \"\" \"" + link + "\"";
    std::system(command.c_str());
    // The shell does not hand back the process it starts for a link, so wait for both lines
    // of the marker, for half a minute at most.
    std::string text;
    for (int i = 0; i < 300 && std::count(text.begin(), text.end(), '\n') < 2; ++i) {
        platform.Pause(100);
        try {
            auto stream = platform.OpenForReading(marker, ShareMode::DenyNone);
            text.assign(static_cast<std::size_t>(stream->Size()), '\0');
            stream->ReadBuffer(text.data(), text.size());
        } catch (const EFileError&) {
            // not written yet, or still open in the batch
        }
    }
    EXPECT_EQ(text.rfind("hello\r\n", 0), 0u) << text;
    EXPECT_NE(text.find(folder.substr(0, folder.size() - 1)), std::string::npos)
        << "the link's working folder is its target's: " << text;

    // The batch's own process may hold its file a moment longer.
    for (int i = 0; i < 20 && platform.FileExists(batch) && !platform.RemoveFile(batch); ++i)
        platform.Pause(100);
    platform.RemoveFile(marker);
    platform.RemoveFile(link);
    platform.RemoveFolder(folder);
}

// A read that the system refuses names the file and says why, as a failed write does: here
// the other end of a pipe has gone away.
TEST(Win32Platform, AFailedReadNamesTheFileAndTheSystemsReason) {
    Win32Platform platform;
    const std::string pipe = "\\\\.\\pipe\\plugsetup-read-error-" + std::to_string(GetCurrentProcessId());
    FileHandle server(CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 64,
                                       64, 0, nullptr));
    ASSERT_TRUE(server.Valid());
    auto stream = platform.OpenForReading(pipe, ShareMode::DenyNone);
    server.Reset();
    char buffer[4];
    try {
        stream->Read(buffer, sizeof buffer);
        FAIL() << "reading a pipe whose writer is gone must fail";
    } catch (const EReadError& error) {
        EXPECT_EQ(error.Message(), "Cannot read file \"" + pipe + "\". " + LastErrorText(ERROR_BROKEN_PIPE));
    }
}

// Windows' names are UTF-16 units that need not pair up; such a name reads as U+FFFD and breaks
// nothing. Wine refuses it in file names, but keeps it in a registry key's.
TEST(Win32Platform, AnUnpairedSurrogateFromWindowsReadsAsTheReplacementCharacter) {
    Win32Platform platform;
    const std::string path = "Software\\PlugsetupContract\\" + ScratchName("surrogate");
    const std::wstring half = Wide(path) + L"\\half\xD800";
    KeyHandle key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, half.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.Out(), nullptr),
              ERROR_SUCCESS);
    key.Reset();
    TRegistry registry(platform);
    ASSERT_TRUE(registry.OpenKey("\\" + path, false));
    EXPECT_EQ(registry.KeyNames(), std::vector<std::string>{"half\uFFFD"});
    registry.CloseKey();
    RegDeleteKeyW(HKEY_CURRENT_USER, half.c_str());
    TRegistry(platform).DeleteKey("\\" + path);
    TRegistry(platform).DeleteKey("\\Software\\PlugsetupContract");

    const std::string folder = platform.TemporaryFolder() + ScratchName("surrogate") + "\\";
    ASSERT_EQ(platform.CreateFolder(folder), FolderResult::Created);
    const std::wstring name = Wide(folder) + L"half\xD800.txt";
    FileHandle file(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid()) {
        file.Reset();
        std::vector<std::string> found;
        if (auto search = platform.FindFiles(folder + "half*")) do
                found.push_back(search->Current().name);
            while (search->Next());
        EXPECT_EQ(found, std::vector<std::string>{"half\uFFFD.txt"});
        DeleteFileW(name.c_str());
    }
    EXPECT_TRUE(platform.RemoveFolder(folder));
}

// A string value is UTF-16 in the registry, as every other program reads it, with its NUL.
TEST(Win32Platform, AStringValueIsStoredAsTheUtf16OfItsText) {
    Win32Platform platform;
    const std::string path = "Software\\PlugsetupContract\\" + ScratchName("utf16");
    const std::string text = "Caf\u00E9 \u591C \U0001D11E";
    TRegistry registry(platform);
    ASSERT_TRUE(registry.OpenKey("\\" + path, true));
    registry.WriteString("Name \u00E9", text);
    KeyHandle key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_READ, key.Out()), ERROR_SUCCESS);
    wchar_t data[64] = {};
    DWORD type = 0, size = sizeof data;
    ASSERT_EQ(
        RegQueryValueExW(key.Get(), L"Name \u00E9", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::wstring expected = L"Caf\u00E9 \u591C \U0001D11E";
    expected.push_back(L'\0');
    EXPECT_EQ(std::wstring(data, size / sizeof(wchar_t)), expected);
    key.Reset();
    registry.CloseKey();
    TRegistry(platform).DeleteKey("\\" + path);
    TRegistry(platform).DeleteKey("\\Software\\PlugsetupContract");
}

}  // namespace
