#include "wizard/WizardModel.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"

namespace {

using I = ControlId;

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string ReplaceFirst(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string Format(const char* pattern, const std::string& value) {
    return ReplaceFirst(pattern, "%s", value);
}

constexpr const char* kWindowCaption = "$ProductName Setup$BitSuffix";
constexpr const char* kDestBrowseTitle = "Select the folder in which $ProductName will be installed:";
constexpr const char* kVst2BrowseTitle = "Select the VST plug-in folder on your computer:";
constexpr const char* kPhotoshopBrowseTitle = "Select the Adobe Photoshop plug-ins folder on your computer:";

ControlId PageFocus(int page) {
    switch (page) {
        case kPageVstPlugins:
            return I::Vst2FolderInput;
        case kPagePhotoshopPlugin:
            return I::PhotoshopFolderInput;
        case kPageDest:
            return I::DestFolderInput;
        case kPagePersonalize:
            return I::NameInput;
        case kPageCopy:
            return I::None;
        default:
            return I::NextButton;
    }
}

}  // namespace

WizardModel::WizardModel(IWizardEngine& engine, Platform& platform, IWizardHost& host)
    : engine_(engine), platform_(platform), host_(host) {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDef& def = Control(static_cast<ControlId>(i));
        ControlState& state = states_[i];
        state.page = def.page;
        state.left = def.left;
        state.top = def.top;
        state.height = def.height;
        state.caption = def.caption;
        state.visible = (def.flags & kHidden) == 0;
        state.checked = (def.flags & kChecked) != 0;
    }
}

void WizardModel::Prepare() {
    caption_ = engine_.ExpandText(kWindowCaption);
    // Captions marked for expansion in the table; the special cases follow.
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDef& def = Control(static_cast<ControlId>(i));
        if (def.prep == CaptionPrep::Expand)
            states_[i].caption = engine_.ExpandText(def.caption);
        else if (def.prep == CaptionPrep::ExpandPlugin)
            states_[i].caption = ExpandPluginText(def.caption);
    }

    std::string win64 = engine_.WelcomeWin64();
    if (!win64.empty())
        Mut(I::WelcomeStepLabel).caption = win64 + "\r\n\r\n" + Control(I::WelcomeStepLabel).caption;

    Mut(I::LicenseMemo).text = engine_.LicenseText();

    bundle_.clear();
    for (int i = 0; i < engine_.BundleItemCount(); ++i)
        bundle_.push_back({engine_.BundleItemName(i), engine_.BundleItemSelected(i)});

    // RTAS is never offered: AAX takes its place on the page.
    Mut(I::RtasInstallCheck).visible = false;
    Mut(I::RtasDescriptionLabel).visible = false;
    Mut(I::AaxInstallCheck).top = Control(I::RtasInstallCheck).top;
    Mut(I::AaxDescriptionLabel).top = Control(I::RtasDescriptionLabel).top;
    Mut(I::AaxInstallCheck).checked = engine_.InstallAax();

    // The folder controls follow the check box from the start, also when it starts unchecked.
    Mut(I::Vst2InstallCheck).checked = engine_.InstallVst2();
    Vst2InstallCheckClick();
    Mut(I::Vst2FolderInput).text = engine_.Vst2Folder();
    // CLAP beside VST 3 shares its place; a setup without CLAP files shows the page as ever.
    if (engine_.Vst3Available() && engine_.ClapAvailable()) {
        for (const SharedPlacement& placement : kVst3AndClapPlacements) {
            Mut(placement.id).top = placement.top;
            Mut(placement.id).height = placement.height;
            if (placement.caption) Mut(placement.id).caption = ExpandPluginText(placement.caption);
        }
    }
    OfferPluginFormat({I::Vst3InstallCheck, I::Vst3ListLabel, I::Vst3DescriptionLabel},
                      engine_.Vst3Available(), engine_.InstallVst3(), engine_.Vst3OnlyFor());
    OfferPluginFormat({I::ClapInstallCheck, I::ClapListLabel, I::ClapDescriptionLabel},
                      engine_.ClapAvailable(), engine_.InstallClap(), engine_.ClapOnlyFor());

    Mut(I::PhotoshopInstallCheck).checked = engine_.InstallPhotoshop();
    Mut(I::PhotoshopFolderInput).text = engine_.PhotoshopFolder();

    Mut(I::DestFolderInput).text = engine_.DestinationFolder();
    Mut(I::NameInput).text = engine_.UserName();

    bool desktop = engine_.ShortcutKinds().desktop;
    Mut(I::IconDesktopLabel).visible = desktop;
    Mut(I::IconDesktopCheck).visible = desktop;

    // The "Click Install" line sits on the install page, where there is room for it.
    installPage_ = NextShownPage(kPageCopy, -1);
    if (installPage_ == kPageDest) {
        Mut(I::InstallLabel).page = kPageDest;
        Mut(I::InstallLabel).top = 220;
    } else if (installPage_ == kPageIcon && !desktop) {
        Mut(I::InstallLabel).top = Control(I::IconDesktopLabel).top;
    }

    Mut(I::ReadyDescriptionLabel).caption = engine_.CompleteMessage();
    bool product = !engine_.ProductFile().empty();
    Mut(I::ReadyStartLabel).visible = product;
    Mut(I::ReadyStartCheck).visible = product;

    ShowPage(kPageWelcome);
}

