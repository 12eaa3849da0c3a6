// The wizard by keyboard: where the focus goes on entering each page and after each refusal,
// what Tab, Enter, Escape and the mnemonics do, and that nothing gets through while copying.
#include <gtest/gtest.h>

#include "tests/unit/wizard/WizardFixture.h"
#include "texts/Texts.h"

namespace {

using I = ControlId;
using Stops = std::vector<ControlId>;

class WizardKeyboardTest : public WizardTestBase {
protected:
    // A product with every optional page, all of whose folders can be made.
    void EveryPage() {
        engine.isBundle = true;
        engine.items = {{"One"}, {"Two"}};
        engine.pageFlags = {true, true, true, true};
        engine.shortcutKinds = {true, true};
        engine.vst3Available = true;
        engine.vst2Folder = "C:\\VST";
        engine.photoshopFolder = "C:\\PS";
        engine.creatableFolders = {"C:\\VST", "C:\\PS"};
    }
    void Key(WizardKey key) { model->KeyPress(key); }
    bool Alt(char letter) { return model->MnemonicKey(letter, true); }
    std::size_t DialogCount() { return platform.Dialogs().size(); }
};

TEST_F(WizardKeyboardTest, EnteringEachPageFocusesItsControlWhicheverWayItIsEntered) {
    EveryPage();
    Start();
    const std::vector<std::pair<int, ControlId>> table{
        {kPageWelcome, I::NextButton},     {kPageLicense, I::NextButton},
        {kPageBundleItems, I::NextButton}, {kPageVstPlugins, I::Vst2FolderInput},
        {kPageDigiPlugins, I::NextButton}, {kPagePhotoshopPlugin, I::PhotoshopFolderInput},
        {kPageDest, I::DestFolderInput},   {kPagePersonalize, I::NameInput},
        {kPageIcon, I::NextButton}};
    // Forward by Enter, wherever the focus is when it is pressed.
    for (auto [page, focus] : table) {
        ASSERT_EQ(model->Page(), page);
        EXPECT_EQ(model->Focus(), focus) << "page " << page;
        if (page != kPageIcon) Key(WizardKey::Enter);
    }
    // Back by a click, which puts the focus on Back first: the focus follows the table again.
    for (auto it = table.rbegin() + 1; it != table.rend(); ++it) {
        model->FocusMoved(I::BackButton);
        model->BackClick();
        ASSERT_EQ(model->Page(), it->first);
        EXPECT_EQ(model->Focus(), it->second) << "back to page " << it->first;
    }
    // Through the copy page, which takes no focus, to the completion page.
    model->ShowPage(kPageCopy);
    EXPECT_EQ(model->Page(), kPageReady);
    EXPECT_EQ(model->Focus(), I::NextButton);
    EXPECT_EQ(model->State(I::NextButton).caption, "&Finish");
}

TEST_F(WizardKeyboardTest, AFieldThatCannotTakeTheFocusLeavesItWhereItWasUnlessThatPageIsGone) {
    EveryPage();
    engine.installVst2 = false;  // the VST 2 folder starts greyed
    Start();
    model->ShowPage(kPageBundleItems);
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageVstPlugins);
    EXPECT_EQ(model->Focus(), I::NextButton) << "stays on the button that moved on";

    // A focus still in the Photoshop field when Back is clicked without moving it (as the
    // automation does) would talk to a hidden field: the page's first tab stop takes it.
    model->ShowPage(kPagePhotoshopPlugin);
    model->FocusMoved(I::PhotoshopFolderInput);
    model->ShowPage(kPageVstPlugins);
    EXPECT_EQ(model->Focus(), I::Vst2InstallCheck);
}

