#include "setup/Unattended.h"

#include <exception>

#include "engine/InstallRun.h"
#include "setup/ExitStatus.h"
#include "system/CommonUtils.h"
#include "system/FileErrors.h"
#include "system/Stream.h"
#include "uninstall/SetupUninstaller.h"
#include "wizard/EngineAdapter.h"
#include "texts/Texts.h"

namespace {

constexpr const char* kPageNames[kPageCount] = {
    "Welcome", "License",     "BundleItems", "VstPlugins", "DigiPlugins", "PhotoshopPlugin",
    "Dest",    "Personalize", "Icon",        "Copy",       "Ready"};

// A message's line breaks become blanks: one message, one line of the log.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

// Folders are kept as the detection finds them: without a trailing backslash, except a root.
std::string FolderWithoutBackslash(std::string folder) {
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

class Invisible : public IUnattendedView, public IWizardHost, public ISetupProgress {
public:
    Invisible(IWizardEngine& engine, Platform& platform, RunLog& log)
        : log_(log), model_(engine, platform, *this) {}

    WizardModel& Model() override { return model_; }
    bool Prepare() override {
        model_.Prepare();
        return true;
    }
    bool Terminated() const override { return terminated_; }

    void PaintNow() override {}
    ISetupProgress& Progress() override { return *this; }
    void DropPendingInput() override {}
    void RequestClose() override {}
    void Terminate() override { terminated_ = true; }
    WindowRef Owner() override { return 0; }

    void SetProgress(int position) override { model_.SetProgress(position); }
    void SetStatus(const std::string& text) override {
        model_.SetStatus(text);
        log_.Add(text);
    }

private:
    RunLog& log_;
    WizardModel model_;
    bool terminated_ = false;
};

enum class WalkEnd { Installed, Refused, Failed, Stopped };

// Next, page by page, as a person who accepts every proposal would press it.
WalkEnd Walk(IUnattendedView& view, RunLog& log) {
    WizardModel& model = view.Model();
    while (model.Page() != kPageReady) {
        const int page = model.Page();
        if (page != kPageCopy) log.Add(std::string("Page ") + kPageNames[page]);
        model.NextClick();
        if (view.Terminated()) return page == kPageWelcome ? WalkEnd::Refused : WalkEnd::Failed;
        if (model.Page() == page) return WalkEnd::Stopped;
    }
    return WalkEnd::Installed;
}

// Which failure of the installation run it was, from what the error box would have said.
int FailureStatus(const SilentPlatform& dialogs) {
    const std::string& error = dialogs.LastError();
    if (error.rfind(Text(TextId::NotEnoughSpaceMessage), 0) == 0 ||
        error.find(SystemErrorText(kErrorDiskFull)) != std::string::npos)
        return kExitDiskFull;
    if (dialogs.GaveUpOnFile()) return kExitFileInUse;
    return kExitErrorOrRefusal;
}

int SilentSetup(SilentPlatform& dialogs, RunLog& log, const SetupOptions& options, const SetupClaim& claim,
                const UnattendedViewFactory& makeView) {
    std::unique_ptr<TSetupInstaller> engine;
    try {
        engine = std::make_unique<TSetupInstaller>(dialogs);
    } catch (const std::exception& error) {
        log.Add("Damaged setup: " + OneLine(error.what()));
        return kExitDamagedSetup;
    }
    if (!claim(SetupClaimName(*engine))) {
        log.Add(OneLine(engine->ExpandText(Text(TextId::AlreadyRunningError))));
        return kExitAlreadyRunning;
    }
    try {
        ApplyOptions(*engine, options);
    } catch (const ECommandLineError& error) {
        log.Add(OneLine(error.what()));
        return kExitBadCommandLine;
    }
    if (!engine->Config().LicenseText.empty() && !options.AcceptLicense) {
        log.Add(kLicenseNotAcceptedMessage);
        return kExitBadCommandLine;
    }
    EngineAdapter adapter(*engine, dialogs);
    std::unique_ptr<IUnattendedView> view = makeView(*engine, adapter, dialogs, log);
    if (!view->Prepare()) return kExitErrorOrRefusal;
    ApplyPageChoices(view->Model(), options);
    const WalkEnd end = Walk(*view, log);
    if (!engine->Recovered().empty()) log.Add(engine->Recovered());
    switch (end) {
        case WalkEnd::Installed:
            for (const std::string& item : engine->Installer().Log()) log.Add("Installed " + item);
            return kExitDoneOrStopped;
        case WalkEnd::Refused:
            return kExitRefused;
        case WalkEnd::Failed:
            return FailureStatus(dialogs);
        case WalkEnd::Stopped:
            // Files still held after the retries before the copy: it stopped with nothing written.
            if (dialogs.GaveUpOnFile()) return kExitFileInUse;
            break;
    }
    return kExitErrorOrRefusal;
}

}  // namespace

void RunLog::Add(const std::string& line) {
    lines_.push_back(line);
}

void RunLog::WriteTo(Platform& platform, const std::string& path) const {
    if (path.empty()) return;
    std::string text;
    for (const std::string& line : lines_) text += line + "\r\n";
    try {
        auto out = platform.CreateForWriting(path);
        out->Write(text.data(), text.size());
    } catch (const std::exception&) {
        // the exit status still tells what happened
    }
}

void SilentPlatform::WarningBox(const std::string& text) {
    log_.Add("Warning: " + OneLine(text));
}

bool SilentPlatform::QuestionBox(const std::string& text) {
    log_.Add("Answered Yes: " + OneLine(text));
    return true;
}

void SilentPlatform::InformationBox(const std::string& text) {
    log_.Add(OneLine(text));
}

void SilentPlatform::ErrorBox(const std::string&, const std::string& text) {
    lastError_ = text;
    log_.Add("Error: " + OneLine(text));
}

bool SilentPlatform::RetryCancelBox(const std::string& text) {
    if (text != retryText_) {
        retryText_ = text;
        retries_ = 0;
    }
    if (retries_ == kSilentFileRetries) {
        log_.Add("Gave up: " + OneLine(text));
        gaveUpOnFile_ = true;
        retryText_.clear();
        return false;
    }
    ++retries_;
    log_.Add("Retry " + std::to_string(retries_) + ": " + OneLine(text));
    Pause(kSilentRetryPause);
    return true;
}

std::unique_ptr<IUnattendedView> InvisibleView(TSetupInstaller&, IWizardEngine& wizardEngine,
                                               Platform& platform, RunLog& log) {
    return std::make_unique<Invisible>(wizardEngine, platform, log);
}

std::optional<int> EndsAtCommandLine(Platform& platform, const SetupOptions& options, RunMode role,
                                     const std::string& title) {
    if (!options.Error.empty()) {
        if (!options.Silent()) {
            platform.ErrorBox(title, WithClosingPeriod(options.Error));
            return kExitErrorOrRefusal;
        }
        RunLog log;
        log.Add(options.Error);
        log.Add("Exit status " + std::to_string(kExitBadCommandLine));
        log.WriteTo(platform, options.LogFile);
        return kExitBadCommandLine;
    }
    if (options.Help) {
        platform.InformationBox(SwitchHelpText(role));
        return kExitDoneOrStopped;
    }
    return std::nullopt;
}

void ApplyOptions(TSetupInstaller& engine, const SetupOptions& options) {
    SetupValues& values = engine.Values();
    if (options.ProgramFolder) engine.SetDestinationFolder(*options.ProgramFolder);
    for (std::size_t i = 0; i < options.Formats.size() && i < FormatSwitches().size(); ++i) {
        const FormatSwitch& format = FormatSwitches()[i];
        const FormatOptions& choice = options.Formats[i];
        if (choice.Off) values.Format(format.Format).Install = false;
        if (choice.Folder) values.Format(format.Format).Folder = FolderWithoutBackslash(*choice.Folder);
    }
    if (options.Items) {
        std::vector<TSetupBundleItem>& items = engine.BundleItems();
        for (TSetupBundleItem& item : items) item.Selected = false;
        for (const std::string& name : *options.Items) {
            bool found = false;
            for (TSetupBundleItem& item : items)
                if (SameText(item.Name, name) || SameText(item.DisplayName, name))
                    found = item.Selected = true;
            if (!found) throw ECommandLineError("The setup has no bundle item named '" + name + "'");
        }
    }
    if (options.OwnerName) values.UserName = *options.OwnerName;
}

void ApplyPageChoices(WizardModel& model, const SetupOptions& options) {
    if (options.DesktopIcon) model.SetChecked(ControlId::IconDesktopCheck, *options.DesktopIcon);
    if (options.NoStartMenuIcons) model.SetChecked(ControlId::IconStartMenuCheck, false);
}

std::string SetupClaimName(const TSetupInstaller& engine) {
    return FullProductName(engine.Values()) + BitSuffix(engine.Values());
}

int RunUnattendedSetup(Platform& platform, const SetupOptions& options, const SetupClaim& claim,
                       const UnattendedViewFactory& view) {
    RunLog log;
    SilentPlatform dialogs(platform, log);
    int status = kExitErrorOrRefusal;
    try {
        status = SilentSetup(dialogs, log, options, claim, view);
    } catch (const std::exception& error) {
        log.Add("Error: " + OneLine(error.what()));
    }
    log.Add("Exit status " + std::to_string(status));
    log.WriteTo(platform, options.LogFile);
    return status;
}

int RunUnattendedUninstall(Platform& platform, const SetupOptions& options) {
    RunLog log;
    SilentPlatform dialogs(platform, log);
    int status = kExitErrorOrRefusal;
    try {
        std::unique_ptr<TSetupUninstaller> uninstaller;
        try {
            uninstaller = std::make_unique<TSetupUninstaller>(dialogs);
        } catch (const std::exception& error) {
            log.Add("Damaged uninstall record: " + OneLine(error.what()));
            status = kExitDamagedSetup;
        }
        if (uninstaller) {
            UninstallEnd end = uninstaller->Run();
            for (const std::string& item : uninstaller->Uninstaller().NotRemovedItems())
                log.Add("Not removed: " + item);
            status = end == UninstallEnd::Refused ? kExitRefused : kExitDoneOrStopped;
        }
    } catch (const std::exception& error) {
        log.Add("Error: " + OneLine(error.what()));
    }
    log.Add("Exit status " + std::to_string(status));
    log.WriteTo(platform, options.LogFile);
    return status;
}
