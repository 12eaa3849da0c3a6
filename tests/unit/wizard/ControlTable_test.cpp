#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "texts/Languages.h"
#include "wizard/ControlTable.h"
#include "wizard/FormatControls.h"
#include "wizard/WizardModel.h"

TEST(ControlTable, EntriesAreListedInIdOrder) {
    for (std::size_t i = 0; i < kControlCount; ++i)
        EXPECT_EQ(Index(Control(static_cast<ControlId>(i)).id), i) << Control(static_cast<ControlId>(i)).name;
}

TEST(ControlTable, EveryControlFitsInsideItsParent) {
    const ControlDef& notebook = Control(ControlId::Notebook);
    const ControlDef& panel = Control(ControlId::Panel);
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDef& def = Control(static_cast<ControlId>(i));
        int width = kClientWidth, height = kClientHeight;
        if (def.page == kInPanel) {
            width = panel.width;
            height = panel.height;
        } else if (def.page >= 0) {
            width = notebook.width;
            height = notebook.height;
        }
        EXPECT_LE(def.left + def.width, width) << def.name;
        EXPECT_LE(def.top + def.height, height) << def.name;
    }
}

TEST(ControlTable, LabelMnemonicsMoveTheFocusToAnInputOfTheirPage) {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDef& def = Control(static_cast<ControlId>(i));
        if (def.focusTarget == ControlId::None) continue;
        for (const LanguageRow& language : Languages())
            EXPECT_NE(Mnemonic(TextIn(language, def.text)), 0U) << def.name << " in " << language.Code;
        EXPECT_EQ(Control(def.focusTarget).page, def.page) << def.name;
        EXPECT_EQ(Control(def.focusTarget).kind, ControlKind::Edit) << def.name;
    }
}

TEST(ControlTable, MnemonicIsTheLetterAfterASingleAmpersand) {
    EXPECT_EQ(Mnemonic("&Next >"), 'N');
    EXPECT_EQ(Mnemonic("Select N&one"), 'O');
    EXPECT_EQ(Mnemonic("Install the VST &3 x"), '3');
    EXPECT_EQ(Mnemonic("Tom && Jerry"), 0U);
    EXPECT_EQ(Mnemonic("A && B &Go"), 'G');
    EXPECT_EQ(Mnemonic("Trailing &"), 0U);
    EXPECT_EQ(Mnemonic("次へ(&N) >"), U'N');
    EXPECT_EQ(Mnemonic("Выбрать &все"), U'В') << "Cyrillic letters compare upper-cased";
    EXPECT_EQ(Mnemonic("&über"), U'Ü');
}

TEST(ControlTable, TabOrderOfEachParentRunsFromZeroWithoutGapsOrTwins) {
    for (int parent = kInPanel; parent < kPageCount; ++parent) {
        std::vector<int> orders;
        for (std::size_t i = 0; i < kControlCount; ++i) {
            const ControlDef& def = Control(static_cast<ControlId>(i));
            if (def.page == parent && def.tabOrder >= 0) orders.push_back(def.tabOrder);
        }
        std::sort(orders.begin(), orders.end());
        for (std::size_t i = 0; i < orders.size(); ++i)
            EXPECT_EQ(orders[i], static_cast<int>(i)) << "parent " << parent;
    }
}

TEST(ControlTable, OnlyFocusableKindsTakeATabStop) {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDef& def = Control(static_cast<ControlId>(i));
        bool focusable = def.kind != ControlKind::Label && def.kind != ControlKind::Image;
        EXPECT_EQ(def.tabOrder >= 0, focusable) << def.name;
    }
}

TEST(ControlTable, EveryLabelShowingAMnemonicHasSomewhereToSendTheFocus) {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlDef& def = Control(static_cast<ControlId>(i));
        if (def.kind != ControlKind::Label) continue;
        for (const LanguageRow& language : Languages()) {
            if (Mnemonic(TextIn(language, def.text)) == 0) continue;
            EXPECT_NE(def.focusTarget, ControlId::None) << def.name << " in " << language.Code;
        }
    }
}

