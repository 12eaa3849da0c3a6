// TInstaller: the uninstaller copy of the running program with the uninstall record, and its
// registration under the system's Uninstall key.
#include "archive/SetupClasses.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"
#include "uninstall/UninstallRecord.h"

void TInstaller::WriteUninstallData(Stream& stream, const std::string& extraData) {
    WriteUninstallRecord(stream, info_.Version, log_, extraData);
}

void TInstaller::CreateUninstaller(const std::string& uninstallerPath, const std::string& keyName,
                                   const std::string& displayName, const std::string& extraData) {
    // An empty name would make the key the Uninstall key itself, and the uninstaller would
    // then delete every program's registration; such a copy is written but not registered.
    const bool registered = !keyName.empty();
    if (registered) AddItem(ItemKind::LocalMachineKey, std::string(kUninstallKeyPath) + "\\" + keyName);

    // The program is opened before the copy is created, so a copy over the program itself
    // fails instead of truncating it.
    auto own = platform_.OpenForReading(programPath_, ShareMode::DenyNone);
    own->Seek(kArchiveOffsetWordPosition);
    std::int32_t prefix = own->ReadInt32();
    // Without an appended archive (Setup.dat) the copy is the whole program.
    if (prefix <= 0) prefix = static_cast<std::int32_t>(own->Size());
    {
        auto copy = platform_.CreateForWriting(uninstallerPath);
        own->Seek(0);
        CopyStream(*own, *copy, prefix);
        copy->Seek(kArchiveOffsetWordPosition);
        copy->WriteInt32(prefix);
        copy->WriteInt32(1);  // the uninstaller marker word
        copy->Seek(prefix);
        WriteUninstallData(*copy, extraData);
    }
    own.reset();
    if (registered) RegisterUninstaller(uninstallerPath, keyName, displayName);
}

void TInstaller::RegisterUninstaller(const std::string& uninstallerPath, const std::string& keyName,
                                     const std::string& displayName) {
    const std::string uninstallKey = kUninstallKeyPath;
    TRegistry registry(platform_);
    registry.SetRootKey(RootKey::LocalMachine);
    // Earlier installations may have registered the same uninstaller under another name.
    if (registry.OpenKey(uninstallKey, false)) {
        for (const std::string& name : registry.KeyNames()) {
            try {
                const std::string key = uninstallKey + "\\" + name;
                if (!registry.OpenKey(key, false)) continue;
                std::string command = registry.ReadString(kUninstallStringValue);
                registry.CloseKey();
                if (SameText(command, uninstallerPath)) registry.DeleteKey(key);
            } catch (const ERegistryException&) {
                // one unreadable key does not stop the others
            }
        }
    }
    try {
        if (!registry.OpenKey(uninstallKey + "\\" + keyName, true)) return;
        registry.WriteString(kDisplayNameValue, displayName);
        registry.WriteString(kUninstallStringValue, uninstallerPath);
    } catch (const ERegistryException&) {
        // the product stays installed; only its entry in the list of programs is missing
    }
}
