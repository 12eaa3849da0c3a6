// The product's entry in the system's list of installed programs (HKLM, writable only by
// administrators), as far as the uninstaller and the setup trust a record by it: the setup
// stores the digest of the record it wrote there, and a record is ours only when it matches.
#pragma once

#include <span>
#include <string>

#include "system/Platform.h"
#include "texts/TextId.h"

inline constexpr char kUninstallKeyPath[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kUninstallStringValue[] = "UninstallString";
// What winget and deployment tools run to remove the product without a person: the uninstaller
// with the switch that shows nothing.
inline constexpr char kQuietUninstallStringValue[] = "QuietUninstallString";
inline std::string QuietUninstallCommand(const std::string& uninstallerPath) {
    return "\"" + uninstallerPath + "\" /VERYSILENT";
}
// The code of the language the setup ran in ("de"), which its uninstaller speaks; written only
// for a language other than English.
inline constexpr char kSetupLanguageValue[] = "SetupLanguage";
// The vendor's own texts for the uninstaller (Setup.ini's [Texts] lines and language keys for
// the ids of UninstallerTexts()), as the setup's run showed them: one "Name=text" line each,
// separated by line feeds, which no line of Setup.ini holds. Written only when the vendor
// replaced one of them.
inline constexpr char kSetupTextsValue[] = "SetupTexts";
// SHA-256 of the uninstall record's bytes, 64 hexadecimal digits.
inline constexpr char kRecordDigestValue[] = "UninstallRecordDigest";

// Whether an "UninstallString" starts the uninstaller at uninstallerPath (letters in either
// case; written unquoted, read quoted too).
bool NamesUninstaller(const std::string& command, const std::string& uninstallerPath);

// What the list of installed programs says of a record read from the uninstaller at
// uninstallerPath: an entry names that uninstaller with the record's digest (Authentic), with
// another digest (Foreign), only without one (WithoutDigest: written before digests existed),
// or no entry names it (Unregistered).
enum class RecordStanding { Authentic, Foreign, WithoutDigest, Unregistered };
RecordStanding StandingOfRecord(Platform& platform, const std::string& uninstallerPath,
                                const std::string& recordDigest);
// A value (SetupLanguage, SetupTexts) of the entry that names the uninstaller at
// uninstallerPath, or "".
std::string RecordedValue(Platform& platform, const std::string& uninstallerPath, const char* valueName);

// The texts the uninstaller shows: its title, its boxes' captions, its question and reports.
std::span<const TextId> UninstallerTexts();
// The SetupTexts value of this run: the vendor's replacements among UninstallerTexts(), as
// written; "" when the vendor replaced none. The names hold no '$' and no value a line feed,
// so the setup expands its $Variables in the whole value at once.
std::string StoredUninstallerTexts();
// Replaces the uninstaller's texts by the lines of a SetupTexts value; a line that names no
// text of UninstallerTexts() is passed over.
void ReplaceStoredUninstallerTexts(const std::string& stored);
