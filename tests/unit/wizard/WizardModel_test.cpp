#include <gtest/gtest.h>

#include <map>

#include "tests/unit/wizard/WizardFixture.h"

namespace {

using I = ControlId;

class WizardModelTest : public WizardTestBase {
protected:
    // Pages reached by pressing Next from the first page up to the install page.
    std::vector<int> WalkToInstallPage() {
        std::vector<int> pages{model->Page()};
        while (model->Page() != model->InstallPage()) {
            model->NextClick();
            if (pages.back() == model->Page()) break;
            pages.push_back(model->Page());
        }
        return pages;
    }
    std::vector<std::string> DialogTexts() {
        std::vector<std::string> texts;
        for (auto& d : platform.Dialogs()) texts.push_back(d.kind + ": " + d.text);
        return texts;
    }
};

TEST_F(WizardModelTest, PlainSetupRunsWelcomeLicenseDestCopyReady) {
    Start();
    EXPECT_EQ(WalkToInstallPage(), (std::vector<int>{kPageWelcome, kPageLicense, kPageDest}));
    EXPECT_EQ(engine.checkCanInstallCalls, 1);
    EXPECT_EQ(model->State(I::NextButton).caption, "&Install");
    EXPECT_EQ(model->State(I::InstallLabel).page, kPageDest);
    EXPECT_EQ(model->State(I::InstallLabel).top, 220);
    EXPECT_EQ(model->Focus(), I::DestFolderInput);

    model->NextClick();
    EXPECT_TRUE(engine.installed);
    EXPECT_EQ(host.paints, 1) << "the copy page is painted before the run";
    EXPECT_EQ(host.statuses, (std::vector<std::string>{"Preparing installation...", "Copying files...",
                                                       "Creating settings..."}));
    EXPECT_EQ(model->State(I::CopyProgressBar).position, 100);
    EXPECT_EQ(model->Page(), kPageReady);
    EXPECT_EQ(model->State(I::NextButton).caption, "&Finish");
    EXPECT_FALSE(model->State(I::BackButton).visible);
    EXPECT_FALSE(model->State(I::CancelButton).visible);
    EXPECT_EQ(engine.destinationFolder, "C:\\Program Files\\Gadget\\");
}

TEST_F(WizardModelTest, EveryOptionalPageAppearsInOrderWhenConfigured) {
    engine.isBundle = true;
    engine.items = {{"One"}, {"Two"}};
    engine.pageFlags = {true, true, true, true};
    engine.shortcutKinds = {true, true};
    engine.vst2Folder = "C:\\VST";
    engine.photoshopFolder = "C:\\PS";
    engine.creatableFolders = {"C:\\VST", "C:\\PS"};
    Start();
    EXPECT_EQ(WalkToInstallPage(), (std::vector<int>{kPageWelcome, kPageLicense, kPageBundleItems,
                                                     kPageVstPlugins, kPageDigiPlugins, kPagePhotoshopPlugin,
                                                     kPageDest, kPagePersonalize, kPageIcon}));
    EXPECT_EQ(model->State(I::InstallLabel).top, 184) << "below the desktop question";
    EXPECT_TRUE(model->State(I::IconDesktopCheck).visible);
    EXPECT_TRUE(platform.Dialogs().empty()) << testing::PrintToString(DialogTexts());
}

TEST_F(WizardModelTest, ShortcutsWithoutDesktopPutTheInstallLineInTheDesktopQuestionsPlace) {
    engine.shortcutKinds = {true, false};
    Start();
    EXPECT_EQ(model->InstallPage(), kPageIcon);
    EXPECT_FALSE(model->State(I::IconDesktopLabel).visible);
    EXPECT_FALSE(model->State(I::IconDesktopCheck).visible);
    EXPECT_EQ(model->State(I::InstallLabel).page, kPageIcon);
    EXPECT_EQ(model->State(I::InstallLabel).top, 108);

    WalkToInstallPage();
    model->SetChecked(I::IconStartMenuCheck, false);
    model->NextClick();
    EXPECT_FALSE(engine.shortcutChoice.startMenu);
    EXPECT_TRUE(engine.shortcutChoice.desktop) << "the hidden desktop check is read as it stands";
}

TEST_F(WizardModelTest, PersonalizePageAsInstallPageRefusesOnlyAnEmptyName) {
    engine.pageFlags.personalization = true;
    Start();
    EXPECT_EQ(model->InstallPage(), kPagePersonalize);
    EXPECT_EQ(model->State(I::InstallLabel).page, kPageIcon) << "no install line on the Personalize page";
    EXPECT_EQ(WalkToInstallPage().back(), kPagePersonalize);
    EXPECT_EQ(model->State(I::NameInput).text, "User");

    model->SetText(I::NameInput, "");
    model->NextClick();
    EXPECT_EQ(model->Page(), kPagePersonalize);
    EXPECT_EQ(DialogTexts(), (std::vector<std::string>{"warning: Please enter your name first."}));
    EXPECT_EQ(model->Focus(), I::NameInput);

    model->SetText(I::NameInput, "   ");
    model->NextClick();
    EXPECT_EQ(engine.userName, "   ");
    EXPECT_EQ(model->Page(), kPageReady);
}

TEST_F(WizardModelTest, ButtonsFollowThePage) {
    Start();
    EXPECT_TRUE(model->State(I::BackButton).visible);
    EXPECT_FALSE(model->State(I::BackButton).enabled);
    EXPECT_EQ(model->State(I::NextButton).caption, "&Next >");
    EXPECT_EQ(model->Focus(), I::NextButton);
    model->BackClick();
    EXPECT_EQ(model->Page(), kPageWelcome);

    model->NextClick();
    EXPECT_EQ(model->State(I::NextButton).caption, "&Yes");
    EXPECT_EQ(model->State(I::CancelButton).caption, "&No");
    EXPECT_TRUE(model->State(I::BackButton).enabled);
    model->NextClick();
    EXPECT_EQ(model->State(I::CancelButton).caption, "Cancel");
    model->BackClick();
    EXPECT_EQ(model->Page(), kPageLicense) << "Back skips the pages that are not shown";
    model->BackClick();
    model->NextClick();
    EXPECT_EQ(engine.checkCanInstallCalls, 2) << "checked every time Welcome is left";
}

TEST_F(WizardModelTest, RefusedInstallCheckEndsTheProgram) {
    engine.canInstall = false;
    Start();
    model->NextClick();
    EXPECT_EQ(host.terminations, 1);
}

TEST_F(WizardModelTest, CancelAsksBeforeInstallingButNotDuringOrAfter) {
    Start();
    model->NextClick();
    platform.AnswerQuestions({false, true});
    model->CancelClick();  // "&No" on the License page
    EXPECT_EQ(host.closed, 0);
    EXPECT_EQ(model->Page(), kPageLicense);
    model->CancelClick();
    EXPECT_EQ(host.closed, 1);
    ASSERT_EQ(platform.Dialogs().size(), 2u);
    EXPECT_EQ(platform.Dialogs()[0].text,
              "Gadget 1.0 has not been fully installed yet.\rAre you sure you want to cancel Gadget Setup?");

    model->ShowPage(kPageCopy);  // as during the run: the close box does nothing
    model->ShowPage(kPageReady);
    EXPECT_TRUE(model->CloseQuery());
    EXPECT_EQ(platform.Dialogs().size(), 2u);
}

TEST_F(WizardModelTest, DestinationChecks) {
    Start();
    model->ShowPage(kPageDest);
    model->SetText(I::DestFolderInput, "");
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageDest);
    EXPECT_EQ(DialogTexts(),
              (std::vector<std::string>{
                  "warning: Could not create the folder '\\'.\rPlease specify a valid name."}));

