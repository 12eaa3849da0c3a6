// The wizard's view of the real setup engine.
#pragma once

#include "engine/SetupInstaller.h"
#include "wizard/WizardEngine.h"

class Platform;

class EngineAdapter : public IWizardEngine {
public:
    EngineAdapter(TSetupInstaller& engine, Platform& platform) : engine_(engine), platform_(platform) {}

    std::string ExpandText(const std::string& text) override { return engine_.ExpandText(text); }

    bool IsBundle() override { return engine_.Config().IsBundle; }
    bool Is64Bit() override { return engine_.Config().Is64Bit; }
    WizardPageFlags PageFlags() override;
    ShortcutSet ShortcutKinds() override;
    std::string WelcomeWin64() override { return engine_.Config().WelcomeWin64; }
    std::string LicenseText() override { return engine_.Config().LicenseText; }
    std::string CompleteMessage() override { return engine_.Config().CompleteMessage; }
    std::string ReadmeFile() override { return engine_.ReadmeFile(); }
    std::string ProductFile() override { return engine_.ProductFile(); }

    int BundleItemCount() override { return static_cast<int>(engine_.BundleItems().size()); }
    std::string BundleItemName(int index) override { return engine_.BundleItems().at(index).DisplayName; }
    bool BundleItemSelected(int index) override { return engine_.BundleItems().at(index).Selected; }
    void SetBundleItemSelected(int index, bool selected) override {
        engine_.BundleItems().at(index).Selected = selected;
    }

    PluginFormatState& Format(PluginFormat format) override { return Values().Format(format); }

    std::string DestinationFolder() override { return Values().DestinationFolder; }
    void SetDestinationFolder(const std::string& folder) override { Values().DestinationFolder = folder; }
    std::string UserName() override { return Values().UserName; }
    void SetUserName(const std::string& name) override { Values().UserName = name; }
    void SetShortcutChoice(ShortcutSet choice) override;

    bool ExistingInstallFound() override { return Values().ExistingInstallFound; }
    std::string ExistingFolder() override { return Values().ExistingFolder; }
    int SetupMajorVersion() override { return engine_.SetupVersion().Major; }
    int InstalledMajorVersion() override { return Values().InstalledVersion.Major; }

    bool CheckCanInstall() override { return engine_.CheckCanInstall(); }
    bool CanCreateFolder(const std::string& path) override;
    void Install(ISetupProgress& progress) override { engine_.Install(progress); }

private:
    SetupValues& Values() { return engine_.Values(); }

    TSetupInstaller& engine_;
    Platform& platform_;
};
