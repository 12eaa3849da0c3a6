// Everything the program asks of Windows, one method per operation. Two implementations:
// system/win32 (the real APIs, their wide forms) and system/memory (a Windows machine held in
// memory, for tests). Classes receive the platform by reference; there is no global. All text
// here, names, paths and string values, is UTF-8; the real platform converts it to and from
// UTF-16 at each call.
//
// Names never collide with the macros of <windows.h> (no DeleteFile, MessageBox, ...).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "system/Stream.h"

// How other processes may share a file that we open.
enum class ShareMode {
    Exclusive,  // nobody else may open it
    DenyWrite,  // others may read
    DenyNone,   // others may read and write
};

// File attribute bits, as Windows defines them.
enum : std::uint32_t {
    kAttrReadOnly = 0x01,
    kAttrHidden = 0x02,
    kAttrSystem = 0x04,
    kAttrDirectory = 0x10,
    kAttrArchive = 0x20,
    kAttrNormal = 0x80,
};
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;

enum class FolderResult { Created, AlreadyExists, Failed };

// The processor Windows itself runs on, whatever this 32-bit process is emulated as.
enum class NativeMachine { X86, X64, Arm64 };

// What the machine is and which programs it runs: 64-bit Windows is every native machine but
// x86; x64 programs run natively on x64 and emulated on Arm64 where Windows offers it.
struct MachineReport {
    NativeMachine Native = NativeMachine::X64;
    bool RunsX64 = true;
};

// --- registry types ------------------------------------------------------------------------
// Predefined keys, with the values Windows gives them.
enum class RootKey : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

// Key access rights, as Windows defines them.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyNotify = 0x0010;
inline constexpr std::uint32_t kKeyCreateLink = 0x0020;
inline constexpr std::uint32_t kKeyWow64_64Key = 0x0100;
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;
inline constexpr std::uint32_t kKeyWow64Bits = kKeyWow64_64Key | kKeyWow64_32Key;
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;

// Registry value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegString = 1;
inline constexpr std::uint32_t kRegExpandString = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDWord = 4;
inline constexpr std::uint32_t kRegMultiString = 7;

struct RegistryValue {
    std::uint32_t type = kRegNone;
    // As stored, except that the string types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are UTF-8
    // here, with their terminating NULs.
    std::vector<std::uint8_t> data;
};

struct RegistryKeyInfo {
    std::uint32_t subkeys = 0;
    std::uint32_t longestSubkeyName = 0;  // in UTF-16 units, without the terminating NUL
};

// A predefined key or an open key, closed when it goes out of scope. Each platform keeps its
// own kind of handle behind it; a default-made key is closed.
class RegistryKey {
public:
    class Handle {
    public:
        virtual ~Handle() = default;
    };