    // An earlier copy of the same major version: its folder in other letters passes quietly.
    engine.existingInstallFound = true;
    engine.existingFolder = "C:\\Old\\Gadget\\";
    engine.creatableFolders = {"c:\\old\\GADGET\\", "C:\\Other\\"};
    model->SetText(I::DestFolderInput, "c:\\old\\GADGET");
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageReady);
    EXPECT_EQ(engine.destinationFolder, "c:\\old\\GADGET\\");
    EXPECT_EQ(platform.Dialogs().size(), 1u);

    // Another folder asks; No stays.
    model->ShowPage(kPageDest);
    platform.AnswerQuestions({false});
    model->SetText(I::DestFolderInput, "C:\\Other");
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageDest);
    EXPECT_NE(platform.Dialogs().back().text.find("into the same folder as your existing copy"),
              std::string::npos);

    // A new major version into the old folder asks too.
    engine.setupMajor = 2;
    engine.creatableFolders.push_back("C:\\Old\\Gadget\\");
    model->SetText(I::DestFolderInput, "C:\\Old\\Gadget\\");
    platform.AnswerQuestions({false});
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageDest);
    EXPECT_NE(platform.Dialogs().back().text.find("overwrite your existing copy"), std::string::npos);
}

TEST_F(WizardModelTest, VstPageFolderAndChecks) {
    engine.pageFlags.vstPluginFolder = true;
    engine.vst2Folder = "C:\\VST";
    engine.vst3Available = true;
    engine.creatableFolders = {"C:\\VST", "C:\\Program Files\\Gadget\\"};
    Start();
    EXPECT_EQ(model->State(I::Vst2InstallCheck).caption, "&Install the VST 2 plug-in version of Gadget");
    EXPECT_FALSE(model->State(I::Vst3ListLabel).visible);
    EXPECT_EQ(model->State(I::Vst3InstallCheck).top, 220) << "takes the empty list line's place";
    model->ShowPage(kPageVstPlugins);
    EXPECT_EQ(model->Focus(), I::Vst2FolderInput);

    // An empty folder switches VST 2 off without a word; a folder typed again switches it on.
    model->SetText(I::Vst2FolderInput, "");
    model->NextClick();
    EXPECT_FALSE(engine.installVst2);
    EXPECT_TRUE(platform.Dialogs().empty());
    model->BackClick();
    model->SetText(I::Vst2FolderInput, "C:\\VST");
    model->NextClick();
    EXPECT_TRUE(engine.installVst2);

    // A folder that cannot be made stays with the focus on it.
    model->BackClick();
    model->SetText(I::Vst2FolderInput, "Q:\\Nowhere");
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageVstPlugins);
    EXPECT_EQ(model->Focus(), I::Vst2FolderInput);

    // Unchecking greys the folder controls and installs no VST 2 whatever the folder says.
    model->SetChecked(I::Vst2InstallCheck, false);
    EXPECT_FALSE(model->State(I::Vst2FolderInput).enabled);
    EXPECT_FALSE(model->State(I::Vst2BrowseButton).enabled);
    model->SetChecked(I::Vst3InstallCheck, false);
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageDest);
    EXPECT_FALSE(engine.installVst2);
    EXPECT_FALSE(engine.installVst3);
}

