#include "setup/SilentWindow.h"

#include <memory>
#include <optional>
#include <vector>

#include "setup/SetupClaim.h"
#include "setup/Unattended.h"
#include "wizard/win32/FormMain.h"

namespace {

// The wizard's window, hidden until the copy page shows.
class ProgressView : public IUnattendedView {
public:
    ProgressView(HINSTANCE instance, TSetupInstaller& engine, IWizardEngine& wizardEngine, Platform& platform)
        : engine_(engine), form_(instance, platform, wizardEngine) {}
    WizardModel& Model() override { return form_.Model(); }
    bool Prepare() override { return form_.Create(SetupPictures(engine_), false); }
    bool Terminated() const override { return form_.Terminated(); }

private:
    TSetupInstaller& engine_;
    FormMain form_;
};

}  // namespace

PictureLookup SetupPictures(TSetupInstaller& engine) {
    return [&engine](const std::string& name, const std::string& fallback) {
        return std::optional<std::vector<std::uint8_t>>(engine.LoadSetupData(name, fallback));
    };
}

int RunSilentSetup(HINSTANCE instance, Platform& platform, const SetupOptions& options) {
    if (options.Quiet == Quietness::Nothing)
        return RunUnattendedSetup(platform, options, ClaimSetup, InvisibleView);
    return RunUnattendedSetup(
        platform, options, ClaimSetup,
        [instance](TSetupInstaller& engine, IWizardEngine& wizardEngine, Platform& dialogs, RunLog&) {
            return std::make_unique<ProgressView>(instance, engine, wizardEngine, dialogs);
        });
}