TEST_F(WizardKeyboardTest, EveryRefusalGivesTheFocusToTheFieldToCorrect) {
    EveryPage();
    engine.existingInstallFound = true;
    engine.existingFolder = "C:\\Program Files\\Gadget\\";
    engine.creatableFolders.push_back("C:\\Elsewhere\\");
    Start();
    struct Refusal {
        int page;
        ControlId field;
        std::function<void()> spoil, mend;
    };
    std::vector<Refusal> refusals{
        {kPageBundleItems, I::BundleList, [&] { model->Click(I::SelectNoneButton); },
         [&] { model->SetBundleChecked(0, true); }},
        {kPageVstPlugins, I::Vst2FolderInput, [&] { model->SetText(I::Vst2FolderInput, "Q:\\No"); },
         [&] { model->SetText(I::Vst2FolderInput, "C:\\VST"); }},
        {kPagePhotoshopPlugin, I::PhotoshopFolderInput,
         [&] { model->SetText(I::PhotoshopFolderInput, "Q:\\No"); },
         [&] { model->SetText(I::PhotoshopFolderInput, "C:\\PS"); }},
        {kPageDest, I::DestFolderInput, [&] { model->SetText(I::DestFolderInput, ""); },
         [&] { model->SetText(I::DestFolderInput, "C:\\Program Files\\Gadget"); }},
        // Another folder than the earlier copy's, and No to the question.
        {kPageDest, I::DestFolderInput,
         [&] {
             model->SetText(I::DestFolderInput, "C:\\Elsewhere");
             platform.AnswerQuestions({false});
         },
         [&] { model->SetText(I::DestFolderInput, "C:\\Program Files\\Gadget"); }},
        {kPagePersonalize, I::NameInput, [&] { model->SetText(I::NameInput, ""); },
         [&] { model->SetText(I::NameInput, "Ada"); }},
    };
    for (const Refusal& refusal : refusals) {
        model->ShowPage(refusal.page);
        refusal.spoil();
        model->FocusMoved(I::NextButton);
        int requests = model->FocusRequests();
        std::size_t dialogs = DialogCount();
        Key(WizardKey::Enter);
        ASSERT_EQ(model->Page(), refusal.page);
        EXPECT_EQ(DialogCount(), dialogs + 1) << "page " << refusal.page;
        EXPECT_EQ(model->Focus(), refusal.field) << "page " << refusal.page;
        // Asked for again even when the field had it: the window selects its text once more.
        model->FocusMoved(refusal.field);
        refusal.spoil();
        requests = model->FocusRequests();
        Key(WizardKey::Enter);
        EXPECT_GT(model->FocusRequests(), requests) << "page " << refusal.page;
        refusal.mend();
    }
}

TEST_F(WizardKeyboardTest, TheCancelQuestionAnsweredNoLeavesTheFocusWhereItWas) {
    Start();
    model->ShowPage(kPageDest);
    int requests = model->FocusRequests();
    platform.AnswerQuestions({false});
    Key(WizardKey::Escape);
    EXPECT_EQ(platform.Dialogs().back().text,
              "Gadget 1.0 has not been fully installed yet.\rAre you sure you want to cancel Gadget Setup?");
    EXPECT_EQ(host.closed, 0);
    EXPECT_EQ(model->Focus(), I::DestFolderInput);
    EXPECT_EQ(model->FocusRequests(), requests);
    Key(WizardKey::Escape);  // Yes this time
    EXPECT_EQ(host.closed, 1);
}

TEST_F(WizardKeyboardTest, TabVisitsTheControlTableOrderSkippingHiddenAndDisabledControls) {
    EveryPage();
    engine.vst3OnlyFor = "One";
    engine.productFile = "C:\\G\\Gadget.exe";
    Start();
    const Stops form{I::BackButton, I::NextButton, I::CancelButton};
    auto with = [&](Stops page, Stops buttons) {
        page.insert(page.end(), buttons.begin(), buttons.end());
        return page;
    };
    EXPECT_EQ(model->TabStops(), (Stops{I::NextButton, I::CancelButton})) << "Back is disabled on Welcome";
    model->ShowPage(kPageLicense);
    EXPECT_EQ(model->TabStops(), with({I::LicenseMemo}, form));
    model->ShowPage(kPageBundleItems);
    EXPECT_EQ(model->TabStops(), with({I::BundleList, I::SelectAllButton, I::SelectNoneButton}, form));
    model->ShowPage(kPageVstPlugins);
    EXPECT_EQ(
        model->TabStops(),
        with({I::Vst2FolderInput, I::Vst2BrowseButton, I::Vst2InstallCheck, I::Vst3InstallCheck}, form));
    model->SetChecked(I::Vst2InstallCheck, false);
    EXPECT_EQ(model->TabStops(), with({I::Vst2InstallCheck, I::Vst3InstallCheck}, form));
    model->ShowPage(kPageDigiPlugins);
    EXPECT_EQ(model->TabStops(), with({I::AaxInstallCheck}, form)) << "RTAS is hidden";
    model->ShowPage(kPagePhotoshopPlugin);
    EXPECT_EQ(model->TabStops(),
              with({I::PhotoshopInstallCheck, I::PhotoshopFolderInput, I::PhotoshopBrowseButton}, form));
    model->ShowPage(kPageDest);
    EXPECT_EQ(model->TabStops(), with({I::DestFolderInput, I::DestBrowseButton}, form));
    model->ShowPage(kPageIcon);
    EXPECT_EQ(model->TabStops(), with({I::IconStartMenuCheck, I::IconDesktopCheck}, form));
    model->ShowPage(kPageReady);
    EXPECT_EQ(model->TabStops(), (Stops{I::ReadyStartCheck, I::ReadyReadmeCheck, I::NextButton}));

    // Round and round, both ways.
    model->ShowPage(kPageDest);
    Key(WizardKey::Tab);
    EXPECT_EQ(model->Focus(), I::DestBrowseButton);
    for (int i = 0; i < 4; ++i) Key(WizardKey::Tab);
    EXPECT_EQ(model->Focus(), I::DestFolderInput) << "Cancel wraps to the page's first control";
    Key(WizardKey::BackTab);
    EXPECT_EQ(model->Focus(), I::CancelButton);
}

