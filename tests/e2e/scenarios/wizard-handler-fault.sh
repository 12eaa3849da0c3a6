#!/usr/bin/env bash
# An error raised in a button handler, which the window procedure reaches through the system's
# own frames, ends the program in the error box, shown over the window, with status 1.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

PREVIEW=${WIZARD_PREVIEW:-$E2E_ROOT/build/win32/bin/wizard_preview.exe}
GADGET=$E2E_ROOT/examples/gadget
TITLE="Gadget Setup"

start_program "$PREVIEW" "$(windows_path "$GADGET/Setup.ini")" "$(windows_path "$GADGET/Setup.lic")" \
  "$(windows_path "$GADGET")" --fail-folder-check
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wait_page "Welcome to Gadget Setup"
press_button "Next >"
wait_page "License Agreement"
press_button "Yes"
wait_page "VST Plug-In Installation"
# Next checks the VST folder, which raises.
press_button "Next >"
expect_dialog fault-error "The folder check failed on purpose." --title "$TITLE" --class "#32770"
driver list --title "$TITLE" | grep -v '#32770' | grep -q . || fail "the wizard window went before its error box"
driver click --title "$TITLE" --class "#32770" --button OK >/dev/null || fail "cannot close the error box"
expect_exit 1
