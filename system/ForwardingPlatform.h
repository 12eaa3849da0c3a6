// A platform that hands every operation to another one; a subclass overrides the few it
// changes (the silent run answers the dialogs itself and lets everything else through).
#pragma once

#include "system/Platform.h"

class ForwardingPlatform : public Platform {
public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}
    Platform& Inner() { return inner_; }

    std::string OwnProgramPath() override { return inner_.OwnProgramPath(); }
    std::unique_ptr<Stream> OpenForReading(const std::string& path, ShareMode share) override {
        return inner_.OpenForReading(path, share);
    }
    std::unique_ptr<FileStream> CreateForWriting(const std::string& path) override {
        return inner_.CreateForWriting(path);
    }
    std::unique_ptr<FileStream> CreateNewForWriting(const std::string& path) override {
        return inner_.CreateNewForWriting(path);
    }
    std::uint32_t FileAttributes(const std::string& path) override { return inner_.FileAttributes(path); }
    FolderResult CreateFolder(const std::string& path) override { return inner_.CreateFolder(path); }
    bool RemoveFolder(const std::string& path) override { return inner_.RemoveFolder(path); }
    bool RemoveFile(const std::string& path) override { return inner_.RemoveFile(path); }
    bool RenameFile(const std::string& from, const std::string& to) override {
        return inner_.RenameFile(from, to);
    }
    std::string TemporaryFolder() override { return inner_.TemporaryFolder(); }
    bool OpensForWriting(const std::string& path) override { return inner_.OpensForWriting(path); }
    std::vector<std::string> ProgramsUsing(const std::vector<std::string>& paths) override {
        return inner_.ProgramsUsing(paths);
    }
    bool ChangeFileAttributes(const std::string& path, std::uint32_t attributes) override {
        return inner_.ChangeFileAttributes(path, attributes);
    }
    std::unique_ptr<FileSearch> FindFiles(const std::string& pattern) override {
        return inner_.FindFiles(pattern);
    }
    bool SetFileDate(const std::string& path, std::uint32_t packed) override {
        return inner_.SetFileDate(path, packed);
    }
    std::optional<std::uint32_t> FileDate(const std::string& path) override { return inner_.FileDate(path); }
    std::optional<std::uint64_t> FreeDiskSpace(const std::string& path) override {
        return inner_.FreeDiskSpace(path);
    }

    RegistryKey OpenRegistryKey(const RegistryKey& base, const std::string& path,
                                std::uint32_t access) override {
        return inner_.OpenRegistryKey(base, path, access);
    }
    RegistryKey CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                  std::uint32_t access) override {
        return inner_.CreateRegistryKey(base, path, access);
    }
    std::optional<RegistryValue> ReadRegistryValue(const RegistryKey& key, const std::string& name) override {
        return inner_.ReadRegistryValue(key, name);
    }
    bool WriteRegistryValue(const RegistryKey& key, const std::string& name,
                            const RegistryValue& value) override {
        return inner_.WriteRegistryValue(key, name, value);
    }
    bool RemoveRegistryValue(const RegistryKey& key, const std::string& name) override {
        return inner_.RemoveRegistryValue(key, name);
    }
    std::optional<RegistryKeyInfo> QueryRegistryKeyInfo(const RegistryKey& key) override {
        return inner_.QueryRegistryKeyInfo(key);
    }
    std::optional<std::string> EnumRegistrySubkey(const RegistryKey& key, std::uint32_t index) override {
        return inner_.EnumRegistrySubkey(key, index);
    }
    bool RemoveRegistryKey(const RegistryKey& base, const std::string& path) override {
        return inner_.RemoveRegistryKey(base, path);
    }
    bool CanRemoveRegistryKeyInView() override { return inner_.CanRemoveRegistryKeyInView(); }
    bool RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path,
                                 std::uint32_t view) override {
        return inner_.RemoveRegistryKeyInView(base, path, view);
    }

    std::string SpecialFolderPath(int csidl) override { return inner_.SpecialFolderPath(csidl); }
    bool SaveShellLink(const std::string& linkFile, const ShellLink& link) override {
        return inner_.SaveShellLink(linkFile, link);
    }
    std::optional<ShellLink> LoadShellLink(const std::string& linkFile) override {
        return inner_.LoadShellLink(linkFile);
    }
    bool OpenWithDefaultAction(const std::string& file, const std::string& folder) override {
        return inner_.OpenWithDefaultAction(file, folder);
    }
    bool StartHidden(const std::string& file, const std::string& parameters, WindowRef owner) override {
        return inner_.StartHidden(file, parameters, owner);
    }
    std::optional<std::string> PickFolder(WindowRef owner, const std::string& title,
                                          const std::string& initial) override {
        return inner_.PickFolder(owner, title, initial);
    }
    bool FontInstalled(const std::string& name) override { return inner_.FontInstalled(name); }
    int ScreenDpi() override { return inner_.ScreenDpi(); }
    int MeasureScalingHeight() override { return inner_.MeasureScalingHeight(); }

    bool ProcessIsWow64() override { return inner_.ProcessIsWow64(); }
    MachineReport Machine() override { return inner_.Machine(); }
    int WindowsMajorVersion() override { return inner_.WindowsMajorVersion(); }
    std::uint16_t UserUiLanguage() override { return inner_.UserUiLanguage(); }
    std::string UserName() override { return inner_.UserName(); }
    std::uint64_t RandomNumber() override { return inner_.RandomNumber(); }
    std::string EnvironmentVariable(const std::string& name) override {
        return inner_.EnvironmentVariable(name);
    }
    void SetEnvironmentValue(const std::string& name, const std::string& value) override {
        inner_.SetEnvironmentValue(name, value);
    }
    LibraryCall CallLibraryFunction(const std::string& library, const std::string& function) override {
        return inner_.CallLibraryFunction(library, function);
    }
    void Pause(std::uint32_t milliseconds) override { inner_.Pause(milliseconds); }
    std::optional<std::string> TextAsUtf8(std::uint32_t codePage, const std::string& bytes) override {
        return inner_.TextAsUtf8(codePage, bytes);
    }

    void WarningBox(const std::string& text) override { inner_.WarningBox(text); }
    bool QuestionBox(const std::string& text) override { return inner_.QuestionBox(text); }
    void InformationBox(const std::string& text) override { inner_.InformationBox(text); }
    void ErrorBox(const std::string& title, const std::string& text) override {
        inner_.ErrorBox(title, text);
    }
    bool RetryCancelBox(const std::string& text) override { return inner_.RetryCancelBox(text); }
    void SetDialogOwner(WindowRef owner) override { inner_.SetDialogOwner(owner); }

    std::unique_ptr<WorkerThread> StartWorker(std::function<void()> work) override {
        return inner_.StartWorker(std::move(work));
    }
    std::unique_ptr<ThreadLock> NewThreadLock() override { return inner_.NewThreadLock(); }
    std::unique_ptr<ThreadSignal> NewThreadSignal() override { return inner_.NewThreadSignal(); }

private:
    Platform& inner_;
};
