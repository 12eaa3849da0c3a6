// A Windows machine held in memory: drives, folders, files with attributes and open handles,
// dialogs with scripted answers. Paths compare as Windows compares them (ASCII case folding,
// either slash on input); stored paths use backslashes. It never sleeps and never touches
// the real disk.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "system/Platform.h"

class MemoryPlatform : public Platform {
public:
    MemoryPlatform();
    ~MemoryPlatform() override;

    // --- Platform ----------------------------------------------------------------------
    std::string OwnProgramPath() override { return ownProgramPath_; }
    std::unique_ptr<Stream> OpenForReading(const std::string& path, ShareMode share) override;
    std::unique_ptr<FileStream> CreateForWriting(const std::string& path) override;
    std::unique_ptr<FileStream> CreateNewForWriting(const std::string& path) override;
    std::uint32_t FileAttributes(const std::string& path) override;
    FolderResult CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    // As Windows finds it: TMP, else TEMP, else USERPROFILE, else the Windows folder.
    std::string TemporaryFolder() override;
    bool OpensForWriting(const std::string& path) override;
    // The programs named to LockFile for the locked ones among paths, each once.
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
    bool CanRemoveRegistryKeyInView() override { return hasDeleteKeyEx_; }
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
    int ScreenDpi() override { return dpi_; }
    int MeasureScalingHeight() override;

    bool ProcessIsWow64() override { return machine_.Native != NativeMachine::X86; }
    MachineReport Machine() override { return machine_; }
    int WindowsMajorVersion() override { return windowsMajor_; }
    std::uint16_t UserUiLanguage() override { return uiLanguage_; }
    std::string UserName() override { return userName_; }
    // A fixed sequence, different on every call, so tests know the names it makes.
    std::uint64_t RandomNumber() override;
    std::string EnvironmentVariable(const std::string& name) override;
    void SetEnvironmentValue(const std::string& name, const std::string& value) override {
        SetEnvironment(name, value);
    }
    LibraryCall CallLibraryFunction(const std::string& library, const std::string& function) override;
    void Pause(std::uint32_t milliseconds) override { pauses_.push_back(milliseconds); }
    // Code page 1252 and UTF-8 by the machine itself, any other through the converter.
    std::optional<std::string> TextAsUtf8(std::uint32_t codePage, const std::string& bytes) override;

    // Real threads of the host, so a test sees two threads meet as on Windows.
    std::unique_ptr<WorkerThread> StartWorker(std::function<void()> work) override;
    std::unique_ptr<ThreadLock> NewThreadLock() override;
    std::unique_ptr<ThreadSignal> NewThreadSignal() override;

