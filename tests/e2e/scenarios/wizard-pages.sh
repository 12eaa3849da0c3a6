#!/usr/bin/env bash
# The wizard window over the example product, page by page: each page's texts are read and
# saved with a screenshot, and Next walks on to the next page up to Finish.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

PREVIEW=${WIZARD_PREVIEW:-$E2E_ROOT/build/win32/bin/wizard_preview.exe}
[[ -f $PREVIEW ]] || fail "$PREVIEW is missing: the win32 build has no wizard"
GADGET=$E2E_ROOT/examples/gadget
TITLE="Gadget Setup"

start_program "$PREVIEW" "$(windows_path "$GADGET/Setup.ini")" "$(windows_path "$GADGET/Setup.lic")" \
  "$(windows_path "$GADGET")"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"

wizard_page welcome "Welcome to Gadget Setup"
page_has "This program will install Gadget"
[[ $(driver query-end-session --title "$TITLE" | tr -d '\r') == "TRUE TRUE" ]] ||
  fail "the Welcome page held up the end of the session"
page_has "button: Next >"
press_button "Next >"

wizard_page license "License Agreement"
page_has "button: Yes"
page_has "button: No"
press_button "Yes"

wizard_page vst "VST Plug-In Installation"
page_has "Install the VST 2 plug-in version of Gadget"
page_has "edit: C:\\Program Files\\Steinberg\\VstPlugins"
page_lacks "VST 3"
# A folder that cannot be made is refused with a warning, and the page stays.
driver type --title "$TITLE" --text 'Q:\Nowhere' >/dev/null || fail "cannot type the VST folder"
press_button "Next >"
expect_dialog bad-folder "Could not create the folder 'Q:\Nowhere'." --title Warning
driver click --title Warning --button OK >/dev/null
driver type --title "$TITLE" --text 'C:\Program Files\Steinberg\VstPlugins' >/dev/null || fail "cannot type the VST folder"
press_button "Next >"

wizard_page destination "Destination Folder"
page_has "where to install the Gadget synthesizer"
page_lacks "Click Install"
press_button "Next >"

wizard_page personalize "Personalization"
driver type --title "$TITLE" --text "Ada Lovelace" >/dev/null || fail "cannot type the name"
press_button "Next >"

wizard_page shortcuts "Create Shortcuts"
page_has "Create a shortcut on the desktop"
page_has "Click Install to start copying files."
page_has "button: Install"
press_button "Install"

# The run goes on in the window's thread, which serves its messages meanwhile: the copy page can
# be read, and asking the window to close is refused without a question.
driver wait-text --title "$TITLE" --text "Copying Files" --timeout 30 >/dev/null || fail "no copy page"
driver controls --title "$TITLE" | tr -d '\r' >"$E2E_OUT/copy-controls.txt" || fail "cannot read the copy page's controls"
grep -qP '\tvisible,disabled\tCancel$' "$E2E_OUT/copy-controls.txt" || fail "Cancel is not shown disabled while copying"
# Signing out or a Restart Manager's request to close would stop the copy half done: refused.
[[ $(driver query-end-session --title "$TITLE" | tr -d '\r') == "FALSE FALSE" ]] ||
  fail "the end of the session was allowed during the copy"
driver close --title "$TITLE" >/dev/null || fail "cannot ask the window to close"
wizard_page copying "Copying Files"
page_has "Setup is now copying files to your computer."
page_lacks "button: Next >"

wizard_page ready "Installation Completed"
! driver list --title Confirm | grep -q . || fail "closing during the copy asked a question"
page_has "Gadget has been installed successfully."
page_has "button: Finish"
page_lacks "button: Cancel"
driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
press_button "Finish"
expect_exit 0
