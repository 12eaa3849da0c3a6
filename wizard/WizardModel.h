// The wizard without a window: pages, skip rules, buttons, every control's state, and the
// checks run when a page is left. The window (wizard/win32/FormMain) mirrors this state onto
// real controls and forwards the user's clicks and typing here.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "system/Platform.h"
#include "wizard/ControlTable.h"
#include "wizard/FormatControls.h"
#include "wizard/WizardEngine.h"

// What the model needs from the window that shows it.
class IWizardHost {
public:
    virtual ~IWizardHost() = default;
    // Lets the window handle its pending messages once, so the copy page is painted.
    virtual void PaintNow() = 0;
    // Receives the installation run's reports.
    virtual ISetupProgress& Progress() = 0;
    // Forgets the keys and clicks that arrived while the installation ran: the copy page refuses
    // them, so they must not act on the completion page once it shows (a second Enter on
    // Install would press Finish).
    virtual void DropPendingInput() = 0;
    // Asks the window to close; it closes when CloseQuery agrees.
    virtual void RequestClose() = 0;
    // Ends the program once control returns to the message loop; called only after an error
    // box or a refusal, which the program's exit status then reports.
    virtual void Terminate() = 0;
    virtual WindowRef Owner() = 0;
};

struct ControlState {
    int page = kOnForm;  // may change at creation (the "Click Install" line)
    int left = 0;
    int top = 0;
    int height = 0;
    std::string caption;
    std::string text;  // edits and the licence text
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    int position = 0;  // progress bar
};

// The keys the wizard handles itself, whichever control has the focus; every other key goes to
// the focused control (Space to a check box or button, arrows and Space to the bundle list).
enum class WizardKey { Enter, Escape, Tab, BackTab };

struct BundleEntry {
    std::string name;
    bool checked = true;
};

class WizardModel {
public:
    WizardModel(IWizardEngine& engine, Platform& platform, IWizardHost& host);

    // Prepares every page's texts and states from the engine, then shows the first page.
    void Prepare();

    int Page() const { return page_; }
    int InstallPage() const { return installPage_; }
    const ControlState& State(ControlId id) const { return states_[Index(id)]; }
    // The control that has the focus, or should get it: the window gives it back here whenever
    // the window itself receives the focus (after a message box, on activation). None on the
    // copy page.
    ControlId Focus() const { return focus_; }
    // Counts the model's focus moves, so the window moves the focus only when asked to.
    int FocusRequests() const { return focusRequests_; }
    // The push button that Enter presses now: the focused push button, else Next.
    ControlId DefaultButton() const;
    // The controls that Tab visits on the current page, in order: shown and enabled ones only.
    std::vector<ControlId> TabStops() const;
    // Whether the window takes the user's input now: everything is refused while the
    // installation runs. Every key, click and close request asks this one rule.
    bool AcceptsInput() const { return page_ >= 0 && page_ != kPageCopy; }
    const std::string& WindowCaption() const { return caption_; }
    const std::vector<BundleEntry>& BundleEntries() const { return bundle_; }

    // Each page as a row: when it is shown, which control takes the focus on entering it, and
    // what leaving it forward does (nullptr: nothing to check).
    struct PageRow {
        int page;
        bool (*shown)(IWizardEngine& engine);  // nullptr: always shown
        ControlId focus;
        bool (WizardModel::*leave)(int page);
    };
    static const PageRow& PageRowOf(int page);

    bool PageShown(int page);
    int NextShownPage(int page, int direction);
    void ShowPage(int page);
    bool LeavePage(int page);
    std::string ExpandPluginText(const std::string& text);
    // The control's caption from its table text, its variables expanded by the table's rule.
    std::string PreparedCaption(ControlId id, const std::string& text, CaptionPrep prep);

    // --- the user's actions -----------------------------------------------------------
    void NextClick();
    void BackClick();
    void CancelClick();
    // Whether the window may close now (cancel, close box, Alt+F4, Finish).
    bool CloseQuery();
    // A push button other than Back, Next and Cancel.
    void Click(ControlId button);
    void SetText(ControlId edit, const std::string& text);
    void SetChecked(ControlId check, bool checked);
    void SetBundleChecked(int index, bool checked);
    void KeyPress(WizardKey key);
    // A mnemonic letter typed with Alt, or without it while a button or check box has the focus
    // (they take no characters). One control with the letter is pressed, toggled or, for a label,
    // its field focused; several controls sharing it get the focus in turn, and none is pressed.
    // False when no shown control has the letter: the key then goes on as usual.
    bool MnemonicKey(char32_t letter, bool alt);
    // The window reports a focus move it made without the model, such as a click into a field.
    void FocusMoved(ControlId id);

    // --- the installation run's reports (the window repaints after each) ---------------------
    void SetProgress(int position);
    void SetStatus(const std::string& text);

    // The error box's text: a message gets a closing "." unless it ends in punctuation.
    static std::string ErrorBoxText(const std::string& message);

private:
    ControlState& Mut(ControlId id) { return states_[Index(id)]; }
    void FocusIfPossible(ControlId id);
    bool Usable(ControlId id) const;
    bool MnemonicReaches(ControlId id) const;
    void PressMnemonic(ControlId id);
    std::vector<ControlId> KeyboardOrder() const;
    void MoveFocus(int direction);
    bool LeaveWelcome(int page);
    bool LeaveBundleItems(int page);
    bool LeaveFormatPage(int page);
    bool LeaveDest(int page);
    bool LeavePersonalize(int page);
    bool LeaveIcon(int page);
    bool LeaveReady(int page);

    // A plug-in format's controls from its state, and its state from them when its page is left.
    void PrepareFormat(const FormatControls& controls);
    bool LeaveFormat(const FormatControls& controls);
    // The check box of a format with a folder field: the folder controls follow it.
    void FolderCheckClick(const FormatControls& controls);
    bool ValidateFolder(const std::string& path);
    bool ValidateDestination(const std::string& path);
    void Browse(ControlId field, const std::string& title);
    void Finish();

    IWizardEngine& engine_;
    Platform& platform_;
    IWizardHost& host_;
    std::array<ControlState, kControlCount> states_;
    std::vector<BundleEntry> bundle_;
    std::string caption_;
    int page_ = -1;
    bool stopped_ = false;  // the user cancelled the run before it wrote anything
    int installPage_ = kPageDest;
    ControlId focus_ = ControlId::None;
    int focusRequests_ = 0;
};