    // --- setting the machine up ----------------------------------------------------------
    void SetOwnProgramPath(const std::string& path) { ownProgramPath_ = path; }
    // Creates a folder and its missing parents (a drive root exists once named).
    void AddFolder(const std::string& path);
    // Creates or replaces a file (its folder is created as needed).
    void AddFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                 std::uint32_t attributes = kAttrArchive);
    void AddFile(const std::string& path, const std::string& text);
    bool HasFile(const std::string& path);
    std::vector<std::uint8_t> FileBytes(const std::string& path);
    std::string FileText(const std::string& path);
    // The stored spelling of every file and folder below a folder, in path order.
    std::vector<std::string> ListTree(const std::string& folder);

    // --- the journal of writes ---------------------------------------------------------------
    // Every change made through the Platform interface, in the order it was made: folders and
    // files created, renamed or removed, attributes set, registry values written or removed,
    // keys removed and shell links saved. The set-up calls above are not recorded, and a journal starts empty.
    struct Write {
        enum class Kind {
            Folder,
            File,
            Attributes,
            RegistryValue,
            Shortcut,
            RemovedFolder,
            RemovedFile,
            RemovedKey,
            RenamedFile,   // path: the old name, newPath: the new one
            RemovedValue,  // path and valueName as for RegistryValue
        };
        Kind kind;
        // A file or folder as the program named it; for the registry the key path below root as
        // the program opened it (relative opens joined), without a leading backslash.
        std::string path;
        std::uint32_t attributes = 0;  // Attributes: the new set
        RootKey root = RootKey::CurrentUser;
        bool view64 = false;  // the key was opened asking for the 64-bit view
        std::string valueName{};
        RegistryValue value{};
        ShellLink link{};  // Shortcut
        std::string newPath{};  // RenamedFile
    };
    const std::vector<Write>& Journal() const { return journal_; }
    void ClearJournal() { journal_.clear(); }

    // --- dialogs -------------------------------------------------------------------------
    struct Dialog {
        std::string kind;  // "warning", "question", "information", "error"
        std::string caption;
        std::string text;
        WindowRef owner = 0;  // as SetDialogOwner left it
    };
    const std::vector<Dialog>& Dialogs() const { return dialogs_; }
    // Answers for the next question boxes, in order; an unscripted question answers Yes.
    void AnswerQuestions(std::initializer_list<bool> answers);
    // Answers for the next Retry/Cancel boxes (true: Retry); an unscripted one answers Cancel,
    // so a test that forgets to script never loops.
    void AnswerRetries(std::initializer_list<bool> answers);

    // --- fault injection -------------------------------------------------------------------
    // Another process holds the file open without sharing: opens, replacing and deleting fail
    // with the sharing violation until UnlockFile. The program, when named, is what
    // ProgramsUsing reports for it.
    void LockFile(const std::string& path, const std::string& program = "");
    void UnlockFile(const std::string& path);
    // Creating this folder fails (as for missing rights).
    void FailFolderCreation(const std::string& path);
    // The disk has this many bytes left: FreeDiskSpace reports them, writes that grow files
    // use them up, and a write that needs more fails with "There is not enough space on the
    // disk". Deleting or replacing a file gives its bytes back.
    void SetFreeDiskSpace(std::uint64_t bytes);
    // After this many more bytes written (to any file, or only to path), writes fail with the
    // error code: the file keeps the bytes up to the limit. A run's journal (a file named
    // *.journal) is spared by both faults and uses no space: they aim at the run's own files.
    void FailWritesAfter(std::uint64_t bytes, std::uint32_t errorCode = kErrorWriteFault,
                         const std::string& path = "");
    static constexpr std::uint32_t kErrorWriteFault = 29;
    // Reading the file (an existing one) fails from this byte on, as on a bad sector: a read
    // that would reach it obtains nothing and raises the read error.
    void FailReadsFrom(const std::string& path, std::int64_t offset);

    // --- registry set-up -------------------------------------------------------------------
    // Opening the key (in the given view) asking for any of these rights fails with access
    // denied.
    void DenyRegistryAccess(RootKey root, const std::string& path, std::uint32_t rights, bool view64 = false);
    // Every key and value of the registry as lines ("ROOT\\key" and "ROOT\\key\\name=type:hex"),
    // in the order of their upper-case names: two machines' registries compare as text.
    std::vector<std::string> RegistryLines() const;
    // Older Windows: advapi32 without RegDeleteKeyExA.
    void SetRegistryKeyRemovalInView(bool available) { hasDeleteKeyEx_ = available; }
    // 64-bit Windows running us under WOW64 (the default): HKEY_LOCAL_MACHINE\Software has a
    // 32-bit view in Software\Wow6432Node that this process sees unless it asks for the
    // 64-bit one. False: a 32-bit Windows with one view.
    void SetWow64(bool wow64) { SetMachine(wow64 ? NativeMachine::X64 : NativeMachine::X86); }
    // The native machine (x86 is 32-bit Windows); x64 programs run on it unless an Arm64
    // Windows is told runsX64 false.
    void SetMachine(NativeMachine native, bool runsX64 = true) {
        machine_ = {native, native != NativeMachine::X86 && runsX64};
        wow64_ = native != NativeMachine::X86;
    }

    // --- shell set-up and records ------------------------------------------------------------
    // Sets a shell folder; an empty path makes it unavailable.
    void SetSpecialFolder(int csidl, const std::string& path);
    // The shell link object cannot be created (saving raises).
    void SetShellLinksAvailable(bool available) { shellLinks_ = available; }
    struct ShellStart {
        std::string file;
        std::string folder;
        bool hidden = false;
        WindowRef owner = 0;
        std::string parameters;
    };
    const std::vector<ShellStart>& ShellStarts() const { return shellStarts_; }
    // Answers for the next folder pickers: a folder, or nothing for Cancel. Unscripted pickers
    // cancel.
    void AnswerFolderPickers(std::initializer_list<std::optional<std::string>> answers);
    struct FolderPickerRequest {
        std::string title;
        std::string selection;  // the folder the picker preselected
    };
    const std::vector<FolderPickerRequest>& FolderPickers() const { return folderPickers_; }
    void AddFont(const std::string& name) { fonts_.insert(UpperFontKey(name)); }
    void SetScreenDpi(int dpi) { dpi_ = dpi; }
    // What measuring "0" gives; how often it was measured.
    void SetScalingHeight(int height) { scalingHeight_ = height; }
    int ScalingMeasurements() const { return scalingMeasurements_; }

    // --- process set-up and records ----------------------------------------------------------
    void SetWindowsMajorVersion(int major) { windowsMajor_ = major; }
    void SetUserUiLanguage(std::uint16_t language) { uiLanguage_ = language; }
    void SetUserName(const std::string& name) { userName_ = name; }
    // The numbers RandomNumber hands out next, before its own sequence goes on.
    void QueueRandomNumbers(std::initializer_list<std::uint64_t> numbers) {
        randomNumbers_.insert(randomNumbers_.end(), numbers);
    }
    // Sets an environment variable; an empty value removes it.
    void SetEnvironment(const std::string& name, const std::string& value);
    // A loadable library: the file at path must exist as well for it to load. Its exports
    // are callbacks, looked up by exact name.
    void AddLibrary(const std::string& path, std::map<std::string, std::function<void()>> exports);
    struct LibraryCallRecord {
        std::string library;
        std::string function;
        LibraryCall result;
    };
    const std::vector<LibraryCallRecord>& LibraryCalls() const { return libraryCalls_; }
    const std::vector<std::uint32_t>& Pauses() const { return pauses_; }
    // The system's ANSI code page, which code page 0 stands for (1252 unless set).
    void SetAnsiCodePage(std::uint32_t codePage) { ansiCodePage_ = codePage; }
    std::uint32_t AnsiCodePage() const { return ansiCodePage_; }
    // Converts the code pages other than 1252 and UTF-8 (the tool's, for instance); without
    // one they convert nothing.
    using CodePageConverter = std::function<std::optional<std::string>(std::uint32_t, const std::string&)>;
    void SetCodePageConverter(CodePageConverter converter) { codePageConverter_ = std::move(converter); }
    // The time unstamped files report as their last write (packed local date-time).
    void SetClock(std::uint32_t packed) { clock_ = packed; }

    // Normalised key of a path: upper-case ASCII, backslashes, no trailing backslash
    // except on a drive root.
    static std::string PathKey(const std::string& path);

    struct Node;
    struct RegNode;
    struct Disk;