TEST_F(WizardModelTest, Vst3OnlyForLineNamesTheItems) {
    engine.vst3Available = true;
    engine.vst3OnlyFor = "One, Two";
    engine.installVst2 = false;
    Start();
    EXPECT_EQ(model->State(I::Vst3ListLabel).caption, "(Only for One, Two)");
    EXPECT_TRUE(model->State(I::Vst3ListLabel).visible);
    EXPECT_EQ(model->State(I::Vst3InstallCheck).top, 204);
    EXPECT_FALSE(model->State(I::Vst2FolderInput).enabled) << "an unchecked start greys the folder too";
}

// Without CLAP files the page is as it always was; CLAP alone takes VST 3's place, and with both
// they share it, each description cut to one line. Whatever is shown stays inside the page, one
// control below the other (a check box reaches one pixel into the line under it).
TEST_F(WizardModelTest, ClapTakesOrSharesTheVst3PlaceAndTheLowerPageStaysInside) {
    const std::vector<ControlId> lower{I::Vst3InstallCheck, I::Vst3ListLabel, I::Vst3DescriptionLabel,
                                       I::ClapInstallCheck, I::ClapListLabel, I::ClapDescriptionLabel};
    for (int shape = 0; shape < 16; ++shape) {
        engine.vst3Available = shape & 1;
        engine.clapAvailable = shape & 2;
        engine.vst3OnlyFor = shape & 4 ? "One, Two" : "";
        engine.clapOnlyFor = shape & 8 ? "Two" : "";
        Start();
        int bottom = Control(I::Vst2BrowseButton).top + Control(I::Vst2BrowseButton).height;
        for (ControlId id : lower) {
            const ControlState& state = model->State(id);
            if (!state.visible) continue;
            EXPECT_GE(state.top, bottom - 1) << Control(id).name << " in shape " << shape;
            bottom = state.top + state.height;
        }
        EXPECT_LE(bottom, Control(I::Notebook).height) << "shape " << shape;
    }

    engine.vst3Available = true;
    engine.clapAvailable = false;
    engine.vst3OnlyFor = "One, Two";
    Start();
    EXPECT_FALSE(model->State(I::ClapInstallCheck).visible);
    EXPECT_FALSE(model->State(I::ClapDescriptionLabel).visible);
    for (ControlId id : {I::Vst3InstallCheck, I::Vst3ListLabel, I::Vst3DescriptionLabel}) {
        EXPECT_EQ(model->State(id).top, Control(id).top) << Control(id).name;
        EXPECT_EQ(model->State(id).height, Control(id).height) << Control(id).name;
    }
    EXPECT_EQ(model->State(I::Vst3DescriptionLabel).caption.substr(0, 48),
              "This will install the VST 3 plug-in version of G");

    engine.vst3Available = false;
    engine.clapAvailable = true;
    engine.clapOnlyFor = "";
    Start();
    EXPECT_EQ(model->State(I::ClapInstallCheck).caption, "Install the &CLAP plug-in version of Gadget");
    EXPECT_EQ(model->State(I::ClapInstallCheck).top, 220);
    EXPECT_EQ(model->State(I::ClapDescriptionLabel).top, 244);
    EXPECT_EQ(model->State(I::ClapDescriptionLabel).caption.substr(0, 48),
              "This will install the CLAP plug-in version of Ga");

    engine.vst3Available = true;
    engine.clapOnlyFor = "Two";
    Start();
    EXPECT_EQ(model->State(I::Vst3InstallCheck).top, 204);
    EXPECT_EQ(model->State(I::Vst3DescriptionLabel).caption,
              "In the common VST 3 plug-in folder, for VST 3 hosts.");
    EXPECT_EQ(model->State(I::Vst3DescriptionLabel).height, 17);
    EXPECT_EQ(model->State(I::ClapListLabel).caption, "(Only for Two)");
    EXPECT_EQ(model->State(I::ClapInstallCheck).top, 258);
    EXPECT_EQ(model->State(I::ClapDescriptionLabel).caption,
              "In the common CLAP plug-in folder, for CLAP hosts.");
}

