// The setup engine: the setup archive, the configuration it carries, what was detected on this
// computer, and the installation run. The wizard owns one for its whole life and changes its
// values page by page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Bundles.h"
#include "engine/SetupProgress.h"
#include "engine/Variables.h"
#include "install/Installer.h"
#include "install/RunChanges.h"

class Platform;

class TSetupInstaller {
public:
    // Opens the archive of the running program (or of the setup program named), loads its
    // configuration and detects folders and an earlier installation. Any error propagates:
    // the setup cannot go on.
    explicit TSetupInstaller(Platform& platform);
    TSetupInstaller(Platform& platform, const std::string& programPath);
    TSetupInstaller(const TSetupInstaller&) = delete;
    TSetupInstaller& operator=(const TSetupInstaller&) = delete;

    // Everything the expansions read; the wizard's pages write the folders, switches and name.
    SetupValues& Values() { return values_; }
    const SetupValues& Values() const { return values_; }
    const SetupConfiguration& Config() const { return values_.Config; }
    const TProgramVersion& SetupVersion() const { return values_.SetupVersion; }
    const std::string& VersionKey() const { return values_.VersionKey; }
    std::vector<TSetupBundleItem>& BundleItems() { return bundleItems_; }
    const std::vector<TSetupBundleItem>& BundleItems() const { return bundleItems_; }
    TInstaller& Installer() { return installer_; }
    // The machine as the engine sees it: every change of the run is noted there.
    RunChanges& Changes() { return changes_; }

    // Stored with a trailing backslash, as every path built from it expects.
    void SetDestinationFolder(const std::string& folder);
    // Bits of ShortcutChoiceBit from the shortcut page; without the page only the program
    // folder gets shortcuts.
    unsigned ShortcutChoice() const { return shortcutChoice_; }
    void SetShortcutChoice(unsigned choice) { shortcutChoice_ = choice; }

    // A setup data entry (such as the side picture) read whole: from the archive, else from
    // beside the program, trying the alternative name in each place; the file-open error when
    // neither exists.
    std::vector<std::uint8_t> LoadSetupData(const std::string& name, const std::string& alternative);

    std::string ExpandText(const std::string& text) const;
    std::string ExpandPath(const std::string& text, const TSetupBundleItem* item = nullptr) const;
    // The [Complete] files, expanded; empty when none is configured or its folder was declined.
    std::string ReadmeFile() const;
    std::string ProductFile() const;

    // Leaving the Welcome page: false, after telling the user why, when this computer cannot
    // take the product (no administrator rights, a 64-bit product on 32-bit Windows); the
    // wizard then closes.
    bool CheckCanInstall();
    // The whole installation, reported through progress. Errors propagate and end the setup;
    // the machine is then put back as it was before the run (RunChanges): what the run
    // created is removed, what it replaced or deleted is back, registry values as before, and
    // an earlier uninstaller, its record and its Uninstall key are untouched.
    // First of all it finishes or undoes what a killed run of this setup left (its journal,
    // RunJournal); Recovered says what was done then, or is empty.
    void Install(ISetupProgress& progress);
    const std::string& Recovered() const { return recovered_; }
    // Components of the selected bundle items (the bar moving from from to to between items),
    // then those of the setup itself.
    void CopyComponents(ISetupProgress& progress, int from, int to);
    // Uninst.exe in the destination folder, registered under the full product name.
    void WriteUninstaller();

private:
    void Construct();
    void Run(ISetupProgress& progress);

    RunChanges changes_;
    Platform& platform_;  // changes_
    TInstaller installer_;
    SetupValues values_;
    std::vector<TSetupBundleItem> bundleItems_;
    unsigned shortcutChoice_ = 0;
    std::string recovered_;
};
