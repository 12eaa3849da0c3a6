#include "uninstall/UninstallKey.h"

#include <vector>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/WindowsEx.h"

bool NamesUninstaller(const std::string& command, const std::string& uninstallerPath) {
    std::string program = command;
    if (!program.empty() && program[0] == '"') program = program.substr(1, program.find('"', 1) - 1);
    return SameText(program, uninstallerPath);
}

std::string RecordedLanguage(Platform& platform, const std::string& uninstallerPath) {
    TRegistry registry(platform);
    registry.SetRootKey(RootKey::LocalMachine);
    if (!registry.OpenKeyReadOnly(kUninstallKeyPath)) return "";
    for (const std::string& name : registry.KeyNames()) {
        try {
            if (!registry.OpenKeyReadOnly(std::string(kUninstallKeyPath) + "\\" + name)) continue;
            if (NamesUninstaller(registry.ReadString(kUninstallStringValue), uninstallerPath))
                return registry.ReadString(kSetupLanguageValue);
        } catch (const ERegistryException&) {
            // a value of the wrong type names nothing
        }
    }
    return "";
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