TEST_F(WizardModelTest, ClapSwitchFollowsItsCheckBoxAndStaysOnWhenHidden) {
    engine.pageFlags.vstPluginFolder = true;
    Start();
    model->ShowPage(kPageVstPlugins);
    model->NextClick();
    EXPECT_TRUE(engine.installClap);
    engine.clapAvailable = true;
    Start();
    model->ShowPage(kPageVstPlugins);
    model->SetChecked(I::ClapInstallCheck, false);
    model->NextClick();
    EXPECT_FALSE(engine.installClap);
    model->BackClick();
    model->SetChecked(I::ClapInstallCheck, true);
    model->NextClick();
    EXPECT_TRUE(engine.installClap);
}

TEST_F(WizardModelTest, ProToolsPageOffersAaxInRtasPlace) {
    engine.is64Bit = true;
    engine.isBundle = true;
    Start();
    EXPECT_FALSE(model->State(I::RtasInstallCheck).visible);
    EXPECT_EQ(model->State(I::AaxInstallCheck).top, 84);
    EXPECT_EQ(model->State(I::AaxDescriptionLabel).top, 108);
    EXPECT_EQ(model->State(I::DigiDescriptionLabel).caption,
              "Please select whether to install the AAX plug-ins for Gadget for Pro Tools.");
    EXPECT_NE(model->State(I::AaxDescriptionLabel).caption.find("64-bit AAX format"), std::string::npos);
    model->LeavePage(kPageDigiPlugins);
    EXPECT_FALSE(engine.installRtas);
    EXPECT_TRUE(engine.installAax);
}

