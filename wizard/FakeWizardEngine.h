// A stand-in engine with public fields: host tests set up configurations with it, and the
// preview program shows the window before a real setup archive is involved.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "system/Exceptions.h"
#include "texts/Texts.h"
#include "wizard/WizardEngine.h"

class FakeWizardEngine : public IWizardEngine {
public:
    FakeWizardEngine() = default;
    // The names below refer into this object's own states.
    FakeWizardEngine(const FakeWizardEngine&) = delete;
    FakeWizardEngine& operator=(const FakeWizardEngine&) = delete;

    std::map<std::string, std::string> variables{
        {"ProductName", "Gadget"},
        {"FullProductName", "Gadget 1.0"},
        {"BitSuffix", ""},
        {"InstallDescription", "Gadget"},
        {"PersonalizeInfo", ""},
        {"BundleSelectHeading", "Select Products"},
        {"BundleSelectDescription", "Select the products to install."}};
    bool isBundle = false;
    bool is64Bit = false;
    WizardPageFlags pageFlags;
    ShortcutSet shortcutKinds;
    std::string welcomeWin64, licenseText, completeMessage = "Done.", readmeFile, productFile;
    struct Item {
        std::string name;
        bool selected = true;
    };
    std::vector<Item> items;
    std::array<PluginFormatState, kPluginFormatCount> formats;
    // The states by the names the tests set and read them by.
    PluginFormatState& vst2 = formats[FormatIndex(PluginFormat::Vst2)];
    PluginFormatState& vst3 = formats[FormatIndex(PluginFormat::Vst3)];
    PluginFormatState& clap = formats[FormatIndex(PluginFormat::Clap)];
    PluginFormatState& photoshop = formats[FormatIndex(PluginFormat::Photoshop)];
    bool &installVst2 = vst2.Install, &vst3Available = vst3.Available, &installVst3 = vst3.Install;
    bool& installAax = formats[FormatIndex(PluginFormat::Aax)].Install;
    bool& installRtas = formats[FormatIndex(PluginFormat::Rtas)].Install;
    bool &installPhotoshop = photoshop.Install, &clapAvailable = clap.Available, &installClap = clap.Install;
    std::string &vst2Folder = vst2.Folder, &vst3OnlyFor = vst3.OnlyFor, &clapOnlyFor = clap.OnlyFor;
    std::string& photoshopFolder = photoshop.Folder;
    std::string destinationFolder = "C:\\Program Files\\Gadget\\", userName = "User";
    ShortcutSet shortcutChoice;
    bool existingInstallFound = false;
    std::string existingFolder;
    int setupMajor = 1, installedMajor = 1;
    bool canInstall = true;
    int checkCanInstallCalls = 0;
    std::vector<std::string> creatableFolders;         // CanCreateFolder's yes; any other path is refused
    std::string installError;                          // Install raises this when not empty
    bool installCancelled = false;                     // Install stops as a Cancel before the copy does
    std::string folderCheckError;                      // CanCreateFolder raises this when not empty
    std::function<void(ISetupProgress&)> afterStatus;  // the preview slows the run down with it
    bool installed = false;

    std::string ExpandText(const std::string& text) override {
        std::string out = text;
        // Longest names first, so that no name eats the start of a longer one.
        std::vector<std::pair<std::string, std::string>> sorted(variables.begin(), variables.end());
        std::sort(sorted.begin(), sorted.end(),
                  [](auto& a, auto& b) { return a.first.size() > b.first.size(); });
        for (auto& [name, value] : sorted) {
            std::string key = "$" + name;
            for (auto at = out.find(key); at != std::string::npos; at = out.find(key, at + value.size()))
                out.replace(at, key.size(), value);
        }
        return out;
    }
    bool IsBundle() override { return isBundle; }
    bool Is64Bit() override { return is64Bit; }
    WizardPageFlags PageFlags() override { return pageFlags; }
    ShortcutSet ShortcutKinds() override { return shortcutKinds; }
    std::string WelcomeWin64() override { return welcomeWin64; }
    std::string LicenseText() override { return licenseText; }
    std::string CompleteMessage() override { return completeMessage; }
    std::string ReadmeFile() override { return readmeFile; }
    std::string ProductFile() override { return productFile; }
    int BundleItemCount() override { return static_cast<int>(items.size()); }
    std::string BundleItemName(int i) override { return items.at(static_cast<std::size_t>(i)).name; }
    bool BundleItemSelected(int i) override { return items.at(static_cast<std::size_t>(i)).selected; }
    void SetBundleItemSelected(int i, bool on) override {
        items.at(static_cast<std::size_t>(i)).selected = on;
    }
    PluginFormatState& Format(PluginFormat format) override { return formats[FormatIndex(format)]; }
    std::string DestinationFolder() override { return destinationFolder; }
    void SetDestinationFolder(const std::string& f) override { destinationFolder = f; }
    std::string UserName() override { return userName; }
    void SetUserName(const std::string& n) override { userName = n; }
    void SetShortcutChoice(ShortcutSet c) override { shortcutChoice = c; }
    bool ExistingInstallFound() override { return existingInstallFound; }
    std::string ExistingFolder() override { return existingFolder; }
    int SetupMajorVersion() override { return setupMajor; }
    int InstalledMajorVersion() override { return installedMajor; }
    bool CheckCanInstall() override {
        ++checkCanInstallCalls;
        return canInstall;
    }
    bool CanCreateFolder(const std::string& path) override {
        if (!folderCheckError.empty()) throw Exception(folderCheckError);
        return std::find(creatableFolders.begin(), creatableFolders.end(), path) != creatableFolders.end();
    }
    // Reports as a plain run does.
    void Install(ISetupProgress& progress) override {
        auto status = [&](int position, TextId text) {
            progress.SetProgress(position);
            progress.SetStatus(Text(text));
            if (afterStatus) afterStatus(progress);
        };
        status(0, TextId::PreparingStatus);
        if (installCancelled) throw EInstallCancelled();
        status(25, TextId::CopyingStatus);
        if (!installError.empty()) throw std::runtime_error(installError);
        status(75, TextId::CreatingSettingsStatus);
        progress.SetProgress(100);
        installed = true;
    }
};