    RegistryKey() = default;
    // Implicit, so a root can be passed wherever a base key is asked for.
    RegistryKey(RootKey root) : root_(root), isRoot_(true) {}
    explicit RegistryKey(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

    bool IsOpen() const { return isRoot_ || handle_ != nullptr; }
    bool IsRoot() const { return isRoot_; }
    RootKey Root() const { return root_; }
    Handle* Opened() const { return handle_.get(); }
    void Close() {
        handle_.reset();
        isRoot_ = false;
    }

private:
    RootKey root_ = RootKey::CurrentUser;
    bool isRoot_ = false;
    std::unique_ptr<Handle> handle_;
};

// --- file search ------------------------------------------------------------------------------
struct FoundFile {
    std::string name;  // without folder
    std::uint32_t attributes = 0;
};

// One search by pattern; the search handle is released with the object.
class FileSearch {
public:
    virtual ~FileSearch() = default;
    virtual const FoundFile& Current() const = 0;
    // Advances to the next entry; false once the search is exhausted.
    virtual bool Next() = 0;
};

// --- shell types ------------------------------------------------------------------------------
// Shell folder identifiers (CSIDL values).
inline constexpr int kCsidlPrograms = 0x02;
inline constexpr int kCsidlPersonal = 0x05;
inline constexpr int kCsidlDesktopDirectory = 0x10;
inline constexpr int kCsidlCommonPrograms = 0x17;
inline constexpr int kCsidlCommonDesktopDirectory = 0x19;
inline constexpr int kCsidlAppData = 0x1A;
inline constexpr int kCsidlCommonAppData = 0x23;
inline constexpr int kCsidlWindows = 0x24;
inline constexpr int kCsidlSystem = 0x25;
inline constexpr int kCsidlProgramFiles = 0x26;
inline constexpr int kCsidlProgramFilesCommon = 0x2B;

struct ShellLink {
    std::string target;
    std::string arguments;
    std::string workingFolder;
    std::string iconFile;
    int iconIndex = 0;
};

// The error raised when the system has no shell link object to write a shortcut with.
inline std::string ShellLinkErrorText(const std::string& linkFile, const std::string& reason) {
    return "Cannot create the shortcut \"" + linkFile + "\". " + reason;
}

// A top-level window of ours, as the system knows it (0: none).
using WindowRef = std::uintptr_t;

enum class LibraryCall { Called, NotLoaded, NoSuchFunction };

// --- threads --------------------------------------------------------------------------------
// Work running on a thread of its own; destroying the object waits until the work has returned.
// The work must catch what it raises: nothing crosses to the thread that started it.
class WorkerThread {
public:
    virtual ~WorkerThread() = default;
};

// A lock over what two threads share; one thread at a time holds it between Enter and Leave.
class ThreadLock {
public:
    virtual ~ThreadLock() = default;
    virtual void Enter() = 0;
    virtual void Leave() = 0;
};

// A wake-up one thread gives another: Wait returns once Set has been called since Wait last
// returned (at once when it already was). Meant for one waiting thread.
class ThreadSignal {
public:
    virtual ~ThreadSignal() = default;
    virtual void Set() = 0;
    virtual void Wait() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- process ---------------------------------------------------------------------
    // Full path of the running program's own file.
    virtual std::string OwnProgramPath() = 0;

    // --- files and folders -----------------------------------------------------------
    // Opens an existing file for reading; raises EFileError when it cannot.
    virtual std::unique_ptr<Stream> OpenForReading(const std::string& path, ShareMode share) = 0;
    // Creates the file, replacing an existing one, opened exclusively for writing;
    // raises EFileError when it cannot.
    virtual std::unique_ptr<FileStream> CreateForWriting(const std::string& path) = 0;
    // Creates the file only when nothing is there (CREATE_NEW), opened exclusively for writing:
    // a file someone made first, with its owner and permissions, is never written into.
    // Raises EFileError when it exists or cannot be created.
    virtual std::unique_ptr<FileStream> CreateNewForWriting(const std::string& path) = 0;
    // Attributes of a file or folder, or kInvalidAttributes when nothing is there.
    virtual std::uint32_t FileAttributes(const std::string& path) = 0;
    bool FileExists(const std::string& path);
    bool DirectoryExists(const std::string& path);
    // Creates one folder level; an existing folder is told apart from a failure.
    virtual FolderResult CreateFolder(const std::string& path) = 0;
    // Removes an empty folder; false when it cannot.
    virtual bool RemoveFolder(const std::string& path) = 0;
    // Deletes a file; false when it cannot.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Gives a file another name on the same drive, replacing a file of that name; the bytes,
    // dates and attributes go with it and nothing is copied. False when it cannot be renamed
    // (another drive, held open without sharing deletion, a folder at either path).
    virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
    // The temporary folder, with a trailing backslash.
    virtual std::string TemporaryFolder() = 0;
    // Whether the existing file at path would open as CreateForWriting opens it (reading and
    // writing, shared with nobody), asked without changing the file. A read-only attribute does
    // not count against it: the copy clears that first. False when no file is there.
    virtual bool OpensForWriting(const std::string& path) = 0;
    // The programs that hold any of these files open, by the names the system shows for them;
    // empty when the system cannot tell.
    virtual std::vector<std::string> ProgramsUsing(const std::vector<std::string>& paths) = 0;