TEST_F(WizardModelTest, BundlePageNeedsOneItem) {
    engine.isBundle = true;
    engine.items = {{"One", true}, {"Two", false}};
    Start();
    EXPECT_EQ(model->BundleEntries()[1].checked, false);
    model->ShowPage(kPageBundleItems);
    model->Click(I::SelectNoneButton);
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageBundleItems);
    EXPECT_EQ(DialogTexts(), (std::vector<std::string>{"warning: You need to install at least one item."}));
    model->SetBundleChecked(1, true);
    model->NextClick();
    EXPECT_FALSE(engine.items[0].selected);
    EXPECT_TRUE(engine.items[1].selected);
}

TEST_F(WizardModelTest, FinishOpensReadmeAndStartsTheProductInItsFolder) {
    engine.readmeFile = "C:\\G\\Readme.txt";
    engine.productFile = "C:\\G\\Gadget.exe";
    Start();
    EXPECT_EQ(model->State(I::ReadyStartCheck).caption, "&Start Gadget");
    model->ShowPage(kPageReady);
    model->NextClick();
    ASSERT_EQ(platform.ShellStarts().size(), 2u);
    EXPECT_EQ(platform.ShellStarts()[0].file, "C:\\G\\Readme.txt");
    EXPECT_EQ(platform.ShellStarts()[1].file, "C:\\G\\Gadget.exe");
    EXPECT_EQ(platform.ShellStarts()[1].folder, "C:\\Program Files\\Gadget\\");
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(model->Page(), kPageReady);
}

// A product's '&' beside a caption's mnemonic is doubled, so it shows as written and presses
// nothing; a label without a mnemonic takes it as it is.
TEST_F(WizardModelTest, AnAmpersandOfAValueIsShownAsWrittenInACaptionWithAMnemonic) {
    engine.variables["ProductName"] = "R&B";
    engine.productFile = "C:\\G\\RB.exe";
    Start();
    EXPECT_EQ(model->State(I::ReadyStartCheck).caption, "&Start R&&B");
    EXPECT_EQ(Mnemonic(model->State(I::ReadyStartCheck).caption), U'S');
    EXPECT_EQ(model->State(I::Vst2InstallCheck).caption, "&Install the VST 2 plug-in version of R&&B");
    EXPECT_EQ(model->State(I::WelcomeHeadingLabel).caption, "Welcome to R&B Setup");
}

TEST_F(WizardModelTest, FinishWithoutProductStartsNothing) {
    Start();
    EXPECT_FALSE(model->State(I::ReadyStartCheck).visible);
    model->ShowPage(kPageReady);
    model->NextClick();
    EXPECT_TRUE(platform.ShellStarts().empty());
    EXPECT_EQ(host.closed, 1);
}

TEST_F(WizardModelTest, FailedRunShowsTheErrorAndEndsOnTheCopyPage) {
    engine.installError =
        "There is not enough space on the destination drive.\rPlease free up some space and then try again";
    Start();
    WalkToInstallPage();
    model->NextClick();
    EXPECT_EQ(model->Page(), kPageCopy);
    EXPECT_EQ(host.terminations, 1);
    ASSERT_EQ(platform.Dialogs().size(), 1u);
    EXPECT_EQ(platform.Dialogs()[0].kind, "error");
    EXPECT_EQ(platform.Dialogs()[0].caption, "Gadget Setup");
    EXPECT_EQ(platform.Dialogs()[0].text, engine.installError + ".");
    EXPECT_FALSE(model->CloseQuery());
}

