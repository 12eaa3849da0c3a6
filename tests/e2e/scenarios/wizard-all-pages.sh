#!/usr/bin/env bash
# The wizard window with every optional page (a bundle, VST 2 and 3, Pro Tools, Photoshop,
# personalization, shortcuts): each page's texts and a screenshot, the bundle page's refusal of
# an empty selection, and the cancel question answered No, then Yes.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

PREVIEW=${WIZARD_PREVIEW:-$E2E_ROOT/build/win32/bin/wizard_preview.exe}
[[ -f $PREVIEW ]] || fail "$PREVIEW is missing: the win32 build has no wizard"
GADGET=$E2E_ROOT/examples/gadget
TITLE="Gadget Setup"

windows_path() { printf 'Z:%s' "${1//\//\\}"; }

n=0
page() {
  local name=$1 heading=$2
  n=$((n + 1))
  file=$(printf '%02d-%s' "$n" "$name")
  driver wait-text --title "$TITLE" --text "$heading" --timeout 20 >/dev/null || fail "no page \"$heading\""
  sleep 0.3
  driver read-dialog --title "$TITLE" >"$E2E_OUT/$file.txt" || fail "cannot read the $name page"
  sed 's/^/   /' "$E2E_OUT/$file.txt"
  screenshot "$file"
}

expect_text() { grep -qF -- "$1" "$E2E_OUT/$file.txt" || fail "$file does not show \"$1\""; }
expect_no_text() { ! grep -qF -- "$1" "$E2E_OUT/$file.txt" || fail "$file shows \"$1\""; }
press() { driver click --title "$TITLE" --button "$1" >/dev/null || fail "cannot press $1"; }

start_program "$PREVIEW" "$(windows_path "$GADGET/Setup.ini")" "$(windows_path "$GADGET/Setup.lic")" \
  "$(windows_path "$GADGET")" --all-pages
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"

page welcome "Welcome to Gadget Setup"
expect_text "text: This is the 64-bit edition. It installs the 64-bit plug-ins for 64-bit hosts.\r\n\r\nClick the Next button to continue."
press "Next >"

page license "License Agreement"
press "Yes"

page bundle "Select Products"
press "Select None"
press "Next >"
expect_dialog no-item "You need to install at least one item." --title Warning
driver click --title Warning --button OK >/dev/null
press "Select All"
press "Next >"

page vst "VST Plug-In Installation"
expect_text "Install the VST 2 plug-ins for Gadget"
expect_text "Install the VST 3 plug-ins for Gadget"
expect_text "(Only for Gadget, Widget)"
press "Next >"

page protools "Pro Tools Plug-In Installation"
expect_text "Install the AAX plug-ins for Gadget"
expect_text "The 32-bit AAX format replaces RTAS"
expect_no_text "RTAS plug-ins for"
press "Next >"

page photoshop "Adobe Photoshop Plug-in Installation"
expect_text "edit: C:\\Program Files\\Adobe\\Photoshop\\Plug-ins"
press "Next >"

page destination "Destination Folder"
press "< Back"
driver wait-text --title "$TITLE" --text "Adobe Photoshop Plug-in Installation" >/dev/null || fail "Back did not return"
press "Next >"
driver wait-text --title "$TITLE" --text "Destination Folder" >/dev/null || fail "Next did not return"
press "Next >"

page personalize "Personalization"
press "Next >"

page shortcuts "Create Shortcuts"
expect_text "button: Install"
expect_text "Click Install to start copying files."

# Cancel asks first; No keeps the window, Yes closes it.
press "Cancel"
expect_dialog cancel-question "Gadget 1.0 has not been fully installed yet." --title Confirm
driver click --title Confirm --button No >/dev/null
driver wait-gone --title Confirm >/dev/null || fail "the question stays"
driver wait-window --title "$TITLE" >/dev/null || fail "the wizard closed on No"
press "Cancel"
expect_dialog cancel-again "Are you sure you want to cancel Gadget Setup?" --title Confirm
driver click --title Confirm --button Yes >/dev/null
expect_exit 0
