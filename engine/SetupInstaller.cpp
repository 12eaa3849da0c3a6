#include "engine/SetupInstaller.h"

#include "engine/ComponentMachines.h"
#include "engine/Configuration.h"
#include "engine/Folders.h"
#include "engine/InstallRun.h"
#include "engine/Settings.h"
#include "engine/Upgrade.h"
#include "system/CommonUtils.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"
#include "texts/Texts.h"

namespace {

// Setup data entries come from the archive, reopened per entry.
class ArchiveDataSource : public SetupDataSource {
public:
    explicit ArchiveDataSource(TInstaller& installer) : installer_(installer) {}
    std::unique_ptr<Stream> Load(const std::string& name) override { return installer_.LoadFile(name); }
    std::string TextAsUtf8(const std::string& stored) override { return installer_.TextAsUtf8(stored); }

private:
    TInstaller& installer_;
};

}  // namespace

std::vector<std::uint8_t> TSetupInstaller::LoadSetupData(const std::string& name,
                                                         const std::string& alternative) {
    ArchiveDataSource source(installer_);
    auto stream = OpenSetupStream(source, platform_, name, alternative);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream->Size()));
    stream->Seek(0);
    stream->ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

TSetupInstaller::TSetupInstaller(Platform& platform)
    : changes_(platform), platform_(changes_), installer_(changes_) {
    Construct();
}

TSetupInstaller::TSetupInstaller(Platform& platform, const std::string& programPath)
    : changes_(platform), platform_(changes_), installer_(changes_, programPath) {
    Construct();
}

// The order matters: each step reads what the steps before it found.
void TSetupInstaller::Construct() {
    installer_.OnFile = [this](TInstaller&, std::string& path, std::uint32_t& attributes) {
        PrepareFile(values_, platform_, path, attributes);
    };
    installer_.OnError = [this](TInstaller&, const std::exception&, const std::string& path, bool& retry) {
        retry = AskRetryFile(platform_, path);
    };

    values_.SetupVersion = installer_.Version();
    ArchiveDataSource source(installer_);
    LoadConfiguration(values_, source, platform_, [&](SetupValues& values) {
        LoadBundleInfo(values, source, platform_, static_cast<std::uint32_t>(installer_.FileDate()),
                       bundleItems_);
    });

    values_.ArmBuilds = ChoosesArmBuilds(values_, platform_.Machine());
    DetectSystemFolders(values_, platform_);
    ComputeVersionKey(values_);
    for (PluginFormatState& format : values_.Formats) format.Install = true;

    FindExistingInstallation(values_, platform_);
    ResolveDestination(values_, platform_);

    DetectPluginFolders(values_, platform_);
    OfferPluginFormats(values_, bundleItems_,
                       [this](const std::string& name) { return installer_.GetDirectorySize(name); });

    ReadOwnerName(values_, platform_);
}

void TSetupInstaller::SetDestinationFolder(const std::string& folder) {
    values_.DestinationFolder = IncludeBackslash(folder);
}

std::string TSetupInstaller::ExpandText(const std::string& text) const {
    return ::ExpandText(values_, text);
}

std::string TSetupInstaller::ExpandPath(const std::string& text, const TSetupBundleItem* item) const {
    return ::ExpandPath(values_, text, item);
}

std::string TSetupInstaller::ReadmeFile() const {
    return ExpandPath(values_.Config.CompleteReadme);
}

std::string TSetupInstaller::ProductFile() const {
    return ExpandPath(values_.Config.CompleteProduct);
}

bool TSetupInstaller::CheckCanInstall() {
    TextId refusal = TextId::None;
    if (!HasAdminRights(platform_))
        refusal = TextId::NoAdminRightsMessage;
    else if (values_.Config.Is64Bit && !IsWow64(platform_))
        refusal = TextId::Need64BitWindowsMessage;
    else if (NeedsX64Emulation(values_, platform_.Machine()))
        refusal = TextId::NeedX64EmulationMessage;
    if (refusal == TextId::None) return true;
    platform_.InformationBox(ExpandText(Text(refusal)));
    return false;
}