    // Replaces all attributes of a file or folder; false when it cannot.
    virtual bool ChangeFileAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // Starts a search by folder and wildcard name ("*" and "?" as Windows matches them);
    // nullptr when nothing matches or the folder is missing. Folders other than a drive root
    // list "." and "..".
    virtual std::unique_ptr<FileSearch> FindFiles(const std::string& pattern) = 0;
    // Sets the last-write time from a packed local date-time (bits 25-31 year - 1980, 21-24
    // month, 16-20 day, 11-15 hour, 5-10 minute, 0-4 second / 2). False, with the time left as
    // it was, when the file cannot be reached or the value is no valid date.
    virtual bool SetFileDate(const std::string& path, std::uint32_t packed) = 0;
    // The last-write time as a packed local date-time (2-second resolution).
    virtual std::optional<std::uint32_t> FileDate(const std::string& path) = 0;
    // Bytes free for the calling user on the drive that holds path.
    virtual std::optional<std::uint64_t> FreeDiskSpace(const std::string& path) = 0;

    // --- registry ----------------------------------------------------------------------
    // Opens an existing key below base with the given rights; a closed key when it cannot.
    // KEY_WOW64_64KEY in access picks the 64-bit view of HKEY_LOCAL_MACHINE\Software.
    virtual RegistryKey OpenRegistryKey(const RegistryKey& base, const std::string& path,
                                        std::uint32_t access) = 0;
    // Opens the key, creating it and its missing parents first; a closed key when it cannot.
    virtual RegistryKey CreateRegistryKey(const RegistryKey& base, const std::string& path,
                                          std::uint32_t access) = 0;
    // A value with its type and raw data; nothing when it is missing or cannot be read.
    virtual std::optional<RegistryValue> ReadRegistryValue(const RegistryKey& key,
                                                           const std::string& name) = 0;
    virtual bool WriteRegistryValue(const RegistryKey& key, const std::string& name,
                                    const RegistryValue& value) = 0;
    // Deletes one value of an open key; false when it is missing or cannot be deleted.
    virtual bool RemoveRegistryValue(const RegistryKey& key, const std::string& name) = 0;
    virtual std::optional<RegistryKeyInfo> QueryRegistryKeyInfo(const RegistryKey& key) = 0;
    // The name of the subkey at index (in the system's order); nothing past the end or when
    // the key was not opened for enumeration.
    virtual std::optional<std::string> EnumRegistrySubkey(const RegistryKey& key, std::uint32_t index) = 0;
    // Deletes a key without subkeys in the process's default view.
    virtual bool RemoveRegistryKey(const RegistryKey& base, const std::string& path) = 0;
    // Whether advapi32 has the deletion with an explicit view (RegDeleteKeyExA).
    virtual bool CanRemoveRegistryKeyInView() = 0;
    // Deletes a key without subkeys in the view given by KEY_WOW64_64KEY / KEY_WOW64_32KEY;
    // false when the system lacks the call.
    virtual bool RemoveRegistryKeyInView(const RegistryKey& base, const std::string& path,
                                         std::uint32_t view) = 0;

