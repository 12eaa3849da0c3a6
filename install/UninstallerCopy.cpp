// TInstaller: the uninstaller with the uninstall record, either the one the archive carries or
// a copy of the running program, and its registration under the system's Uninstall key.
#include <algorithm>
#include <climits>
#include <cstring>

#include "archive/PeImage.h"
#include "archive/ProgramHeader.h"
#include "install/Installer.h"
#include "install/RunChanges.h"
#include "system/FileErrors.h"
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"
#include "uninstall/UninstallRecord.h"

namespace {

constexpr std::int64_t kBytesPerKiB = 1024;

// The list of installed programs counts in KiB, rounded up.
std::int32_t KiB(std::int64_t bytes) {
    const std::int64_t kib = (bytes + kBytesPerKiB - 1) / kBytesPerKiB;
    return static_cast<std::int32_t>(std::min<std::int64_t>(kib, INT32_MAX));
}

void WriteListingText(TRegistry& registry, const char* name, const std::string& text) {
    try {
        registry.WriteString(name, text);
    } catch (const ERegistryException&) {
    }
}

void WriteListingNumber(TRegistry& registry, const char* name, std::int32_t number) {
    try {
        registry.WriteInteger(name, number);
    } catch (const ERegistryException&) {
    }
}

// Fresh names are random; this many taken ones in a row mean something else is wrong.
constexpr int kFreshNameAttempts = 8;
constexpr char kNotMovedIntoPlaceReason[] = "The new file could not be moved into its place";

// An Uninstall.dat that holds an uninstall record: one that an earlier installation's
// separately built uninstaller read, not a file of the product's own that happens to bear the name.
bool HoldsUninstallRecord(Platform& platform, const std::string& path) {
    if (!platform.FileExists(path)) return false;
    try {
        auto file = platform.OpenForReading(path, ShareMode::DenyWrite);
        char signature[sizeof kUninstallSignature - 1];
        return file->Read(signature, sizeof signature) == sizeof signature &&
               std::memcmp(signature, kUninstallSignature, sizeof signature) == 0;
    } catch (const EFileError&) {
        return false;
    }
}

}  // namespace

void TInstaller::WriteUninstallData(Stream& stream, const std::string& extraData) {
    WriteUninstallRecord(stream, info_.Version, items_, extraData);
}

std::optional<std::vector<std::uint8_t>> TInstaller::CarriedUninstaller() {
    std::unique_ptr<MemoryStream> entry = LoadFile(kUninstallerEntry);
    if (!entry) return std::nullopt;
    std::vector<std::uint8_t>& bytes = entry->Bytes();
    std::optional<ProgramHeaderWords> words = ProgramHeaderWordsIn(bytes.data(), bytes.size());
    // Anything else would not find its record: the copy of the running program is the safer
    // uninstaller then.
    if (!words || bytes[0] != 'M' || bytes[1] != 'Z' || !IsUninstaller(*words) || AppendedDataStart(*words))
        return std::nullopt;
    return std::move(bytes);
}

void TInstaller::CreateUninstaller(const std::string& uninstallerPath, const std::string& keyName,
                                   const std::string& displayName, const std::string& extraData,
                                   const UninstallListing& listing) {
    // An empty name would make the key the Uninstall key itself, and the uninstaller would
    // then delete every program's registration; such a copy is written but not registered.
    const bool registered = !keyName.empty();
    if (registered) AddItem(ItemKind::LocalMachineKey, std::string(kUninstallKeyPath) + "\\" + keyName);
    // Read before the new uninstaller replaces the earlier one and its record.
    KeepEarlierItems(uninstallerPath, extraData);
    const std::vector<std::uint8_t> record = RecordBytes(extraData);
    WriteUninstallerFiles(uninstallerPath, record);
    if (registered) RegisterUninstaller(uninstallerPath, keyName, displayName, listing, RecordDigest(record));
}

std::vector<std::uint8_t> TInstaller::RecordBytes(const std::string& extraData) {
    MemoryStream record;
    WriteUninstallData(record, extraData);
    return std::move(record.Bytes());
}

void TInstaller::WriteInPlaceOf(const std::string& target, const std::vector<std::uint8_t>& bytes) {
    // A new file of a name no one could guess: a file someone made first is never ours to fill.
    std::string fresh;
    std::unique_ptr<FileStream> out;
    for (int attempt = 1; !out; ++attempt) {
        fresh = FreshNameIn(platform_, ExtractFilePath(target));
        try {
            out = platform_.CreateNewForWriting(fresh);
        } catch (const EFileError&) {
            if (attempt == kFreshNameAttempts) throw;
        }
    }
    try {
        out->Write(bytes.data(), bytes.size());
        out.reset();
    } catch (...) {
        out.reset();
        platform_.RemoveFile(fresh);
        throw;
    }
    if (!platform_.RenameFile(fresh, target)) {
        platform_.RemoveFile(fresh);
        throw EFileError(FileCreateErrorText(target, kNotMovedIntoPlaceReason));
    }
}