TEST(ControlTable, LabelsShowingTheVendorsNamesCarryNoMnemonic) {
    // An '&' in "Drums & Bass" would underline the next letter in a caption that takes mnemonics.
    for (std::size_t i = 0; i < kControlCount; ++i) {
        const ControlId id = static_cast<ControlId>(i);
        const ControlDef& def = Control(id);
        if (def.kind != ControlKind::Label) continue;
        std::string text = TextIn(EnglishLanguage(), def.text);
        if (std::size_t at = text.find("$BitSuffix"); at != std::string::npos) text.erase(at, 10);
        // The completion text and the status lines are the vendor's and the file names too.
        const bool vendors = text.find('$') != std::string::npos || def.text == TextId::None ||
                             def.text == TextId::CreatingShortcutsStatus;
        if (vendors) {
            EXPECT_FALSE(ShowsMnemonic(id)) << def.name;
        }
    }
}

TEST(ControlTable, EveryListEditAndProgressBarComesRightAfterItsLabel) {
    for (int page = 0; page < kPageCount; ++page) {
        std::vector<ControlId> order;
        for (std::size_t i = 0; i < kControlCount; ++i)
            if (Control(static_cast<ControlId>(i)).page == page) order.push_back(static_cast<ControlId>(i));
        std::stable_sort(order.begin(), order.end(),
                         [](ControlId a, ControlId b) { return KeyboardRank(a) < KeyboardRank(b); });
        for (std::size_t at = 0; at < order.size(); ++at) {
            const ControlDef& def = Control(order[at]);
            if (def.kind != ControlKind::Edit && def.kind != ControlKind::Memo && def.kind != ControlKind::CheckList &&
                def.kind != ControlKind::ProgressBar)
                continue;
            ASSERT_GT(at, 0U) << def.name;
            EXPECT_EQ(Control(order[at - 1]).kind, ControlKind::Label) << def.name;
            EXPECT_EQ(NamedField(order[at - 1]), order[at]) << def.name;
        }
    }
}

TEST(FormatControls, EveryFormatHasItsControlsOnItsPage) {
    for (std::size_t i = 0; i < kPluginFormatCount; ++i) {
        const PluginFormatRow& format = PluginFormats()[i];
        const FormatControls& controls = ControlsOf(format.Format);
        EXPECT_EQ(Control(controls.check).page, controls.page) << format.Name;
        EXPECT_EQ(Control(controls.description).page, controls.page) << format.Name;
        // A folder field comes with its label, Browse button and picker title, or none of them.
        const bool folder = controls.folderInput != ControlId::None;
        EXPECT_EQ(controls.folderLabel != ControlId::None, folder) << format.Name;
        EXPECT_EQ(controls.browseButton != ControlId::None, folder) << format.Name;
        EXPECT_EQ(controls.browseTitle != TextId::None, folder) << format.Name;
        EXPECT_EQ(controls.onlyForLabel != ControlId::None, format.ComponentMark != nullptr) << format.Name;
        if (controls.inPlaceOf != PluginFormat::None) {
            EXPECT_TRUE(FormatRow(controls.inPlaceOf).NeverOffered) << format.Name;
            EXPECT_EQ(ControlsOf(controls.inPlaceOf).page, controls.page) << format.Name;
        }
    }
}

TEST(WizardPages, RowsFollowThePagesAndFocusAControlOfTheirOwn) {
    for (int page = 0; page < kPageCount; ++page) {
        const WizardModel::PageRow& row = WizardModel::PageRowOf(page);
        EXPECT_EQ(row.page, page);
        if (row.focus == ControlId::None) continue;
        EXPECT_TRUE(Control(row.focus).page == page || Control(row.focus).page == kOnForm) << page;
    }
    EXPECT_EQ(WizardModel::PageRowOf(kPageCopy).focus, ControlId::None) << "the copy page takes no focus";
}