private:
    Node* Find(const std::string& path);
    std::unique_ptr<FileStream> OpenForWritingUnrecorded(const std::string& path);
    Node& MakeFolder(const std::string& path);
    static std::string UpperFontKey(const std::string& name);
    std::shared_ptr<RegNode> ResolveRegistryKey(const RegistryKey& base, const std::string& path,
                                                std::uint32_t access, bool create, std::uint32_t* error);
    RegNode* KeyNode(const RegistryKey& key, std::uint32_t needed);
    bool RemoveKeyNode(const RegistryKey& base, const std::string& path, std::uint32_t view);
    void SeedMachine();
    void SeedRegistry();

    std::string ownProgramPath_;
    std::map<std::string, std::shared_ptr<Node>> nodes_;
    std::vector<Write> journal_;
    std::vector<Dialog> dialogs_;
    std::deque<bool> answers_;
    std::deque<bool> retryAnswers_;
    std::shared_ptr<Disk> disk_;
    std::set<std::string> failingFolders_;
    std::map<std::string, std::unique_ptr<Stream>> locks_;
    std::map<std::string, std::string> lockingPrograms_;
    WindowRef dialogOwner_ = 0;
    std::uint32_t clock_ = 0x58210000;  // 2024-01-01 00:00:00

    std::map<RootKey, std::shared_ptr<RegNode>> registryRoots_;
    bool hasDeleteKeyEx_ = true;
    bool wow64_ = true;
    MachineReport machine_;

    std::map<int, std::string> specialFolders_;
    bool shellLinks_ = true;
    std::vector<ShellStart> shellStarts_;
    std::deque<std::uint64_t> randomNumbers_;
    std::uint32_t ansiCodePage_ = 1252;
    CodePageConverter codePageConverter_;
    std::uint64_t randomCalls_ = 0;
    std::deque<std::optional<std::string>> pickerAnswers_;
    std::vector<FolderPickerRequest> folderPickers_;
    std::set<std::string> fonts_;
    int dpi_ = 96;
    int scalingHeight_ = 13;
    int scalingMeasurements_ = 0;

    int windowsMajor_ = 10;
    std::uint16_t uiLanguage_ = 0x0409;  // English (United States)
    std::string userName_ = "user";
    std::map<std::string, std::pair<std::string, std::string>> environment_;  // key: upper-case name
    std::map<std::string, std::map<std::string, std::function<void()>>> libraries_;
    std::vector<LibraryCallRecord> libraryCalls_;
    std::vector<std::uint32_t> pauses_;
};