void TInstaller::WriteUninstallerFiles(const std::string& uninstallerPath,
                                       const std::vector<std::uint8_t>& record) {
    // Each file is complete before it takes the place of the earlier one, so a run that fails
    // while writing them leaves the earlier uninstaller and its record as they were.
    if (std::optional<std::vector<std::uint8_t>> carried = CarriedUninstaller()) {
        // A signature covers every byte, so the record cannot be appended: it goes beside.
        WriteInPlaceOf(UninstallDataFileOf(uninstallerPath), record);
        WriteInPlaceOf(uninstallerPath, *carried);
    } else {
        WriteUninstallerCopy(uninstallerPath, record);
    }
}

void TInstaller::WriteUninstallerCopy(const std::string& uninstallerPath,
                                      const std::vector<std::uint8_t>& record) {
    // The program stays open until the copy is in place, so a copy over the program itself
    // fails instead of replacing it.
    auto own = platform_.OpenForReading(programPath_, ShareMode::DenyNone);
    // Without an appended archive (Setup.dat) the copy is the whole program.
    const std::int64_t prefix = AppendedDataStart(ReadProgramHeaderWords(*own)).value_or(own->Size());
    std::vector<std::uint8_t> program(static_cast<std::size_t>(prefix));
    own->Seek(0);
    own->ReadBuffer(program.data(), program.size());
    MemoryStream copy;
    WriteProgramBeforeData(copy, std::move(program), ProgramRole::Uninstaller);
    copy.Write(record.data(), record.size());
    // A signed setup's headers name a certificate table that the copy does not hold, and the
    // checksum must cover the record: both are made right for the finished bytes.
    MakeUnsignedImage(copy.Bytes());
    WriteInPlaceOf(uninstallerPath, copy.Bytes());
    own.reset();

    // The record is now appended; one left beside by an earlier installation would stay behind.
    const std::string stale = UninstallDataFileOf(uninstallerPath);
    if (!LoggedFile(stale) && HoldsUninstallRecord(platform_, stale)) {
        platform_.ChangeFileAttributes(stale, kAttrNormal);
        platform_.RemoveFile(stale);
    }
}

void TInstaller::RegisterUninstaller(const std::string& uninstallerPath, const std::string& keyName,
                                     const std::string& displayName, const UninstallListing& listing,
                                     const std::string& recordDigest) {
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
                if (NamesUninstaller(command, uninstallerPath)) registry.DeleteKey(key);
            } catch (const ERegistryException&) {
                // one unreadable key does not stop the others
            }
        }
    }
    try {
        if (!registry.OpenKey(uninstallKey + "\\" + keyName, true)) return;
        registry.WriteString(kDisplayNameValue, displayName);
        registry.WriteString(kUninstallStringValue, uninstallerPath);
        // Without it the uninstaller refuses its record: it is written with the command.
        registry.WriteString(kRecordDigestValue, recordDigest);
    } catch (const ERegistryException&) {
        // the product stays installed; only its entry in the list of programs is missing
        return;
    }
    // Each of these that cannot be written only leaves its line empty in the list.
    WriteListingText(registry, kQuietUninstallStringValue, QuietUninstallCommand(uninstallerPath));
    WriteListingText(registry, kDisplayVersionValue, Version().AsString());
    if (!listing.Publisher.empty()) WriteListingText(registry, kPublisherValue, listing.Publisher);
    if (!listing.Language.empty()) WriteListingText(registry, kSetupLanguageValue, listing.Language);
    if (!listing.Texts.empty()) WriteListingText(registry, kSetupTextsValue, listing.Texts);
    WriteListingText(registry, kDisplayIconValue,
                     listing.DisplayIcon.empty() ? uninstallerPath : listing.DisplayIcon);
    WriteListingText(
        registry, kInstallLocationValue,
        listing.InstallLocation.empty() ? ExtractFilePath(uninstallerPath) : listing.InstallLocation);
    WriteListingNumber(registry, kEstimatedSizeValue, KiB(WrittenBytes()));
    WriteListingNumber(registry, kNoModifyValue, 1);
    WriteListingNumber(registry, kNoRepairValue, 1);
}