TEST_F(WizardKeyboardTest, EnterPressesTheFocusedPushButtonElseNextAlsoFromTheLicenceText) {
    Start();
    Key(WizardKey::Enter);
    ASSERT_EQ(model->Page(), kPageLicense);
    Key(WizardKey::BackTab);
    Key(WizardKey::BackTab);
    ASSERT_EQ(model->Focus(), I::LicenseMemo);
    EXPECT_EQ(model->DefaultButton(), I::NextButton);
    Key(WizardKey::Enter);
    EXPECT_EQ(model->Page(), kPageDest) << "Enter in the licence text is Yes";

    model->FocusMoved(I::BackButton);
    EXPECT_EQ(model->DefaultButton(), I::BackButton);
    Key(WizardKey::Enter);
    EXPECT_EQ(model->Page(), kPageLicense);
}

TEST_F(WizardKeyboardTest, MnemonicsPressButtonsToggleChecksAndSendLabelsToTheirFields) {
    EveryPage();
    Start();
    EXPECT_FALSE(Alt('z'));
    EXPECT_TRUE(Alt('n'));
    ASSERT_EQ(model->Page(), kPageLicense);
    EXPECT_TRUE(Alt('Y'));
    ASSERT_EQ(model->Page(), kPageBundleItems);
    EXPECT_TRUE(Alt('o'));
    EXPECT_FALSE(model->BundleEntries()[0].checked);
    EXPECT_EQ(model->Focus(), I::SelectNoneButton);
    EXPECT_TRUE(Alt('a'));
    EXPECT_TRUE(model->BundleEntries()[0].checked);
    EXPECT_TRUE(Alt('n'));

    ASSERT_EQ(model->Page(), kPageVstPlugins);
    EXPECT_TRUE(Alt('3'));
    EXPECT_FALSE(model->State(I::Vst3InstallCheck).checked);
    EXPECT_EQ(model->Focus(), I::Vst3InstallCheck);
    EXPECT_TRUE(Alt('f'));
    EXPECT_EQ(model->Focus(), I::Vst2FolderInput);
    EXPECT_TRUE(Alt('i'));
    EXPECT_FALSE(model->State(I::Vst2FolderInput).enabled) << "the check's own click rule runs";
    EXPECT_FALSE(Alt('f')) << "the label of a greyed field leads nowhere";
    EXPECT_TRUE(Alt('i'));

    // Without Alt only where the focus takes no characters.
    model->FocusMoved(I::Vst2FolderInput);
    EXPECT_FALSE(model->MnemonicKey('n', false));
    model->FocusMoved(I::Vst3InstallCheck);
    // A character beyond ASCII is no letter, whatever its low byte: U+014E and U+FF2E end in 'N'.
    EXPECT_FALSE(model->MnemonicKey(u'\u014E', true));
    EXPECT_FALSE(model->MnemonicKey(u'\uFF2E', false));
    EXPECT_EQ(model->Page(), kPageVstPlugins);
    EXPECT_TRUE(model->MnemonicKey('n', false));
    EXPECT_EQ(model->Page(), kPageDigiPlugins);
    EXPECT_TRUE(Alt('i'));
    EXPECT_FALSE(model->State(I::AaxInstallCheck).checked);
    EXPECT_TRUE(Alt('n'));

    model->ShowPage(kPagePersonalize);
    EXPECT_TRUE(Alt('a'));
    EXPECT_EQ(model->Focus(), I::NameInput);
    model->ShowPage(kPageIcon);
    EXPECT_TRUE(Alt('i')) << "Install, on the install page";
    EXPECT_EQ(model->Page(), kPageReady);
    EXPECT_TRUE(engine.installed);
    EXPECT_FALSE(engine.installAax);
    EXPECT_FALSE(engine.installVst3);
}

