#include <gtest/gtest.h>

#include "engine/Configuration.h"
#include "engine/SetupSchema.h"
#include "engine/Variables.h"
#include "system/Exceptions.h"

namespace {

// Every key and list the schema describes, set to something, plus keys it does not know.
std::string EveryKey() {
    std::string text;
    for (const SchemaSection& section : SetupIniSchema()) {
        text += "[" + std::string(section.Name) + "]\n";
        for (const SchemaKey& key : section.Keys)
            text += std::string(key.Name) + "=" + (key.Kind == ValueKind::Boolean ? "1" : "x") + "\n";
        if (section.IsList) text += "Name=Value\n";
    }
    return text + "[Setup]\nNotAKey=1\n[Extra]\nKey=1\n";
}

TEST(SetupSchema, TheLoaderReadsOnlyWhatTheSchemaDescribes) {
    IniFile ini(SplitTextLines(EveryKey()));
    SetupValues values;
    ReadSetupIni(ini, values);
    ASSERT_FALSE(ini.Lookups().empty());
    for (const auto& [section, key] : ini.Lookups()) {
        const SchemaSection* described = FindSchemaSection(section);
        ASSERT_NE(described, nullptr) << "[" << section << "] is read but not in the schema";
        if (key.empty())
            EXPECT_TRUE(described->IsList) << "[" << section << "] is read as a list";
        else
            EXPECT_NE(FindSchemaKey(section, key), nullptr) << "[" << section << "] " << key << " is read";
    }
    // Asking for what is not described is refused, so a key cannot be added to the loader alone.
    EXPECT_THROW(ReadSchemaText(ini, "Setup", "NotAKey"), EProgramFault);
    EXPECT_THROW(ReadSchemaBoolean(ini, "Setup", "ProductName"), EProgramFault);
    EXPECT_THROW(ReadSchemaList(ini, "Setup"), EProgramFault);
}

TEST(SetupSchema, DefaultsAreTheSchemasAndKeysMatchWithoutCase) {
    IniFile empty(SplitTextLines("[Setup]\n"));
    EXPECT_EQ(ReadSchemaText(empty, "Setup", "InstallDescription"), "$ProductName");
    EXPECT_TRUE(ReadSchemaBoolean(empty, "setup", "ignoreminorversion"));
    EXPECT_FALSE(ReadSchemaBoolean(empty, "Pages", "VstPluginFolder"));
    EXPECT_EQ(FindSchemaKey("SETUP", "publisher")->Kind, ValueKind::Label)
        << "known to check, read by no one yet";
    EXPECT_EQ(FindSchemaSection("Shortcuts")->ValueHolds, ValueKind::ShortcutValue);
}

TEST(SetupSchema, EachKindHoldsTheVariablesOfItsExpansion) {
    const std::vector<std::string> text = VariablesFor(ValueKind::Text);
    const std::vector<std::string> path = VariablesFor(ValueKind::ComponentDestination);
    EXPECT_EQ(text.size(), TextVariables().size());
    EXPECT_EQ(path.size(), PathVariables().size() + 2) << "and the two bundle item variables";
    EXPECT_NE(std::find(path.begin(), path.end(), "$Vst3PluginFolder"), path.end());
    EXPECT_EQ(std::find(path.begin(), path.end(), "$ProductName"), path.end());
    EXPECT_TRUE(VariablesFor(ValueKind::RegistryPath).empty());
    EXPECT_TRUE(IsPathLike(ValueKind::SettingLocation));
    EXPECT_FALSE(IsPathLike(ValueKind::Text));
    // Every folder variable with a switch is emptied by it, as the table says.
    for (const PathVariable& variable : PathVariables()) {
        if (variable.Format == PluginFormat::None) continue;
        SetupValues values;
        (variable.Folder ? values.*variable.Folder : values.Format(variable.Format).Folder) = "C:\\Folder";
        EXPECT_EQ(ExpandPath(values, std::string(variable.Name) + "\\x", nullptr), "C:\\Folder\\x");
        values.Format(variable.Format).Install = false;
        EXPECT_EQ(ExpandPath(values, std::string(variable.Name) + "\\x", nullptr), "") << variable.Name;
    }
}

}  // namespace
