#!/usr/bin/env bash
# The wizard window with every optional page (a bundle, VST 2, VST 3 and CLAP, Pro Tools, Photoshop,
# personalization, shortcuts): each page's texts and a screenshot, the bundle page's refusal of
# an empty selection, and the cancel question answered No, then Yes.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

PREVIEW=${WIZARD_PREVIEW:-$E2E_ROOT/build/win32/bin/wizard_preview.exe}
[[ -f $PREVIEW ]] || fail "$PREVIEW is missing: the win32 build has no wizard"
GADGET=$E2E_ROOT/examples/gadget
TITLE="Gadget Setup"

start_program "$PREVIEW" "$(windows_path "$GADGET/Setup.ini")" "$(windows_path "$GADGET/Setup.lic")" \
  "$(windows_path "$GADGET")" --all-pages
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"

wizard_page welcome "Welcome to Gadget Setup"
page_has "text: This is the 64-bit edition. It installs the 64-bit plug-ins for 64-bit hosts.\r\n\r\nClick the Next button to continue."
press_button "Next >"

wizard_page license "License Agreement"
press_button "Yes"

wizard_page bundle "Select Products"
press_button "Select None"
press_button "Next >"
expect_dialog no-item "You need to install at least one item." --title Warning
driver click --title Warning --button OK >/dev/null
press_button "Select All"
press_button "Next >"

wizard_page vst "VST Plug-In Installation"
page_has "Install the VST 2 plug-ins for Gadget"
page_has "Install the VST 3 plug-ins for Gadget"
page_has "(Only for Gadget, Widget)"
page_has "Install the CLAP plug-ins for Gadget"
page_has "(Only for Gadget)"
press_button "Next >"

wizard_page protools "Pro Tools Plug-In Installation"
page_has "Install the AAX plug-ins for Gadget"
page_has "The 32-bit AAX format replaces RTAS"
page_lacks "RTAS plug-ins for"
press_button "Next >"

wizard_page photoshop "Adobe Photoshop Plug-in Installation"
page_has "edit: C:\\Program Files\\Adobe\\Photoshop\\Plug-ins"
press_button "Next >"

wizard_page destination "Destination Folder"
press_button "< Back"
driver wait-text --title "$TITLE" --text "Adobe Photoshop Plug-in Installation" >/dev/null || fail "Back did not return"
press_button "Next >"
driver wait-text --title "$TITLE" --text "Destination Folder" >/dev/null || fail "Next did not return"
press_button "Next >"

wizard_page personalize "Personalization"
press_button "Next >"

wizard_page shortcuts "Create Shortcuts"
page_has "button: Install"
page_has "Click Install to start copying files."

# Cancel asks first; No keeps the window, Yes closes it.
press_button "Cancel"
expect_dialog cancel-question "Gadget 1.0 has not been fully installed yet." --title Confirm
driver click --title Confirm --button No >/dev/null
driver wait-gone --title Confirm >/dev/null || fail "the question stays"
driver wait-window --title "$TITLE" >/dev/null || fail "the wizard closed on No"
press_button "Cancel"
expect_dialog cancel-again "Are you sure you want to cancel Gadget Setup?" --title Confirm
driver click --title Confirm --button Yes >/dev/null
expect_exit 0
