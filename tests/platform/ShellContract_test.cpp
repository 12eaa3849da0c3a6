// Shell folders, shortcuts, file-type icons and process facts on both machines.
#include "system/CommonUtils.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"
#include "tests/platform/ContractFixture.h"

namespace {

template <class Machine>
class ShellContract : public ContractFixture<Machine> {};
TYPED_TEST_SUITE(ShellContract, Machines);

TYPED_TEST(ShellContract, ShortcutsReadBackWhatWasWritten) {
    std::string target = this->Write("tool.exe", "MZ");
    std::string link = this->scratch_ + "Tool.lnk";
    this->created_.push_back("Tool.lnk");
    ASSERT_TRUE(CreateShortcut(this->P(), link, target, "--mode \"two words\"", -3));
    ShortcutTarget read = ReadShortcut(this->P(), link);
    ASSERT_TRUE(read.ok);
    EXPECT_TRUE(SameText(read.target, target)) << read.target;
    EXPECT_EQ(read.arguments, "--mode \"two words\"");
    std::optional<ShellLink> whole = this->P().LoadShellLink(link);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(SameText(IncludeBackslash(whole->workingFolder), this->scratch_)) << whole->workingFolder;
    EXPECT_TRUE(SameText(whole->iconFile, target));
    EXPECT_EQ(whole->iconIndex, -3);

    EXPECT_FALSE(ReadShortcut(this->P(), this->Write("plain.lnk", "not a link")).ok);
    EXPECT_FALSE(ReadShortcut(this->P(), this->scratch_ + "missing.lnk").ok);
    EXPECT_FALSE(CreateShortcut(this->P(), this->scratch_ + "no\\folder\\x.lnk", target, "", -1));
}

TYPED_TEST(ShellContract, FileTypeIconsComeFromTheClassesRoot) {
    IconLocation program = FileTypeIcon(this->P(), "C:\\Apps\\Tool.EXE");
    EXPECT_EQ(program.file, "C:\\Apps\\Tool.EXE");
    EXPECT_EQ(program.index, 0);

    const std::string extension = "." + this->id_;
    const std::string type = "PlugsetupContract." + this->id_;
    this->ClassKey("\\" + extension);
    this->ClassKey("\\" + type);
    TRegistry classes(this->P());
    classes.SetRootKey(RootKey::ClassesRoot);
    ASSERT_TRUE(classes.OpenKey("\\" + extension, true));
    classes.WriteString("", type);
    ASSERT_TRUE(classes.OpenKey("\\" + type + "\\DefaultIcon", true));
    classes.WriteString("", "  %SystemRoot%\\system32\\imageres.dll, -102 ");
    IconLocation registered = FileTypeIcon(this->P(), "C:\\Docs\\Readme" + extension);
    EXPECT_EQ(registered.file, "%SystemRoot%\\system32\\imageres.dll");
    EXPECT_EQ(registered.index, -102);

    classes.WriteString("", "C:\\Icons\\doc.ico");
    EXPECT_EQ(FileTypeIcon(this->P(), "x" + extension).file, "C:\\Icons\\doc.ico");
    EXPECT_EQ(FileTypeIcon(this->P(), "x" + extension).index, 0);
    EXPECT_EQ(FileTypeIcon(this->P(), "x.unregistered-" + this->id_).file, "x.unregistered-" + this->id_);
}

TYPED_TEST(ShellContract, SpecialFoldersAreRealFolders) {
    for (SpecialFolderKind kind :
         {SpecialFolderKind::Desktop, SpecialFolderKind::Documents, SpecialFolderKind::Programs,
          SpecialFolderKind::AppData, SpecialFolderKind::ProgramFiles, SpecialFolderKind::CommonFiles}) {
        std::string folder = SpecialFolder(this->P(), kind);
        EXPECT_TRUE(this->P().DirectoryExists(folder)) << static_cast<int>(kind) << ": " << folder;
    }
    EXPECT_EQ(GetProgramFilesFolder(this->P()), SpecialFolder(this->P(), SpecialFolderKind::ProgramFiles));
    EXPECT_EQ(GetDocumentsFolder(this->P()), SpecialFolder(this->P(), SpecialFolderKind::Documents));
    EXPECT_EQ(this->P().SpecialFolderPath(0x7F), "") << "an unknown folder is empty";
}

TYPED_TEST(ShellContract, LibrariesAreCalledByExportName) {
    EXPECT_EQ(this->P().CallLibraryFunction("kernel32.dll", "GetTickCount"), LibraryCall::Called);
    EXPECT_EQ(this->P().CallLibraryFunction("kernel32.dll", "NoSuchExportAnywhere"),
              LibraryCall::NoSuchFunction);
    EXPECT_EQ(this->P().CallLibraryFunction(this->scratch_ + "missing.dll", "Any"), LibraryCall::NotLoaded);
}

}  // namespace