void WizardModel::OfferPluginFormat(const FormatChoice& choice, bool available, bool install,
                                    const std::string& onlyFor) {
    Mut(choice.check).checked = install;
    Mut(choice.check).visible = available;
    Mut(choice.description).visible = available;
    Mut(choice.list).visible = available && !onlyFor.empty();
    Mut(choice.list).caption = ReplaceFirst(Control(choice.list).caption, "$List", onlyFor);
    if (!State(choice.list).visible) Mut(choice.check).top = State(choice.list).top;
}

std::string WizardModel::ExpandPluginText(const std::string& text) {
    std::string out =
        ReplaceAll(text, "$PluginDescription",
                   engine_.IsBundle() ? "plug-ins for $ProductName" : "plug-in version of $ProductName");
    out = ReplaceAll(out, "$ProToolsFormats", "AAX");
    out = ReplaceAll(out, "$AaxInfo",
                     engine_.Is64Bit()
                         ? "The 64-bit AAX format replaces RTAS and is supported starting from Pro Tools 11."
                         : "The 32-bit AAX format replaces RTAS and requires Pro Tools 10.3.5 or later.");
    return engine_.ExpandText(out);
}

bool WizardModel::PageShown(int page) {
    WizardPageFlags flags = engine_.PageFlags();
    switch (page) {
        case kPageBundleItems:
            return engine_.IsBundle();
        case kPageVstPlugins:
            return flags.vstPluginFolder;
        case kPageDigiPlugins:
            return flags.digiPluginFolder;
        case kPagePhotoshopPlugin:
            return flags.photoshopPluginFolder;
        case kPagePersonalize:
            return flags.personalization;
        case kPageIcon:
            return !engine_.ShortcutKinds().Empty();
        default:
            return true;
    }
}

int WizardModel::NextShownPage(int page, int direction) {
    do page += direction;
    while (!PageShown(page));
    return page;
}

// A control can take the focus when it is on the shown page (or on the form), shown and enabled.
bool WizardModel::Usable(ControlId id) const {
    if (id == I::None || !TakesFocus(Control(id).kind)) return false;
    const ControlState& state = State(id);
    return state.visible && state.enabled && (state.page == kOnForm || state.page == page_);
}

// The focus goes to the control when it can take it. Otherwise it stays where it was, unless
// that control went away with its page: then the page's first tab stop takes it, so the
// keyboard never talks to a hidden field.
void WizardModel::FocusIfPossible(ControlId id) {
    if (Usable(id)) {
        focus_ = id;
    } else if (!Usable(focus_)) {
        std::vector<ControlId> stops = TabStops();
        focus_ = stops.empty() ? I::None : stops.front();
    } else {
        return;
    }
    ++focusRequests_;
}

