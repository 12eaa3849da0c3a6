// Setups and uninstallers without a person: the command line's choices go into the same engine
// and the same wizard model the window uses, whose pages are then left one by one as a person
// would press Next; every question is answered by a fixed rule, and what happened goes to the
// log and the exit status.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/SetupInstaller.h"
#include "setup/CommandLine.h"
#include "system/ForwardingPlatform.h"
#include "wizard/WizardModel.h"

// A locked file is tried this many times more, this long apart, before the run gives up on it.
inline constexpr int kSilentFileRetries = 5;
inline constexpr std::uint32_t kSilentRetryPause = 2000;

inline constexpr const char* kLicenseNotAcceptedMessage =
    "The licence agreement must be accepted with /ACCEPTLICENSE to install without a person";

// What a silent run did, line by line; written to the /LOG file at the end.
class RunLog {
public:
    void Add(const std::string& line);
    const std::vector<std::string>& Lines() const { return lines_; }
    // Nothing happens without a file name; a file that cannot be written is no failure of the run.
    void WriteTo(Platform& platform, const std::string& path) const;

private:
    std::vector<std::string> lines_;
};

// The dialogs of a silent run: none is shown. Questions are answered Yes (the folder and the
// choices come from the command line, or are those the wizard proposes); warnings, information
// and errors are logged; a file that cannot be written is tried again kSilentFileRetries times.
class SilentPlatform : public ForwardingPlatform {
public:
    SilentPlatform(Platform& inner, RunLog& log) : ForwardingPlatform(inner), log_(log) {}

    void WarningBox(const std::string& text) override;
    bool QuestionBox(const std::string& text) override;
    void InformationBox(const std::string& text) override;
    void ErrorBox(const std::string& title, const std::string& text) override;
    bool RetryCancelBox(const std::string& text) override;

    const std::string& LastError() const { return lastError_; }
    bool GaveUpOnFile() const { return gaveUpOnFile_; }

private:
    RunLog& log_;
    std::string lastError_;
    std::string retryText_;
    int retries_ = 0;
    bool gaveUpOnFile_ = false;
};

// The wizard model of a silent run and whatever shows it: nothing, or the copy page's window.
class IUnattendedView {
public:
    virtual ~IUnattendedView() = default;
    virtual WizardModel& Model() = 0;
    // Prepares the model (and the window); false when the run cannot go on (it said why).
    virtual bool Prepare() = 0;
    // Whether the model ended the program (after a refusal or an error).
    virtual bool Terminated() const = 0;
};
using UnattendedViewFactory = std::function<std::unique_ptr<IUnattendedView>(
    TSetupInstaller& engine, IWizardEngine& wizardEngine, Platform& platform, RunLog& log)>;
// The view that shows nothing (/VERYSILENT); its status texts go to the log.
std::unique_ptr<IUnattendedView> InvisibleView(TSetupInstaller& engine, IWizardEngine& wizardEngine,
                                               Platform& platform, RunLog& log);

// What a command line that ends the program at once ends it with: a bad switch (an error box
// under title, or when silent the log and kExitBadCommandLine) or /? (the help box). Nothing
// when the run goes on.
std::optional<int> EndsAtCommandLine(Platform& platform, const SetupOptions& options, RunMode role,
                                     const std::string& title);

// One setup of a product at a time: false when another one holds the product's claim.
using SetupClaim = std::function<bool(const std::string& productKey)>;

// Puts the command line's choices into a freshly built engine, where the wizard's pages find
// them as their proposals: the program folder, the formats' folders and switches, the bundle
// items, the owner name. ECommandLineError for a bundle item the setup does not have.
void ApplyOptions(TSetupInstaller& engine, const SetupOptions& options);
// The choices the engine does not hold until the page is left: the icon page's check boxes.
void ApplyPageChoices(WizardModel& model, const SetupOptions& options);
// The name the claim of one setup at a time is made under: the product's Uninstall key.
std::string SetupClaimName(const TSetupInstaller& engine);

// A whole silent setup; returns the exit status (setup/ExitStatus.h) and writes the log.
int RunUnattendedSetup(Platform& platform, const SetupOptions& options, const SetupClaim& claim,
                       const UnattendedViewFactory& view);
// A whole silent uninstallation: the record, the rights, the removal, the batch file.
int RunUnattendedUninstall(Platform& platform, const SetupOptions& options);
