#!/usr/bin/env bash
# The wizard window over the example product, page by page: each page's texts are read and
# saved with a screenshot, and Next walks on to the next page up to Finish.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

PREVIEW=${WIZARD_PREVIEW:-$E2E_ROOT/build/win32/bin/wizard_preview.exe}
[[ -f $PREVIEW ]] || fail "$PREVIEW is missing: the win32 build has no wizard"
GADGET=$E2E_ROOT/examples/gadget
TITLE="Gadget Setup"

# Wine reaches the Linux file system through drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

n=0
# Waits for the page that shows HEADING, saves its texts and a screenshot.
page() {
  local name=$1 heading=$2
  n=$((n + 1))
  local file
  file=$(printf '%02d-%s' "$n" "$name")
  driver wait-text --title "$TITLE" --text "$heading" --timeout 20 >/dev/null || fail "no page \"$heading\""
  sleep 0.3
  driver read-dialog --title "$TITLE" >"$E2E_OUT/$file.txt" || fail "cannot read the $name page"
  sed 's/^/   /' "$E2E_OUT/$file.txt"
  screenshot "$file"
}

expect_text() { grep -qF -- "$2" "$E2E_OUT/$1" || fail "$1 does not show \"$2\""; }
expect_no_text() { ! grep -qF -- "$2" "$E2E_OUT/$1" || fail "$1 shows \"$2\""; }
next() { driver click --title "$TITLE" --button "$1" >/dev/null || fail "cannot press $1"; }

start_program "$PREVIEW" "$(windows_path "$GADGET/Setup.ini")" "$(windows_path "$GADGET/Setup.lic")" \
  "$(windows_path "$GADGET")"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"

page welcome "Welcome to Gadget Setup"
expect_text 01-welcome.txt "This program will install Gadget"
expect_text 01-welcome.txt "button: Next >"
next "Next >"

page license "License Agreement"
expect_text 02-license.txt "button: Yes"
expect_text 02-license.txt "button: No"
next "Yes"

page vst "VST Plug-In Installation"
expect_text 03-vst.txt "Install the VST 2 plug-in version of Gadget"
expect_text 03-vst.txt "edit: C:\\Program Files\\Steinberg\\VstPlugins"
expect_no_text 03-vst.txt "VST 3"
# A folder that cannot be made is refused with a warning, and the page stays.
driver type --title "$TITLE" --text 'Q:\Nowhere' >/dev/null || fail "cannot type the VST folder"
next "Next >"
expect_dialog bad-folder "Could not create the folder 'Q:\Nowhere'." --title Warning
driver click --title Warning --button OK >/dev/null
driver type --title "$TITLE" --text 'C:\Program Files\Steinberg\VstPlugins' >/dev/null || fail "cannot type the VST folder"
next "Next >"

page destination "Destination Folder"
expect_text 04-destination.txt "where to install the Gadget synthesizer"
expect_no_text 04-destination.txt "Click Install"
next "Next >"

page personalize "Personalization"
driver type --title "$TITLE" --text "Ada Lovelace" >/dev/null || fail "cannot type the name"
next "Next >"

page shortcuts "Create Shortcuts"
expect_text 06-shortcuts.txt "Create a shortcut on the desktop"
expect_text 06-shortcuts.txt "Click Install to start copying files."
expect_text 06-shortcuts.txt "button: Install"
next "Install"

# The run holds the window's thread, so the driver cannot read the copy page: only look at it.
sleep 3
screenshot 07-copying
n=$((n + 1))

page ready "Installation Completed"
expect_text 08-ready.txt "Gadget has been installed successfully."
expect_text 08-ready.txt "button: Finish"
expect_no_text 08-ready.txt "button: Cancel"
driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
next "Finish"
expect_exit 0