void WizardModel::FocusMoved(ControlId id) {
    if (id != I::None) focus_ = id;
}

// The shown page's controls and the form's, labels included, in keyboard order.
std::vector<ControlId> WizardModel::KeyboardOrder() const {
    std::vector<ControlId> order;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        ControlId id = static_cast<ControlId>(i);
        int page = State(id).page;
        if (page == page_ || page == kOnForm) order.push_back(id);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](ControlId a, ControlId b) { return KeyboardRank(a) < KeyboardRank(b); });
    return order;
}

std::vector<ControlId> WizardModel::TabStops() const {
    std::vector<ControlId> stops = KeyboardOrder();
    stops.erase(std::remove_if(stops.begin(), stops.end(), [&](ControlId id) { return !Usable(id); }),
                stops.end());
    return stops;
}

ControlId WizardModel::DefaultButton() const {
    if (Usable(focus_) && Control(focus_).kind == ControlKind::Button) return focus_;
    return Usable(I::NextButton) ? I::NextButton : I::None;
}

void WizardModel::MoveFocus(int direction) {
    std::vector<ControlId> stops = TabStops();
    if (stops.empty()) return;
    int count = static_cast<int>(stops.size());
    auto at = std::find(stops.begin(), stops.end(), focus_);
    int next = at == stops.end() ? (direction > 0 ? 0 : count - 1)
                                 : (static_cast<int>(at - stops.begin()) + direction + count) % count;
    FocusIfPossible(stops[static_cast<std::size_t>(next)]);
}

void WizardModel::KeyPress(WizardKey key) {
    if (!AcceptsInput()) return;
    switch (key) {
        case WizardKey::Enter:
            Click(DefaultButton());
            break;
        case WizardKey::Escape:
            CancelClick();
            break;
        case WizardKey::Tab:
            MoveFocus(+1);
            break;
        case WizardKey::BackTab:
            MoveFocus(-1);
            break;
    }
}

// A label's mnemonic counts while its field can take the focus.
bool WizardModel::MnemonicReaches(ControlId id) const {
    const ControlDef& def = Control(id);
    if (def.kind != ControlKind::Label) return Usable(id);
    const ControlState& state = State(id);
    return state.visible && state.enabled && Usable(def.focusTarget);
}

void WizardModel::PressMnemonic(ControlId id) {
    const ControlDef& def = Control(id);
    if (def.kind == ControlKind::Label) {
        FocusIfPossible(def.focusTarget);
        return;
    }
    FocusIfPossible(id);
    if (def.kind == ControlKind::CheckBox)
        SetChecked(id, !State(id).checked);
    else if (def.kind == ControlKind::Button)
        Click(id);
}

