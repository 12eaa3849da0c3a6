// The wizard's controls as data: every control's kind, page, design position and size (pixels
// at 96 DPI, relative to its parent), the id of its caption's text (texts/TextId.h), how the
// caption is prepared, flags, tab order and focus target. The model keeps state per entry; the window creates one control per
// entry and scales it.
#pragma once

#include <cstddef>
#include <string>

#include "texts/TextId.h"

enum class ControlKind {
    Panel,
    Image,
    Notebook,
    Button,
    Label,
    CheckBox,
    Edit,
    Memo,
    CheckList,
    ProgressBar
};

// How a caption is prepared when the window is created.
enum class CaptionPrep { AsStored, Expand, ExpandPlugin };

enum ControlFlag : unsigned {
    kBold = 1u << 0,     // page heading
    kWrap = 1u << 1,     // caption wraps at the control's width
    kHidden = 1u << 2,   // not visible at creation
    kChecked = 1u << 3,  // check box checked at creation
    kDefault = 1u << 4,  // Enter presses it
    kCancel = 1u << 5,   // Escape presses it
};

// Pages, in notebook order.
enum WizardPage : int {
    kPageWelcome,
    kPageLicense,
    kPageBundleItems,
    kPageVstPlugins,
    kPageDigiPlugins,
    kPagePhotoshopPlugin,
    kPageDest,
    kPagePersonalize,
    kPageIcon,
    kPageCopy,
    kPageReady,
    kPageCount
};
// Parents that are not pages.
inline constexpr int kOnForm = -1;   // the window's client area
inline constexpr int kInPanel = -2;  // the picture frame

enum class ControlId : int {
    None = -1,
    Panel,
    Image,
    Notebook,
    BackButton,
    NextButton,
    CancelButton,
    WelcomeHeadingLabel,
    WelcomeDescriptionLabel,
    WelcomeStepLabel,
    LicenseHeadingLabel,
    LicenseMemo,
    LicenseStepLabel,
    BundleHeadingLabel,
    BundleDescriptionLabel,
    BundleList,
    SelectAllButton,
    SelectNoneButton,
    VstHeadingLabel,
    Vst2DescriptionLabel,
    Vst2InstallCheck,
    Vst2FolderLabel,
    Vst2FolderInput,
    Vst2BrowseButton,
    Vst3InstallCheck,
    Vst3ListLabel,
    Vst3DescriptionLabel,
    ClapInstallCheck,
    ClapListLabel,
    ClapDescriptionLabel,
    DigiHeadingLabel,
    DigiDescriptionLabel,
    RtasInstallCheck,
    RtasDescriptionLabel,
    AaxInstallCheck,
    AaxDescriptionLabel,
    PhotoshopHeadingLabel,
    PhotoshopInfoLabel,
    PhotoshopInstallCheck,
    PhotoshopFolderLabel,
    PhotoshopFolderInput,
    PhotoshopBrowseButton,
    DestHeadingLabel,
    DestDescriptionLabel,
    DestStepLabel,
    DestFolderLabel,
    DestFolderInput,
    DestBrowseButton,
    NameHeadingLabel,
    NameInfoLabel,
    NameLabel,
    NameInput,
    IconHeadingLabel,
    IconStartMenuLabel,
    IconStartMenuCheck,
    IconDesktopLabel,
    IconDesktopCheck,
    InstallLabel,
    CopyHeadingLabel,
    CopyDescriptionLabel,
    CopyStatusLabel,
    CopyProgressBar,
    ReadyHeadingLabel,
    ReadyDescriptionLabel,
    ReadyReadmeLabel,
    ReadyReadmeCheck,
    ReadyStartLabel,
    ReadyStartCheck,
    Count
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(ControlId::Count);

struct ControlDef {
    ControlId id;
    const char* name;
    ControlKind kind;
    int page;  // a WizardPage, kOnForm or kInPanel
    int left, top, width, height;
    TextId text;  // TextId::None for a control without a caption
    CaptionPrep prep;
    unsigned flags;
    int tabOrder;           // within the parent; -1 for controls that take no focus
    ControlId focusTarget;  // where a label's mnemonic moves the focus
};

const ControlDef& Control(ControlId id);
// The window's id of each control (its command id, GetDlgCtrlID): the table's index from 100 on;
// ControlId::None for an id that names no control.
int CommandId(ControlId id);
ControlId FromCommandId(int commandId);
inline std::size_t Index(ControlId id) {
    return static_cast<std::size_t>(id);
}

// The VST page when it offers CLAP beside VST 3: the two share the place that VST 3 (or CLAP)
// has alone, each with its check box, its "(Only for ...)" line and a description of one line.
// A check box whose line is hidden takes that line's place, as on the page with one format.
struct SharedPlacement {
    ControlId id;
    int top, height;
    TextId text;  // prepared as the table says; TextId::None keeps the table's caption
};
inline constexpr SharedPlacement kVst3AndClapPlacements[] = {
    {ControlId::Vst3InstallCheck, 204, 17, TextId::None},
    {ControlId::Vst3ListLabel, 220, 17, TextId::None},
    {ControlId::Vst3DescriptionLabel, 238, 17, TextId::Vst3SharedDescription},
    {ControlId::ClapInstallCheck, 258, 17, TextId::None},
    {ControlId::ClapListLabel, 274, 17, TextId::None},
    {ControlId::ClapDescriptionLabel, 292, 17, TextId::ClapSharedDescription},
};

// Design size of the window's client area.
inline constexpr int kClientWidth = 512;
inline constexpr int kClientHeight = 370;

// Whether the control can hold the keyboard focus: the panel, the notebook and the progress bar
// have a place in their parent's tab order but never take the focus themselves.
bool TakesFocus(ControlKind kind);

// Where a control comes when Tab and the mnemonics walk the window: a page's controls by their
// tab order, a label right before the field it names (NamedField), then the form's controls
// (the notebook, which holds the page, comes first among them). Sorting by this rank is the
// keyboard order; the window also creates its controls in it.
int KeyboardRank(ControlId id);

// The field a label names: its focus target, or the list, memo or progress bar it describes
// without a mnemonic; ControlId::None for a label that names nothing.
ControlId NamedField(ControlId label);

// Whether the control's caption may carry a mnemonic. Only labels with a focus target do among
// the labels; the others show their text as written, an '&' in a product's name included.
bool ShowsMnemonic(ControlId id);

// The mnemonic letter of a caption (UTF-8), upper-cased ("&Next >" gives 'N', "&Далее >" 'Д'),
// or 0 when it has none; "&&" is a literal ampersand.
char32_t Mnemonic(const std::string& caption);
// A letter as mnemonics compare it: ASCII, Latin-1 and Cyrillic letters upper-cased.
char32_t MnemonicLetter(char32_t letter);