TEST_F(WizardKeyboardTest, TheClapChoiceFollowsVst3AndIsNoStopWithoutClapFiles) {
    engine.pageFlags.vstPluginFolder = true;
    engine.vst3Available = true;
    engine.vst2Folder = "C:\\VST";
    engine.creatableFolders = {"C:\\VST"};
    Start();
    model->ShowPage(kPageVstPlugins);
    EXPECT_FALSE(Alt('c'));
    const Stops vst{I::Vst2FolderInput, I::Vst2BrowseButton, I::Vst2InstallCheck, I::Vst3InstallCheck};
    const Stops form{I::BackButton, I::NextButton, I::CancelButton};
    Stops stops = vst;
    stops.insert(stops.end(), form.begin(), form.end());
    EXPECT_EQ(model->TabStops(), stops);

    engine.clapAvailable = true;
    Start();
    model->ShowPage(kPageVstPlugins);
    stops.insert(stops.begin() + 4, I::ClapInstallCheck);
    EXPECT_EQ(model->TabStops(), stops);
    EXPECT_TRUE(Alt('c'));
    EXPECT_EQ(model->Focus(), I::ClapInstallCheck);
    Key(WizardKey::Enter);
    EXPECT_EQ(model->Page(), kPageDest);
    EXPECT_FALSE(engine.installClap);
    EXPECT_TRUE(engine.installVst3);
}

TEST_F(WizardKeyboardTest, HiddenControlsHaveNoMnemonic) {
    engine.shortcutKinds = {true, false};
    Start();
    model->ShowPage(kPageIcon);
    EXPECT_FALSE(Alt('d')) << "no desktop question";
    model->ShowPage(kPageReady);
    EXPECT_FALSE(Alt('s')) << "no product to start";
    EXPECT_FALSE(Alt('b')) << "Back is hidden";
}

TEST_F(WizardKeyboardTest, AMnemonicSharedByTwoControlsMovesTheFocusBetweenThemAndPressesNeither) {
    engine.pageFlags.vstPluginFolder = true;
    engine.vst2Folder = "C:\\VST";
    Start();
    model->ShowPage(kPageVstPlugins);
    ASSERT_EQ(model->Focus(), I::Vst2FolderInput);
    EXPECT_TRUE(Alt('b'));
    EXPECT_EQ(model->Focus(), I::Vst2BrowseButton);
    EXPECT_TRUE(Alt('b'));
    EXPECT_EQ(model->Focus(), I::BackButton);
    EXPECT_TRUE(Alt('b'));
    EXPECT_EQ(model->Focus(), I::Vst2BrowseButton);
    EXPECT_EQ(model->Page(), kPageVstPlugins);
    EXPECT_TRUE(platform.FolderPickers().empty());
    // Then Enter presses the one with the focus.
    platform.AnswerFolderPickers({std::string("D:\\Plugins")});
    Key(WizardKey::Enter);
    EXPECT_EQ(model->State(I::Vst2FolderInput).text, "D:\\Plugins");
}

TEST_F(WizardKeyboardTest, NothingTheUserDoesGetsThroughWhileCopying) {
    Start();
    model->ShowPage(kPageDest);
    model->FocusMoved(I::DestFolderInput);
    std::size_t dialogs = 0;
    engine.afterStatus = [&](ISetupProgress&) {
        EXPECT_FALSE(model->AcceptsInput());
        Key(WizardKey::Escape);
        Key(WizardKey::Enter);
        Key(WizardKey::Tab);
        EXPECT_FALSE(Alt('b'));
        model->Click(I::NextButton);
        model->CancelClick();
        EXPECT_FALSE(model->CloseQuery());
        EXPECT_EQ(model->Page(), kPageCopy);
        EXPECT_EQ(model->Focus(), I::None);
        EXPECT_EQ(host.inputDrops, 0);
        dialogs = DialogCount();
    };
    Key(WizardKey::Enter);
    EXPECT_EQ(dialogs, 0u) << "no question during the run";
    EXPECT_EQ(model->Page(), kPageReady);
    EXPECT_EQ(host.inputDrops, 1) << "what was typed during the run is dropped, not kept for Finish";
    // Once completed, Escape has no Cancel to press and Enter is Finish.
    Key(WizardKey::Escape);
    EXPECT_EQ(DialogCount(), 0u);
    Key(WizardKey::Enter);
    EXPECT_EQ(host.closed, 1);
}

}  // namespace

namespace {

// A Russian wizard: its captions come from the Russian table, and Alt with a Cyrillic letter,
// typed in either case, presses the button that shows it.
TEST_F(WizardKeyboardTest, MnemonicsOfAnotherScriptPressTheirButtons) {
    SpeakLanguage(*FindLanguage("ru"));
    Start();
    EXPECT_EQ(model->State(ControlId::NextButton).caption, "&Далее >");
    EXPECT_TRUE(model->MnemonicKey(U'д', true));
    EXPECT_EQ(model->Page(), kPageLicense);
    EXPECT_EQ(model->State(ControlId::CancelButton).caption, "Н&ет");
    EXPECT_TRUE(model->MnemonicKey(U'Н', true)) << "Back";
    EXPECT_EQ(model->Page(), kPageWelcome);
    SpeakLanguage(EnglishLanguage());
}

}  // namespace
