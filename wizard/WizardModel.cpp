#include "wizard/WizardModel.h"

#include "system/CommonUtils.h"
#include "system/ShellUtils.h"
#include "texts/Texts.h"

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
        state.caption = Text(def.text);
        state.visible = (def.flags & kHidden) == 0;
        state.checked = (def.flags & kChecked) != 0;
    }
}

void WizardModel::Prepare() {
    caption_ = engine_.ExpandText(Text(TextId::WindowCaption));
    // Captions marked for expansion in the table; the special cases follow.
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDef& def = Control(static_cast<ControlId>(i));
        if (def.prep != CaptionPrep::AsStored)
            states_[i].caption = PreparedCaption(static_cast<ControlId>(i), Text(def.text), def.prep);
    }

    std::string win64 = engine_.WelcomeWin64();
    if (!win64.empty())
        Mut(I::WelcomeStepLabel).caption = win64 + "\r\n\r\n" + Text(Control(I::WelcomeStepLabel).text);

    Mut(I::LicenseMemo).text = engine_.LicenseText();

    bundle_.clear();
    for (int i = 0; i < engine_.BundleItemCount(); ++i)
        bundle_.push_back({engine_.BundleItemName(i), engine_.BundleItemSelected(i)});

    // CLAP beside VST 3 shares its place; a setup without CLAP files shows the page as ever.
    if (engine_.Format(PluginFormat::Vst3).Available && engine_.Format(PluginFormat::Clap).Available) {
        for (const SharedPlacement& placement : kVst3AndClapPlacements) {
            Mut(placement.id).top = placement.top;
            Mut(placement.id).height = placement.height;
            if (placement.text != TextId::None)
                Mut(placement.id).caption =
                    PreparedCaption(placement.id, Text(placement.text), CaptionPrep::ExpandPlugin);
        }
    }
    for (const FormatControls& controls : FormatControlRows()) PrepareFormat(controls);

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

void WizardModel::PrepareFormat(const FormatControls& controls) {
    const PluginFormatState& state = engine_.Format(controls.format);
    if (FormatRow(controls.format).NeverOffered) {
        Mut(controls.check).visible = false;
        Mut(controls.description).visible = false;
        return;
    }
    if (controls.inPlaceOf != PluginFormat::None) {
        const FormatControls& place = ControlsOf(controls.inPlaceOf);
        Mut(controls.check).top = Control(place.check).top;
        Mut(controls.description).top = Control(place.description).top;
    }
    Mut(controls.check).checked = state.Install;
    // The folder controls follow the check box from the start, also when it starts unchecked.
    if (controls.checkEnablesFolder) FolderCheckClick(controls);
    if (controls.folderInput != I::None) Mut(controls.folderInput).text = state.Folder;
    if (FormatRow(controls.format).ComponentMark) {
        const ControlId list = controls.onlyForLabel;
        Mut(controls.check).visible = state.Available;
        Mut(controls.description).visible = state.Available;
        Mut(list).visible = state.Available && !state.OnlyFor.empty();
        Mut(list).caption = ReplaceFirst(Text(Control(list).text), "$List", state.OnlyFor);
        if (!State(list).visible) Mut(controls.check).top = State(list).top;
    }
}

bool WizardModel::LeaveFormat(const FormatControls& controls) {
    bool on = State(controls.check).checked;
    if (controls.folderInput == I::None) {
        engine_.Format(controls.format).Install = on;
        return true;
    }
    // An empty folder switches the format off for this pass only: the check box still decides
    // once a folder is typed again, so what the page shows is what gets installed.
    const std::string& folder = State(controls.folderInput).text;
    on = on && !folder.empty();
    engine_.Format(controls.format).Install = on;
    if (!on) return true;
    if (!ValidateFolder(folder)) {
        FocusIfPossible(controls.folderInput);
        return false;
    }
    engine_.Format(controls.format).Folder = folder;
    return true;
}

void WizardModel::FolderCheckClick(const FormatControls& controls) {
    bool on = State(controls.check).checked;
    for (ControlId id : {controls.folderLabel, controls.folderInput, controls.browseButton})
        Mut(id).enabled = on;
    engine_.Format(controls.format).Install = on;
}

std::string WizardModel::ExpandPluginText(const std::string& text) {
    std::string out =
        ReplaceAll(text, "$PluginDescription",
                   Text(engine_.IsBundle() ? TextId::PluginsForProduct : TextId::PluginVersionOfProduct));
    out = ReplaceAll(out, "$ProToolsFormats", "AAX");
    out = ReplaceAll(out, "$AaxInfo", Text(engine_.Is64Bit() ? TextId::Aax64Info : TextId::Aax32Info));
    return engine_.ExpandText(out);
}

std::string WizardModel::PreparedCaption(ControlId id, const std::string& text, CaptionPrep prep) {
    auto expand = [&](const std::string& piece) {
        return prep == CaptionPrep::ExpandPlugin ? ExpandPluginText(piece) : engine_.ExpandText(piece);
    };
    if (!ShowsMnemonic(id)) return expand(text);
    // The text's own '&' marks the mnemonic; a '&' a value brings ("R&B") is shown as written,
    // so it is doubled. No variable's name holds a '&': the pieces between the text's own are
    // expanded one by one.
    std::string caption;
    for (std::size_t begin = 0;;) {
        const std::size_t mark = text.find('&', begin);
        caption += ReplaceAll(expand(text.substr(begin, mark - begin)), "&", "&&");
        if (mark == std::string::npos) return caption;
        caption += '&';
        begin = mark + 1;
    }
}

std::string WizardModel::ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

bool WizardModel::ValidateFolder(const std::string& path) {
    if (engine_.CanCreateFolder(path)) return true;
    platform_.WarningBox(Text(TextId::FolderErrorWarning, path));
    return false;
}

bool WizardModel::ValidateDestination(const std::string& path) {
    if (!ValidateFolder(path)) return false;
    if (!engine_.ExistingInstallFound()) return true;
    bool samePath = SameText(path, engine_.ExistingFolder());
    if (engine_.SetupMajorVersion() == engine_.InstalledMajorVersion())
        return samePath || platform_.QuestionBox(engine_.ExpandText(Text(TextId::SameMajorQuestion)));
    return !samePath || platform_.QuestionBox(engine_.ExpandText(Text(TextId::NewMajorQuestion)));
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
    return platform_.QuestionBox(engine_.ExpandText(Text(TextId::CancelQuestion)));
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
            Browse(I::DestFolderInput, engine_.ExpandText(Text(TextId::DestBrowseTitle)));
            break;
        default:
            for (const FormatControls& controls : FormatControlRows())
                if (controls.browseButton == button && button != I::None)
                    Browse(controls.folderInput, Text(controls.browseTitle));
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
    if (!changed) return;
    for (const FormatControls& controls : FormatControlRows())
        if (controls.check == check && controls.checkEnablesFolder) FolderCheckClick(controls);
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
