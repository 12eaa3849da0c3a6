// Folder fallbacks, file-type icons, shortcuts, the picker, and the wizard's font and scaling
// rules on the in-memory machine.
#include <gtest/gtest.h>

#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/memory/MemoryPlatform.h"

namespace {

void SetMachineValue(MemoryPlatform& machine, const std::string& name, const RegistryValue& value) {
    RegistryKey key = machine.OpenRegistryKey(RootKey::LocalMachine,
                                              "Software\\Microsoft\\Windows\\CurrentVersion", kKeyAllAccess);
    ASSERT_TRUE(machine.WriteRegistryValue(key, name, value));
}

TEST(SpecialFolders, FallBackToTheRegistryAndThenToFixedFolders) {
    MemoryPlatform machine;
    machine.SetSpecialFolder(kCsidlProgramFiles, "");
    machine.SetSpecialFolder(kCsidlProgramFilesCommon, "");
    EXPECT_EQ(GetProgramFilesFolder(machine), "C:\\Program Files (x86)")
        << "the 32-bit view's ProgramFilesDir";
    EXPECT_EQ(GetCommonFilesFolder(machine), "C:\\Program Files (x86)\\Common Files");

    SetMachineValue(machine, "ProgramFilesDir", RegistryValue{kRegDWord, {1, 0, 0, 0}});
    EXPECT_EQ(GetProgramFilesFolder(machine), "C:\\Program Files")
        << "a value of the wrong type is passed over";
    SetMachineValue(machine, "ProgramFilesDir", RegistryValue{kRegString, {0}});
    EXPECT_EQ(GetProgramFilesFolder(machine), "C:\\Program Files")
        << "an empty value does not replace the default";
    machine.DenyRegistryAccess(RootKey::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                               kKeyQueryValue);
    EXPECT_EQ(GetCommonFilesFolder(machine), "C:\\Program Files\\Common Files");

    EXPECT_EQ(GetAppDataFolder(machine), "C:\\Users\\user\\AppData\\Roaming");
    machine.SetSpecialFolder(kCsidlAppData, "");
    EXPECT_EQ(GetAppDataFolder(machine), "C:\\Program Files");
    machine.SetSpecialFolder(kCsidlPersonal, "");
    EXPECT_EQ(GetDocumentsFolder(machine), "C:\\My Documents");
}

TEST(FileTypeIcon, ReadsTheTypesDefaultIconUnexpanded) {
    MemoryPlatform machine;
    IconLocation text = FileTypeIcon(machine, "C:\\Docs\\Readme.TXT");
    EXPECT_EQ(text.file, "%SystemRoot%\\system32\\imageres.dll");
    EXPECT_EQ(text.index, -102);
    EXPECT_EQ(FileTypeIcon(machine, "C:\\a.ico").file, "C:\\a.ico");
    EXPECT_EQ(FileTypeIcon(machine, "C:\\v1.0\\Readme").file, "C:\\v1.0\\Readme")
        << "no extension, no lookup";

    RegistryKey icon = machine.OpenRegistryKey(RootKey::ClassesRoot, "txtfile\\DefaultIcon", kKeyAllAccess);
    const std::string bad = "shell.dll,first";
    machine.WriteRegistryValue(icon, "", RegistryValue{kRegString, {bad.begin(), bad.end()}});
    EXPECT_EQ(FileTypeIcon(machine, "a.txt").file, bad) << "an unreadable index leaves the whole text";
    EXPECT_EQ(FileTypeIcon(machine, "a.txt").index, 0);
    machine.WriteRegistryValue(icon, "", RegistryValue{kRegBinary, {1, 2}});
    EXPECT_EQ(FileTypeIcon(machine, "a.txt").file, "a.txt") << "registry errors are swallowed";
}

TEST(Shortcuts, TakeTheTypeIconForIndexZeroAndTheTargetsFolderToWorkIn) {
    MemoryPlatform machine;
    ASSERT_TRUE(
        CreateShortcut(machine, "C:\\Users\\user\\Desktop\\Readme.lnk", "C:\\App\\Readme.txt", "", 0));
    std::optional<ShellLink> link = machine.LoadShellLink("C:\\Users\\user\\Desktop\\Readme.lnk");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->workingFolder, "C:\\App\\");
    EXPECT_EQ(link->iconFile, "%SystemRoot%\\system32\\imageres.dll");
    EXPECT_EQ(link->iconIndex, -102);
    EXPECT_TRUE(machine.HasFile("C:\\Users\\user\\Desktop\\Readme.lnk")) << "a link is a file like any other";

    machine.SetShellLinksAvailable(false);
    EXPECT_THROW(CreateShortcut(machine, "C:\\Users\\user\\Desktop\\X.lnk", "C:\\App\\x.exe", "", 0),
                 Exception);
}

TEST(BrowseForFolder, PreselectsWithoutTheTrailingBackslashAndKeepsTheInitialTextOnCancel) {
    MemoryPlatform machine;
    machine.AnswerFolderPickers({std::nullopt, std::string("D:\\Plugins")});
    EXPECT_EQ(BrowseForFolder(machine, 0, "Choose", "C:\\Foo\\"), "C:\\Foo\\");
    EXPECT_EQ(BrowseForFolder(machine, 0, "Choose", "C:\\Foo\\"), "D:\\Plugins");
    ASSERT_EQ(machine.FolderPickers().size(), 2u);
    EXPECT_EQ(machine.FolderPickers()[0].selection, "C:\\Foo");
    EXPECT_EQ(FolderPickerSelection("C:\\"), "C:");
}

TEST(UiFont, PicksTheSystemsFontOnlyWhenInstalled) {
    MemoryPlatform machine;
    EXPECT_EQ(ChooseUiFont(machine).name, "MS Shell Dlg 2");
    machine.AddFont("Tahoma");
    EXPECT_EQ(ChooseUiFont(machine).name, "MS Shell Dlg 2") << "Windows 10 wants Segoe UI";
    machine.SetWindowsMajorVersion(5);
    EXPECT_EQ(ChooseUiFont(machine).name, "Tahoma");
    EXPECT_EQ(ChooseUiFont(machine).points, 8);
    machine.SetWindowsMajorVersion(6);
    machine.AddFont("segoe ui");
    EXPECT_EQ(ChooseUiFont(machine).name, "Segoe UI");
    EXPECT_EQ(ChooseUiFont(machine).points, 9);
}

TEST(DesignScale, RoundsLikeMulDivAndMeasuresOnce) {
    EXPECT_EQ(MulDivRound(220, 16, 13), 271);
    EXPECT_EQ(MulDivRound(13, 3, 2), 20) << "half rounds away from zero";
    EXPECT_EQ(MulDivRound(-13, 3, 2), -20);
    EXPECT_EQ(MulDivRound(1, 1, 0), -1);
    EXPECT_EQ(MulDivRound(0x7FFFFFFF, 4, 1), -1);

    MemoryPlatform standard;
    DesignScale at96(standard);
    EXPECT_EQ(at96.Scale(220), 220);
    EXPECT_EQ(standard.ScalingMeasurements(), 0) << "96 DPI needs no measuring";

    MemoryPlatform large;
    large.SetScreenDpi(120);
    large.SetScalingHeight(16);
    DesignScale at120(large);
    EXPECT_EQ(at120.Scale(220), 271);
    EXPECT_EQ(at120.Scale(13), 16);
    EXPECT_EQ(large.ScalingMeasurements(), 1);
}

}  // namespace
