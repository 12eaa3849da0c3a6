// The registry accessor over both machines, in the real registry under Wine.
#include <algorithm>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/WindowsEx.h"
#include "tests/platform/ContractFixture.h"

namespace {

template <class Machine>
class RegistryContract : public ContractFixture<Machine> {
protected:
    // An accessor on HKEY_LOCAL_MACHINE in the chosen view.
    TRegistry64 Machine64(bool view64) {
        TRegistry64 registry(this->P(), view64);
        registry.SetRootKey(RootKey::LocalMachine);
        return registry;
    }
    bool KeyExists(bool view64, const std::string& path) {
        TRegistry64 registry = Machine64(view64);
        return registry.OpenKeyReadOnly(path);
    }
};
TYPED_TEST_SUITE(RegistryContract, Machines);

TYPED_TEST(RegistryContract, DeletionInThe64BitViewRemovesTheWholeTreeAndKeepsTheCurrentKey) {
    TRegistry64 registry = this->Machine64(true);
    for (const char* leaf : {"\\tree\\a\\b", "\\tree\\a\\c", "\\tree\\d"})
        ASSERT_TRUE(registry.OpenKey(this->key_ + leaf, true));
    ASSERT_TRUE(registry.OpenKey(this->key_, false));
    EXPECT_TRUE(registry.DeleteKey("tree")) << "a relative path starts at the current key";
    EXPECT_FALSE(this->KeyExists(true, this->key_ + "\\tree"));
    EXPECT_EQ(registry.CurrentPath(), this->key_.substr(1));
    EXPECT_NO_THROW(registry.WriteString("still", "open")) << "the current key is back after the deletion";

    EXPECT_FALSE(registry.DeleteKey("tree")) << "a missing key is reported, not raised";
    TRegistry plain(this->P());
    EXPECT_FALSE(plain.DeleteKey(this->key_ + "\\missing"));
}

TYPED_TEST(RegistryContract, AbsolutePathsStartAtTheRootAndRelativeOnesAtTheCurrentKey) {
    TRegistry registry(this->P());
    ASSERT_TRUE(registry.OpenKey(this->key_, true));
    ASSERT_TRUE(registry.OpenKey("child", true));
    EXPECT_EQ(registry.CurrentPath(), this->key_.substr(1) + "\\child");
    registry.WriteString("Name", "value");
    EXPECT_FALSE(registry.OpenKey("Software", false)) << "Software is no subkey of child";
    EXPECT_EQ(registry.ReadString("Name"), "value") << "a failed open keeps the current key";
    ASSERT_TRUE(registry.OpenKey(this->key_, false));
    EXPECT_EQ(registry.KeyNames(), std::vector<std::string>{"child"});
    ASSERT_TRUE(registry.OpenKeyReadOnly(this->key_ + "\\child"));
    EXPECT_EQ(registry.ReadString("Name"), "value");
}

TYPED_TEST(RegistryContract, StringValuesReadAsTextAndOtherTypesRaise) {
    TRegistry registry(this->P());
    ASSERT_TRUE(registry.OpenKey(this->key_, true));
    EXPECT_EQ(registry.ReadString("Missing"), "") << "a missing value is empty text";
    registry.WriteInteger("Number", -2);
    try {
        registry.ReadString("Number");
        FAIL() << "a DWORD is no string";
    } catch (const ERegistryException& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'Number'");
    }
    RegistryKey key = this->P().OpenRegistryKey(RootKey::CurrentUser, this->key_.substr(1), kKeyAllAccess);
    const std::string cut("two\0parts", 10);
    ASSERT_TRUE(this->P().WriteRegistryValue(key, "Cut", {kRegString, {cut.begin(), cut.end()}}));
    EXPECT_EQ(registry.ReadString("Cut"), "two") << "a string ends at its first NUL";
    const std::string expand = "%SystemRoot%\\x";
    RegistryValue expandable{kRegExpandString, {expand.begin(), expand.end()}};
    expandable.data.push_back(0);
    ASSERT_TRUE(this->P().WriteRegistryValue(key, "Expand", expandable));
    EXPECT_EQ(registry.ReadString("Expand"), expand) << "expandable strings stay unexpanded";
    std::optional<RegistryValue> number = this->P().ReadRegistryValue(key, "Number");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->type, kRegDWord);
    EXPECT_EQ(number->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(this->P().RemoveRegistryValue(key, "Number"));
    EXPECT_FALSE(this->P().ReadRegistryValue(key, "Number")) << "a removed value is gone";
    EXPECT_FALSE(this->P().RemoveRegistryValue(key, "Number")) << "a missing one is reported";
}

TYPED_TEST(RegistryContract, ReadOnlyKeysRefuseWritesAndKeepTheirView) {
    TRegistry64 writer = this->Machine64(true);
    ASSERT_TRUE(writer.OpenKey(this->key_, true));
    writer.WriteString("Where", "64");
    TRegistry64 reader = this->Machine64(true);
    ASSERT_TRUE(reader.OpenKeyReadOnly(this->key_));
    EXPECT_EQ(reader.Access(), kKeyRead | kKeyWow64_64Key);
    EXPECT_EQ(reader.ReadString("Where"), "64");
    try {
        reader.WriteString("Where", "no");
        FAIL() << "a key opened for reading takes no writes";
    } catch (const ERegistryException& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Where'");
    }
}

TYPED_TEST(RegistryContract, TheTwoViewsOfTheMachineSoftwareKeyAreApart) {
    TRegistry64 only64 = this->Machine64(true);
    ASSERT_TRUE(only64.OpenKey(this->key_ + "\\only64", true));
    TRegistry64 only32 = this->Machine64(false);
    ASSERT_TRUE(only32.OpenKey(this->key_ + "\\only32", true));
    EXPECT_TRUE(this->KeyExists(true, this->key_ + "\\only64"));
    EXPECT_FALSE(this->KeyExists(false, this->key_ + "\\only64"));
    EXPECT_TRUE(this->KeyExists(false, this->key_ + "\\only32"));
    EXPECT_FALSE(this->KeyExists(true, this->key_ + "\\only32"));

    TRegistry64 user(this->P(), true);
    ASSERT_TRUE(user.OpenKey(this->key_ + "\\shared", true));
    TRegistry user32(this->P());
    EXPECT_TRUE(user32.OpenKeyReadOnly(this->key_ + "\\shared")) << "HKEY_CURRENT_USER has one view";
}

TYPED_TEST(RegistryContract, AdminProbeStepsOverAnExistingTestFolder) {
    std::string programFiles = IncludeBackslash(GetProgramFilesFolder(this->P()));
    bool hadTest0 = this->P().DirectoryExists(programFiles + "Test0");
    if (!hadTest0) {
        ASSERT_EQ(this->P().CreateFolder(programFiles + "Test0"), FolderResult::Created);
    }
    ASSERT_FALSE(this->P().DirectoryExists(programFiles + "Test1"));
    EXPECT_TRUE(HasAdminRights(this->P()));
    EXPECT_TRUE(this->P().DirectoryExists(programFiles + "Test0"));
    EXPECT_FALSE(this->P().DirectoryExists(programFiles + "Test1")) << "the probe leaves nothing behind";
    if (!hadTest0) this->P().RemoveFolder(programFiles + "Test0");
}

}  // namespace
