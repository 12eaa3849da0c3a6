#include "uninstall/UninstallKey.h"

#include <algorithm>
#include <vector>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/WindowsEx.h"
#include "texts/Texts.h"

bool NamesUninstaller(const std::string& command, const std::string& uninstallerPath) {
    std::string program = command;
    if (!program.empty() && program[0] == '"') program = program.substr(1, program.find('"', 1) - 1);
    return SameText(program, uninstallerPath);
}

std::string RecordedValue(Platform& platform, const std::string& uninstallerPath, const char* valueName) {
    TRegistry registry(platform);
    registry.SetRootKey(RootKey::LocalMachine);
    if (!registry.OpenKeyReadOnly(kUninstallKeyPath)) return "";
    for (const std::string& name : registry.KeyNames()) {
        try {
            if (!registry.OpenKeyReadOnly(std::string(kUninstallKeyPath) + "\\" + name)) continue;
            if (NamesUninstaller(registry.ReadString(kUninstallStringValue), uninstallerPath))
                return registry.ReadString(valueName);
        } catch (const ERegistryException&) {
            // a value of the wrong type names nothing
        }
    }
    return "";
}

std::span<const TextId> UninstallerTexts() {
    static constexpr TextId kTexts[] = {
        TextId::UninstallerTitleSuffix,
        TextId::WarningCaption,
        TextId::ConfirmCaption,
        TextId::InformationCaption,
        TextId::ApplicationErrorCaption,
        TextId::UninstallNoRightsMessage,
        TextId::ConfirmRemovalQuestion,
        TextId::UninstalledMessage,
        TextId::UninstalledWithLeftoversMessage,
        TextId::ForeignRecordMessage,
        TextId::NoBatchFolderMessage,
    };
    return kTexts;
}

std::string StoredUninstallerTexts() {
    std::string stored;
    for (TextId id : UninstallerTexts()) {
        const std::string* replaced = ReplacedText(id);
        if (replaced == nullptr) continue;
        if (!stored.empty()) stored += '\n';
        stored += std::string(TextName(id)) + "=" + *replaced;
    }
    return stored;
}

void ReplaceStoredUninstallerTexts(const std::string& stored) {
    const std::span<const TextId> texts = UninstallerTexts();
    std::size_t begin = 0;
    while (begin < stored.size()) {
        std::size_t end = stored.find('\n', begin);
        if (end == std::string::npos) end = stored.size();
        const std::string line = stored.substr(begin, end - begin);
        begin = end + 1;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const TextId id = TextNamed(line.substr(0, equals));
        if (std::find(texts.begin(), texts.end(), id) != texts.end())
            ReplaceText(id, line.substr(equals + 1));
    }
}

RecordStanding StandingOfRecord(Platform& platform, const std::string& uninstallerPath,
                                const std::string& recordDigest) {
    TRegistry registry(platform);
    registry.SetRootKey(RootKey::LocalMachine);
    if (!registry.OpenKeyReadOnly(kUninstallKeyPath)) return RecordStanding::Unregistered;
    const std::vector<std::string> names = registry.KeyNames();
    bool named = false, mismatched = false;
    for (const std::string& name : names) {
        try {
            if (!registry.OpenKeyReadOnly(std::string(kUninstallKeyPath) + "\\" + name)) continue;
            if (!NamesUninstaller(registry.ReadString(kUninstallStringValue), uninstallerPath)) continue;
            named = true;
            const std::string digest = registry.ReadString(kRecordDigestValue);
            if (digest.empty()) continue;
            if (SameText(digest, recordDigest)) return RecordStanding::Authentic;
            mismatched = true;
        } catch (const ERegistryException&) {
            // a value of the wrong type names nothing
        }
    }
    if (mismatched) return RecordStanding::Foreign;
    return named ? RecordStanding::WithoutDigest : RecordStanding::Unregistered;
}
