// Setup.ini described once: its sections, their keys with kinds and defaults, the list sections
// with what their names and values hold, and which variables each kind of value may use. The
// loader takes its keys and defaults from here, and plugsetup check its knowledge of the file.
#pragma once

#include <string>
#include <vector>

#include "engine/IniFile.h"
#include "texts/TextId.h"

// What a value is, which decides how the setup reads it and which variables it may hold.
enum class ValueKind {
    Boolean,               // an integer: 0 is false, any other number true; a word gives the default
    Label,                 // taken as written: a name, a number, an option word
    Text,                  // shown to the customer; holds the text variables
    Path,                  // a file or folder path or registry data; holds the path variables
    FolderPattern,         // DefaultFolder: "%d" is the major version, "%%" a percent sign
    RegistryPath,          // a key path, "key\value" or relative file path taken as written
    SettingLocation,       // "key\value" below the product's key; the key part holds path variables
    ComponentDestination,  // a path, optionally followed by ",DLLSuffix:" and a suffix
    ShortcutPlace,         // StartMenu, Desktop or ProgramFolder
    ShortcutValue,         // target path[,name text[,arguments[,icon number]]]
};

// What the setup does with a list line that holds no "=".
enum class LineWithoutEquals {
    Ignored,           // it names nothing and is skipped
    EmptyStringValue,  // the whole line is the location of a value that is written as empty text
};

struct SchemaKey {
    const char* Name;
    ValueKind Kind;
    const char* Default;  // the text used when the key is missing; "" for none, "0"/"1" for booleans
    // A built-in text used when the key is missing, in the run's language; Default holds its
    // English text.
    TextId DefaultText = TextId::None;
};

struct SchemaSection {
    const char* Name;
    bool IsList;
    // A section of single values: its keys, in the order the loader reads them.
    std::vector<SchemaKey> Keys;
    // A list section: what the name before "=" and the value after it hold.
    ValueKind NameHolds = ValueKind::Label;
    ValueKind ValueHolds = ValueKind::Label;
    LineWithoutEquals WithoutEquals = LineWithoutEquals::Ignored;
};

// Every section the setup reads, in the order of the guide.
const std::vector<SchemaSection>& SetupIniSchema();
// Looked up without regard to ASCII case; nullptr when the schema does not describe it.
const SchemaSection* FindSchemaSection(const std::string& section);
// A text key with the code of a built-in language after a dot ("Message.de") is that key's text
// for customers in that language: it finds the key itself.
const SchemaKey* FindSchemaKey(const std::string& section, const std::string& key);
// The language code after the key's last dot when it names a built-in language, else "".
std::string KeyLanguage(const std::string& key);

// Which variable names a kind of value may hold, "$" and all; %Name folder references are
// allowed exactly where the path variables are.
std::vector<std::string> VariablesFor(ValueKind kind);
bool HoldsPathVariables(ValueKind kind);
// The kinds whose text the setup splits and joins at backslashes, byte by byte.
bool IsPathLike(ValueKind kind);

// The loader's way into Setup.ini: a described key's value, or its default. A text key is read
// in the run's language first ("Message.de" for a German customer). Asking for a key
// or list the schema does not describe (or of another kind) is a fault of the program and raises
// EProgramFault, so the loader cannot read what plugsetup check does not know.
std::string ReadSchemaText(const IniFile& ini, const char* section, const char* key);
bool ReadSchemaBoolean(const IniFile& ini, const char* section, const char* key);
std::vector<std::string> ReadSchemaList(const IniFile& ini, const char* section);