TEST_F(WizardModelTest, RunCancelledBeforeWritingClosesTheWindowWithoutError) {
    engine.installCancelled = true;
    Start();
    WalkToInstallPage();
    model->NextClick();
    EXPECT_TRUE(platform.Dialogs().empty());
    EXPECT_EQ(host.terminations, 0) << "the user chose to stop";
    EXPECT_EQ(host.closed, 1);
}

TEST(WizardErrorText, ClosingDotOnlyAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(WizardModel::ErrorBoxText("Bad data"), "Bad data.");
    EXPECT_EQ(WizardModel::ErrorBoxText("Bad data."), "Bad data.");
    EXPECT_EQ(WizardModel::ErrorBoxText("Really!"), "Really!");
    EXPECT_EQ(WizardModel::ErrorBoxText("C:\\x\\"), "C:\\x\\.");
    EXPECT_EQ(WizardModel::ErrorBoxText(""), "");
}

TEST_F(WizardModelTest, TextsPreparedAtCreation) {
    engine.welcomeWin64 = "This is the 64-bit version.";
    engine.variables["BitSuffix"] = " (64-bit)";
    engine.licenseText = "Terms";
    Start();
    EXPECT_EQ(model->WindowCaption(), "Gadget Setup (64-bit)");
    EXPECT_EQ(model->State(I::WelcomeHeadingLabel).caption, "Welcome to Gadget Setup");
    EXPECT_EQ(model->State(I::WelcomeStepLabel).caption,
              "This is the 64-bit version.\r\n\r\nClick the Next button to continue.");
    EXPECT_EQ(model->State(I::LicenseMemo).text, "Terms");
    EXPECT_EQ(model->State(I::Vst2FolderLabel).caption, "VST 2 Plug-In &Folder (64-bit):");
    EXPECT_EQ(model->State(I::PhotoshopFolderLabel).caption, "Adobe Photoshop plug-ins &folder:");
    EXPECT_EQ(model->State(I::ReadyDescriptionLabel).caption, "Done.");
}

// Each page with the form's buttons: the only letter shared is B, by "< &Back" and "&Browse...",
// which the keyboard then visits in turn.
TEST_F(WizardModelTest, VisibleMnemonicsOfAPageAreDistinctButBackAndBrowse) {
    engine.vst3Available = true;
    engine.clapAvailable = true;
    engine.productFile = "x.exe";
    engine.shortcutKinds = {true, true};
    Start();
    for (int page = 0; page < kPageCount; ++page) {
        model->ShowPage(page == kPageCopy ? kPageDest : page);
        std::map<char, std::vector<std::string>> seen;
        for (std::size_t i = 0; i < kControlCount; ++i) {
            const ControlState& state = model->State(static_cast<ControlId>(i));
            char key = Mnemonic(state.caption);
            if ((state.page != page && state.page != kOnForm) || !state.visible || key == 0) continue;
            seen[key].push_back(Control(static_cast<ControlId>(i)).name);
        }
        for (auto& [key, names] : seen) {
            if (names.size() == 1) continue;
            EXPECT_EQ(names, (std::vector<std::string>{
                                 "BackButton", page == kPageVstPlugins        ? "Vst2BrowseButton"
                                               : page == kPagePhotoshopPlugin ? "PhotoshopBrowseButton"
                                                                              : "DestBrowseButton"}))
                << "page " << page << ", letter " << key;
        }
    }
}

TEST_F(WizardModelTest, BrowseWritesThePickedFolderAndCancelKeepsTheText) {
    Start();
    platform.AnswerFolderPickers({std::string("D:\\Apps"), std::nullopt});
    model->Click(I::DestBrowseButton);
    EXPECT_EQ(model->State(I::DestFolderInput).text, "D:\\Apps");
    EXPECT_EQ(platform.FolderPickers()[0].title, "Select the folder in which Gadget will be installed:");
    model->Click(I::DestBrowseButton);
    EXPECT_EQ(model->State(I::DestFolderInput).text, "D:\\Apps");
}

}  // namespace
