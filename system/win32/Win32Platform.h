// The real platform: kernel32, advapi32, shell32, ole32, user32 and gdi32 through their wide (W)
// calls; the program's UTF-8 is converted at each call by Win32Text.h.
#pragma once

#include "system/Platform.h"

class Win32Platform : public Platform {
public:
    std::string OwnProgramPath() override;
    std::unique_ptr<Stream> OpenForReading(const std::string& path, ShareMode share) override;
    std::unique_ptr<FileStream> CreateForWriting(const std::string& path) override;
    std::unique_ptr<FileStream> CreateNewForWriting(const std::string& path) override;
    std::uint32_t FileAttributes(const std::string& path) override;
    FolderResult CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    std::string TemporaryFolder() override;
    bool OpensForWriting(const std::string& path) override;
    std::vector<std::string> ProgramsUsing(const std::vector<std::string>& paths) override;
    void WarningBox(const std::string& text) override;
    bool QuestionBox(const std::string& text) override;
    void InformationBox(const std::string& text) override;
    void ErrorBox(const std::string& title, const std::string& text) override;
    bool RetryCancelBox(const std::string& text) override;
    void SetDialogOwner(WindowRef owner) override { dialogOwner_ = owner; }

    bool ChangeFileAttributes(const std::string& path, std::uint32_t attributes) override;
    std::unique_ptr<FileSearch> FindFiles(const std::string& pattern) override;
    bool SetFileDate(const std::string& path, std::uint32_t packed) override;
    std::optional<std::uint32_t> FileDate(const std::string& path) override;
    std::optional<std::uint64_t> FreeDiskSpace(const std::string& path) override;

    RegistryKey OpenRegistryKey(const RegistryKey& base, const std::string& path,
                                std::uint32_t access) override;
    RegistryKey CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                  std::uint32_t access) override;
    std::optional<RegistryValue> ReadRegistryValue(const RegistryKey& key, const std::string& name) override;
    bool WriteRegistryValue(const RegistryKey& key, const std::string& name,
                            const RegistryValue& value) override;
    bool RemoveRegistryValue(const RegistryKey& key, const std::string& name) override;
    std::optional<RegistryKeyInfo> QueryRegistryKeyInfo(const RegistryKey& key) override;
    std::optional<std::string> EnumRegistrySubkey(const RegistryKey& key, std::uint32_t index) override;
    bool RemoveRegistryKey(const RegistryKey& base, const std::string& path) override;
    bool CanRemoveRegistryKeyInView() override;
    bool RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path,
                                 std::uint32_t view) override;

    std::string SpecialFolderPath(int csidl) override;
    bool SaveShellLink(const std::string& linkFile, const ShellLink& link) override;
    std::optional<ShellLink> LoadShellLink(const std::string& linkFile) override;
    bool OpenWithDefaultAction(const std::string& file, const std::string& folder) override;
    bool StartHidden(const std::string& file, const std::string& parameters, WindowRef owner) override;
    std::optional<std::string> PickFolder(WindowRef owner, const std::string& title,
                                          const std::string& initial) override;
    bool FontInstalled(const std::string& name) override;
    int ScreenDpi() override;
    int MeasureScalingHeight() override;

    bool ProcessIsWow64() override;
    MachineReport Machine() override;
    int WindowsMajorVersion() override;
    std::uint16_t UserUiLanguage() override;
    std::string UserName() override;
    std::uint64_t RandomNumber() override;
    std::string EnvironmentVariable(const std::string& name) override;
    void SetEnvironmentValue(const std::string& name, const std::string& value) override;
    LibraryCall CallLibraryFunction(const std::string& library, const std::string& function) override;
    void Pause(std::uint32_t milliseconds) override;
    std::optional<std::string> TextAsUtf8(std::uint32_t codePage, const std::string& bytes) override;

    std::unique_ptr<WorkerThread> StartWorker(std::function<void()> work) override;
    std::unique_ptr<ThreadLock> NewThreadLock() override;
    std::unique_ptr<ThreadSignal> NewThreadSignal() override;

private:
    WindowRef dialogOwner_ = 0;
};