    // --- shell ---------------------------------------------------------------------------
    // File-system path of a shell folder (CSIDL), or empty when the system has none.
    virtual std::string SpecialFolderPath(int csidl) = 0;
    // Writes a shell link file. Raises Exception when the link object cannot be created;
    // false when the file cannot be saved.
    virtual bool SaveShellLink(const std::string& linkFile, const ShellLink& link) = 0;
    // Reads target, arguments, working folder and icon back; nothing when it cannot.
    virtual std::optional<ShellLink> LoadShellLink(const std::string& linkFile) = 0;
    // Opens a file with its default action in a normal window; folder may be empty.
    virtual bool OpenWithDefaultAction(const std::string& file, const std::string& folder) = 0;
    // Starts a file through the shell's default action with a hidden window; parameters may
    // be empty.
    virtual bool StartHidden(const std::string& file, const std::string& parameters, WindowRef owner) = 0;
    // The shell's folder picker; nothing when the user cancels.
    virtual std::optional<std::string> PickFolder(WindowRef owner, const std::string& title,
                                                  const std::string& initial) = 0;
    // Whether a screen font family of this name is installed.
    virtual bool FontInstalled(const std::string& name) = 0;
    virtual int ScreenDpi() = 0;
    // Pixel height of "0" in MS Sans Serif 8 pt at the screen's DPI: the wizard's scaling unit.
    virtual int MeasureScalingHeight() = 0;

    // --- process -------------------------------------------------------------------------
    // True when this 32-bit process runs on 64-bit Windows; false when the system cannot tell.
    virtual bool ProcessIsWow64() = 0;
    // The native machine and whether it runs x64 programs; on a system that cannot tell more,
    // x64 under WOW64 and x86 otherwise.
    virtual MachineReport Machine() = 0;
    virtual int WindowsMajorVersion() = 0;
    // The user's language of the user interface as Windows' language id (0x0407 is German
    // (Germany)): the language the setup speaks unless told otherwise.
    virtual std::uint16_t UserUiLanguage() = 0;
    // The logged-on user's name, or empty.
    virtual std::string UserName() = 0;
    // A number from the system's random generator: names nobody can guess in advance.
    virtual std::uint64_t RandomNumber() = 0;
    // An environment variable, or empty when it is unset.
    virtual std::string EnvironmentVariable(const std::string& name) = 0;
    // Sets an environment variable of this process, which the programs it starts inherit; an
    // empty value removes it.
    virtual void SetEnvironmentValue(const std::string& name, const std::string& value) = 0;
    // Loads the library, calls the named export once without arguments and unloads it.
    virtual LibraryCall CallLibraryFunction(const std::string& library, const std::string& function) = 0;
    virtual void Pause(std::uint32_t milliseconds) = 0;

    // --- threads ---------------------------------------------------------------------
    // Runs work on a new thread; nullptr when the system gives no thread.
    virtual std::unique_ptr<WorkerThread> StartWorker(std::function<void()> work) = 0;
    virtual std::unique_ptr<ThreadLock> NewThreadLock() = 0;
    virtual std::unique_ptr<ThreadSignal> NewThreadSignal() = 0;

    // --- text ----------------------------------------------------------------------------
    // Bytes in a Windows code page as UTF-8; code page 0 is the system's ANSI code page, 65001
    // UTF-8 itself. Nothing when a byte sequence is no character of that code page, or the
    // system cannot convert it.
    virtual std::optional<std::string> TextAsUtf8(std::uint32_t codePage, const std::string& bytes) = 0;

    // --- dialogs -----------------------------------------------------------------------
    // Warning (caption "Warning", OK), question (caption "Confirm", Yes/No; true for Yes),
    // information (caption "Information", OK), and the error box (title as caption, error
    // icon, OK).
    virtual void WarningBox(const std::string& text) = 0;
    virtual bool QuestionBox(const std::string& text) = 0;
    virtual void InformationBox(const std::string& text) = 0;
    virtual void ErrorBox(const std::string& title, const std::string& text) = 0;
    // Warning with Retry and Cancel (caption "Warning"); true for Retry.
    virtual bool RetryCancelBox(const std::string& text) = 0;
    // The window every message box belongs to from now on, so that none can hide behind it;
    // 0 gives them to the active window of the thread, if any.
    virtual void SetDialogOwner(WindowRef owner) = 0;
};