bool WizardModel::MnemonicKey(char letter, bool alt) {
    if (!AcceptsInput()) return false;
    if (!alt) {
        ControlKind kind = Usable(focus_) ? Control(focus_).kind : ControlKind::Edit;
        if (kind != ControlKind::Button && kind != ControlKind::CheckBox) return false;
    }
    char key = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    std::vector<ControlId> order = KeyboardOrder();
    std::vector<std::size_t> matches;
    for (std::size_t i = 0; i < order.size(); ++i)
        if (key != 0 && Mnemonic(State(order[i]).caption) == key && MnemonicReaches(order[i]))
            matches.push_back(i);
    if (matches.empty()) return false;
    if (matches.size() == 1) {
        PressMnemonic(order[matches.front()]);
        return true;
    }
    // Shared by several controls ("< &Back" and "&Browse..."): pressing one of them would be a
    // guess, so the focus moves on to the next of them after the focused control.
    std::size_t focused =
        static_cast<std::size_t>(std::find(order.begin(), order.end(), focus_) - order.begin());
    std::size_t next = matches.front();
    for (std::size_t at : matches)
        if (focused < order.size() && at > focused) {
            next = at;
            break;
        }
    const ControlDef& def = Control(order[next]);
    FocusIfPossible(def.kind == ControlKind::Label ? def.focusTarget : order[next]);
    return true;
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
        Mut(I::NextButton).caption = "&Yes";
        Mut(I::CancelButton).caption = "&No";
    } else if (page == kPageReady) {
        Mut(I::NextButton).caption = "&Finish";
    } else {
        Mut(I::NextButton).caption = Control(I::NextButton).caption;
        Mut(I::CancelButton).caption = Control(I::CancelButton).caption;
    }
    if (page == installPage_) Mut(I::NextButton).caption = "&Install";

    if (page != kPageCopy) {
        FocusIfPossible(PageFocus(page));
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

std::string WizardModel::ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

bool WizardModel::ValidateFolder(const std::string& path) {
    if (engine_.CanCreateFolder(path)) return true;
    platform_.WarningBox(Format(kFolderErrorText, path));
    return false;
}

bool WizardModel::ValidateDestination(const std::string& path) {
    if (!ValidateFolder(path)) return false;
    if (!engine_.ExistingInstallFound()) return true;
    bool samePath = SameText(path, engine_.ExistingFolder());
    if (engine_.SetupMajorVersion() == engine_.InstalledMajorVersion())
        return samePath || platform_.QuestionBox(engine_.ExpandText(kSameMajorQuestion));
    return !samePath || platform_.QuestionBox(engine_.ExpandText(kNewMajorQuestion));
}

bool WizardModel::LeavePage(int page) {
    switch (page) {
        case kPageWelcome:
            if (!engine_.CheckCanInstall()) host_.Terminate();
            return true;
        case kPageBundleItems: {
            bool any = false;
            for (std::size_t i = 0; i < bundle_.size(); ++i) {
                engine_.SetBundleItemSelected(static_cast<int>(i), bundle_[i].checked);
                any = any || bundle_[i].checked;
            }
            if (!any) {
                platform_.WarningBox(kNoBundleItemText);
                FocusIfPossible(I::BundleList);
            }
            return any;
        }
        case kPageVstPlugins: {
            // An empty folder switches VST 2 off for this pass only: the check box still decides
            // once a folder is typed again, so what the page shows is what gets installed.
            const std::string& folder = State(I::Vst2FolderInput).text;
            bool on = State(I::Vst2InstallCheck).checked && !folder.empty();
            engine_.SetInstallVst2(on);
            if (on) {
                if (!ValidateFolder(folder)) {
                    FocusIfPossible(I::Vst2FolderInput);
                    return false;
                }
                engine_.SetVst2Folder(folder);
            }
            engine_.SetInstallVst3(State(I::Vst3InstallCheck).checked);
            engine_.SetInstallClap(State(I::ClapInstallCheck).checked);
            return true;
        }
        case kPageDigiPlugins:
            engine_.SetInstallRtas(State(I::RtasInstallCheck).checked);
            engine_.SetInstallAax(State(I::AaxInstallCheck).checked);
            return true;
        case kPagePhotoshopPlugin: {
            // The check box counts too: unchecking it must not still install the plug-in.
            const std::string& folder = State(I::PhotoshopFolderInput).text;
            bool on = State(I::PhotoshopInstallCheck).checked && !folder.empty();
            engine_.SetInstallPhotoshop(on);
            if (on) {
                if (!ValidateFolder(folder)) {
                    FocusIfPossible(I::PhotoshopFolderInput);
                    return false;
                }
                engine_.SetPhotoshopFolder(folder);
            }
            return true;
        }
        case kPageDest: {
            std::string path = State(I::DestFolderInput).text;
            if (path.empty() || path.back() != '\\') path += '\\';
            if (!ValidateDestination(path)) {
                FocusIfPossible(I::DestFolderInput);
                return false;
            }
            engine_.SetDestinationFolder(path);
            return true;
        }
        case kPagePersonalize:
            if (State(I::NameInput).text.empty()) {
                platform_.WarningBox(kNoNameText);
                FocusIfPossible(I::NameInput);
                return false;
            }
            engine_.SetUserName(State(I::NameInput).text);
            return true;
        case kPageIcon:
            engine_.SetShortcutChoice(
                {State(I::IconStartMenuCheck).checked, State(I::IconDesktopCheck).checked});
            return true;
        case kPageReady:
            Finish();
            return false;
        default:
            return true;
    }
}

void WizardModel::Finish() {
    if (State(I::ReadyReadmeCheck).checked) {
        std::string readme = engine_.ReadmeFile();
        if (!readme.empty()) platform_.OpenWithDefaultAction(readme, "");
    }
    if (State(I::ReadyStartCheck).visible && State(I::ReadyStartCheck).checked)
        platform_.OpenWithDefaultAction(engine_.ProductFile(), engine_.DestinationFolder());
    host_.RequestClose();
}

void WizardModel::NextClick() {
    if (!AcceptsInput() || !Usable(I::NextButton)) return;
    if (LeavePage(page_)) ShowPage(NextShownPage(page_, +1));
}

void WizardModel::BackClick() {
    if (!AcceptsInput() || !Usable(I::BackButton)) return;
    ShowPage(NextShownPage(page_, -1));
}

void WizardModel::CancelClick() {
    if (!AcceptsInput() || !Usable(I::CancelButton)) return;
    host_.RequestClose();
}

bool WizardModel::CloseQuery() {
    if (stopped_) return true;
    if (!AcceptsInput()) return false;
    if (page_ == kPageReady) return true;
    return platform_.QuestionBox(engine_.ExpandText(kCancelQuestion));
}

void WizardModel::Vst2InstallCheckClick() {
    bool on = State(I::Vst2InstallCheck).checked;
    for (ControlId id : {I::Vst2FolderLabel, I::Vst2FolderInput, I::Vst2BrowseButton}) Mut(id).enabled = on;
    engine_.SetInstallVst2(on);
}

void WizardModel::Click(ControlId button) {
    if (!AcceptsInput()) return;
    switch (button) {
        case I::BackButton:
            BackClick();
            break;
        case I::NextButton:
            NextClick();
            break;
        case I::CancelButton:
            CancelClick();
            break;
        case I::SelectAllButton:
        case I::SelectNoneButton:
            for (BundleEntry& entry : bundle_) entry.checked = button == I::SelectAllButton;
            break;
        case I::DestBrowseButton:
            Browse(I::DestFolderInput, engine_.ExpandText(kDestBrowseTitle));
            break;
        case I::Vst2BrowseButton:
            Browse(I::Vst2FolderInput, kVst2BrowseTitle);
            break;
        case I::PhotoshopBrowseButton:
            Browse(I::PhotoshopFolderInput, kPhotoshopBrowseTitle);
            break;
        default:
            break;
    }
}

void WizardModel::Browse(ControlId field, const std::string& title) {
    Mut(field).text = BrowseForFolder(platform_, host_.Owner(), title, State(field).text);
}

void WizardModel::SetText(ControlId edit, const std::string& text) {
    Mut(edit).text = text;
}

void WizardModel::SetChecked(ControlId check, bool checked) {
    bool changed = State(check).checked != checked;
    Mut(check).checked = checked;
    if (check == I::Vst2InstallCheck && changed) Vst2InstallCheckClick();
}

void WizardModel::SetBundleChecked(int index, bool checked) {
    if (index >= 0 && index < static_cast<int>(bundle_.size()))
        bundle_[static_cast<std::size_t>(index)].checked = checked;
}

void WizardModel::SetProgress(int position) {
    Mut(I::CopyProgressBar).position = ClampInt(position, 0, 100);
}

void WizardModel::SetStatus(const std::string& text) {
    Mut(I::CopyStatusLabel).caption = text;
}
