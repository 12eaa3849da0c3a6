// The wizard's pages as rows: when each is shown, where the focus goes on entering it, and what
// leaving it forward checks and hands to the engine.
#include <exception>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "texts/Texts.h"
#include "wizard/WizardModel.h"

namespace {

using I = ControlId;

}  // namespace

const WizardModel::PageRow& WizardModel::PageRowOf(int page) {
    using E = IWizardEngine;
    using M = WizardModel;
    // Listed in page order; the tests check it.
    static const PageRow rows[kPageCount] = {
        {kPageWelcome, nullptr, I::NextButton, &M::LeaveWelcome},
        {kPageLicense, nullptr, I::NextButton, nullptr},
        {kPageBundleItems, [](E& e) { return e.IsBundle(); }, I::NextButton, &M::LeaveBundleItems},
        {kPageVstPlugins, [](E& e) { return e.PageFlags().vstPluginFolder; }, I::Vst2FolderInput,
         &M::LeaveFormatPage},
        {kPageDigiPlugins, [](E& e) { return e.PageFlags().digiPluginFolder; }, I::NextButton,
         &M::LeaveFormatPage},
        {kPagePhotoshopPlugin, [](E& e) { return e.PageFlags().photoshopPluginFolder; },
         I::PhotoshopFolderInput, &M::LeaveFormatPage},
        {kPageDest, nullptr, I::DestFolderInput, &M::LeaveDest},
        {kPagePersonalize, [](E& e) { return e.PageFlags().personalization; }, I::NameInput,
         &M::LeavePersonalize},
        {kPageIcon, [](E& e) { return !e.ShortcutKinds().Empty(); }, I::NextButton, &M::LeaveIcon},
        // Next is hidden while the copy runs; the run decides where the wizard goes.
        {kPageCopy, nullptr, I::None, nullptr},
        {kPageReady, nullptr, I::NextButton, &M::LeaveReady},
    };
    return rows[ClampInt(page, 0, kPageCount - 1)];
}

bool WizardModel::PageShown(int page) {
    // Beyond either end counts as shown, so stepping always ends.
    if (page < 0 || page >= kPageCount) return true;
    const PageRow& row = PageRowOf(page);
    return row.shown == nullptr || row.shown(engine_);
}

int WizardModel::NextShownPage(int page, int direction) {
    do page += direction;
    while (!PageShown(page));
    return page;
}

bool WizardModel::LeavePage(int page) {
    if (page < 0 || page >= kPageCount) return true;
    const PageRow& row = PageRowOf(page);
    return row.leave == nullptr || (this->*row.leave)(page);
}

void WizardModel::ShowPage(int page) {
    if (page < 0 || page >= kPageCount) return;
    page_ = page;
    Mut(I::BackButton).enabled = page > 0;
    Mut(I::BackButton).visible = page < kPageCopy;
    Mut(I::CancelButton).enabled = page != kPageCopy;
    Mut(I::CancelButton).visible = page < kPageReady;
    Mut(I::NextButton).visible = page != kPageCopy;
    if (page == kPageLicense) {
        Mut(I::NextButton).caption = Text(TextId::YesButton);
        Mut(I::CancelButton).caption = Text(TextId::NoButton);
    } else if (page == kPageReady) {
        Mut(I::NextButton).caption = Text(TextId::FinishButton);
    } else {
        Mut(I::NextButton).caption = Text(Control(I::NextButton).text);
        Mut(I::CancelButton).caption = Text(Control(I::CancelButton).text);
    }
    if (page == installPage_) Mut(I::NextButton).caption = Text(TextId::InstallButton);

    if (page != kPageCopy) {
        FocusIfPossible(PageRowOf(page).focus);
        return;
    }
    focus_ = I::None;
    host_.PaintNow();
    try {
        engine_.Install(host_.Progress());
    } catch (const EInstallCancelled&) {
        // Stopped before anything was written: the window closes without asking again.
        stopped_ = true;
        host_.RequestClose();
        return;
    } catch (const std::exception& e) {
        platform_.ErrorBox(caption_, ErrorBoxText(e.what()));
        host_.Terminate();
        return;
    }
    host_.DropPendingInput();
    ShowPage(kPageReady);
}

bool WizardModel::LeaveWelcome(int) {
    if (!engine_.CheckCanInstall()) host_.Terminate();
    return true;
}

bool WizardModel::LeaveBundleItems(int) {
    bool any = false;
    for (std::size_t i = 0; i < bundle_.size(); ++i) {
        engine_.SetBundleItemSelected(static_cast<int>(i), bundle_[i].checked);
        any = any || bundle_[i].checked;
    }
    if (!any) {
        platform_.WarningBox(Text(TextId::NoBundleItemWarning));
        FocusIfPossible(I::BundleList);
    }
    return any;
}

// The page's formats in the order of their rows; the first folder refused keeps the page.
bool WizardModel::LeaveFormatPage(int page) {
    for (const FormatControls& controls : FormatControlRows())
        if (controls.page == page && !LeaveFormat(controls)) return false;
    return true;
}

bool WizardModel::LeaveDest(int) {
    // An empty field is tested as a lone backslash, which names no folder.
    const std::string& text = State(I::DestFolderInput).text;
    std::string path = text.empty() ? "\\" : IncludeBackslash(text);
    if (!ValidateDestination(path)) {
        FocusIfPossible(I::DestFolderInput);
        return false;
    }
    engine_.SetDestinationFolder(path);
    return true;
}

bool WizardModel::LeavePersonalize(int) {
    if (State(I::NameInput).text.empty()) {
        platform_.WarningBox(Text(TextId::NoNameWarning));
        FocusIfPossible(I::NameInput);
        return false;
    }
    engine_.SetUserName(State(I::NameInput).text);
    return true;
}

bool WizardModel::LeaveIcon(int) {
    engine_.SetShortcutChoice({State(I::IconStartMenuCheck).checked, State(I::IconDesktopCheck).checked});
    return true;
}

bool WizardModel::LeaveReady(int) {
    Finish();
    return false;
}
