// The registry accessor's path rules, deletion and views, and the probes, on the in-memory
// machine.
#include <gtest/gtest.h>

#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"
#include "system/memory/MemoryPlatform.h"

namespace {

bool Exists(Platform& platform, RootKey root, const std::string& path, bool view64 = false) {
    return platform.OpenRegistryKey(root, path, kKeyRead | (view64 ? kKeyWow64_64Key : 0)).IsOpen();
}

TEST(TRegistry, StartsOnTheCurrentUserWithFullAccessAndChangingTheRootClosesTheKey) {
    MemoryPlatform machine;
    TRegistry registry(machine);
    EXPECT_EQ(registry.GetRootKey(), RootKey::CurrentUser);
    EXPECT_EQ(registry.Access(), kKeyAllAccess);
    ASSERT_TRUE(registry.OpenKey("Software\\Vendor", true));
    EXPECT_EQ(registry.CurrentPath(), "Software\\Vendor");
    registry.SetRootKey(RootKey::LocalMachine);
    EXPECT_FALSE(registry.HasCurrentKey());
    EXPECT_EQ(registry.CurrentPath(), "");
    EXPECT_TRUE(registry.OpenKey("Software", false))
        << "with no current key a relative path starts at the root";
    EXPECT_EQ(registry.ReadString("NoValue"), "");
}

TEST(TRegistry, ReadOnlyOpeningFallsBackToNarrowerRights) {
    MemoryPlatform machine;
    TRegistry setup(machine);
    ASSERT_TRUE(setup.OpenKey("\\Software\\Guarded\\Child", true));
    machine.DenyRegistryAccess(RootKey::CurrentUser, "Software\\Guarded", kKeyNotify);
    TRegistry registry(machine);
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Guarded"));
    EXPECT_EQ(registry.Access(), 0x20009u) << "reading without change notification";
    EXPECT_EQ(registry.KeyNames(), std::vector<std::string>{"Child"});

    machine.DenyRegistryAccess(RootKey::CurrentUser, "Software\\Guarded", kKeyEnumerateSubKeys);
    ASSERT_TRUE(registry.OpenKeyReadOnly("\\Software\\Guarded"));
    EXPECT_EQ(registry.Access(), kKeyQueryValue);
    EXPECT_TRUE(registry.KeyNames().empty()) << "a key that cannot be enumerated lists nothing";

    machine.DenyRegistryAccess(RootKey::CurrentUser, "Software\\Guarded", kKeyQueryValue);
    EXPECT_FALSE(registry.OpenKeyReadOnly("\\Software\\Guarded"));
}

TEST(TRegistry, AbsoluteDeletionIgnoresASameNamedKeyBelowTheCurrentKey) {
    MemoryPlatform machine;
    TRegistry registry(machine);
    ASSERT_TRUE(registry.OpenKey("\\Doomed\\Kid", true));
    ASSERT_TRUE(registry.OpenKey("\\Keeper\\Doomed\\Kid", true));
    ASSERT_TRUE(registry.OpenKey("\\Keeper", false));
    EXPECT_TRUE(registry.DeleteKey("\\Doomed"));
    EXPECT_FALSE(Exists(machine, RootKey::CurrentUser, "Doomed"));
    EXPECT_TRUE(Exists(machine, RootKey::CurrentUser, "Keeper\\Doomed\\Kid"))
        << "the current key's subtree stays";
}

TEST(TRegistry64, DeletesNothingWhereTheSystemCannotDeleteInAView) {
    MemoryPlatform machine;
    machine.SetRegistryKeyRemovalInView(false);
    TRegistry64 registry(machine, true);
    registry.SetRootKey(RootKey::LocalMachine);
    ASSERT_TRUE(registry.OpenKey("\\Software\\Vendor\\Product", true));
    EXPECT_FALSE(registry.DeleteKey("\\Software\\Vendor"));
    EXPECT_TRUE(Exists(machine, RootKey::LocalMachine, "Software\\Vendor\\Product", true));

    TRegistry64 plain(machine, false);
    plain.SetRootKey(RootKey::LocalMachine);
    ASSERT_TRUE(plain.OpenKey("\\Software\\Vendor\\Product", true));
    EXPECT_TRUE(plain.DeleteKey("\\Software\\Vendor")) << "the default view needs no lookup";
}

TEST(TRegistry64, ThirtyTwoBitKeysLiveBelowWow6432NodeOnlyUnderWow64) {
    MemoryPlatform machine;
    TRegistry64 registry(machine, false);
    registry.SetRootKey(RootKey::LocalMachine);
    ASSERT_TRUE(registry.OpenKey("\\Software\\Vendor", true));
    EXPECT_TRUE(Exists(machine, RootKey::LocalMachine, "Software\\Wow6432Node\\Vendor", true));
    ASSERT_TRUE(registry.OpenKey("\\Software\\Classes\\.vendor", true));
    EXPECT_TRUE(Exists(machine, RootKey::LocalMachine, "Software\\Classes\\.vendor", true))
        << "Classes is shared";
    EXPECT_TRUE(Exists(machine, RootKey::ClassesRoot, ".vendor"));

    machine.SetWow64(false);
    EXPECT_FALSE(IsWow64(machine)) << "asked anew, not cached";
    ASSERT_TRUE(registry.OpenKey("\\Software\\Other", true));
    EXPECT_TRUE(Exists(machine, RootKey::LocalMachine, "Software\\Other", true))
        << "32-bit Windows has one view";
}

TEST(HasAdminRights, NeedsAFolderInProgramFilesAndFullAccessToTheMachineSoftwareKey) {
    MemoryPlatform machine;
    machine.AddFolder("C:\\Program Files (x86)\\Test0");
    EXPECT_TRUE(HasAdminRights(machine));
    EXPECT_TRUE(machine.DirectoryExists("C:\\Program Files (x86)\\Test0"));
    EXPECT_FALSE(machine.DirectoryExists("C:\\Program Files (x86)\\Test1"));

    machine.FailFolderCreation("C:\\Program Files (x86)\\Test1");
    EXPECT_FALSE(HasAdminRights(machine)) << "the probe went on to Test1, which it may not create";

    MemoryPlatform locked;
    locked.DenyRegistryAccess(RootKey::LocalMachine, "SOFTWARE", kKeySetValue);
    EXPECT_FALSE(HasAdminRights(locked));
}

}  // namespace
