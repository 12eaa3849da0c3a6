#!/usr/bin/env bash
# An upgrade within one major version through the real window: 1.0.0 installed into a folder of
# the user's choice, then the 1.1.0 setup proposes that folder; another folder asks first (No
# stays on the page, Yes installs there). A third run is cancelled from the License page (the
# question answered No, then Yes) and leaves the installation as it was.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
key='HKLM\Software\Plugsetup Tests\Fixture\1.0'
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup-1.0.0.exe" "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.1.0 -o "$E2E_OUT/Setup-1.1.0.exe" "$E2E_OUT/product"

# Walks from Welcome to the Destination page, which is the install page of this product.
to_destination() {
  start_program "$1"
  driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
  wizard_page "$2-welcome" "Welcome to Fixture Setup"
  page_has "This program will install Fixture $3 on your computer."
  press_button "Next >"
  wizard_page "$2-license" "License Agreement"
  press_button "Yes"
  wizard_page "$2-destination" "Destination Folder"
}

finish() {
  wizard_page "$1-ready" "Installation Completed"
  press_button "Finish"
  expect_exit 0
}

step "1.0.0 into a folder of the user's choice"
to_destination "$E2E_OUT/Setup-1.0.0.exe" first 1.00
page_has 'edit: C:\Program Files (x86)\Plugsetup Tests\Fixture 1'
type_text 'C:\Audio\Fixture'
press_button "Install"
finish first
expect_files "$drive_c/Audio/Fixture/Readme.txt" "$drive_c/Audio/Fixture/Uninst.exe"
expect_value 'C:\Audio\Fixture\' "$key" Location /reg:32

step "1.1.0 proposes the earlier folder and asks before installing elsewhere"
to_destination "$E2E_OUT/Setup-1.1.0.exe" second 1.10
page_has 'edit: C:\Audio\Fixture\'
type_text 'C:\Audio\Fixture Next'
press_button "Install"
question="It is recommended to install this new version of Fixture\rinto the same folder as your existing copy."
expect_dialog other-folder-no "$question" --title Confirm
grep -qF 'Are you sure you want to install it to a different folder?' "$E2E_OUT/other-folder-no.txt" ||
  fail "the question does not ask about the different folder"
answer Confirm No
wizard_page second-destination-again "Destination Folder"
page_has 'edit: C:\Audio\Fixture Next'
press_button "Install"
expect_dialog other-folder-yes "$question" --title Confirm
answer Confirm Yes
finish second
expect_files "$drive_c/Audio/Fixture Next/Readme.txt" "$drive_c/Audio/Fixture Next/Uninst.exe"
expect_value 'C:\Audio\Fixture Next\' "$key" Location /reg:32
expect_value '1.10' "$key" VersionString /reg:32

step "a third run cancelled from the License page changes nothing"
start_program "$E2E_OUT/Setup-1.1.0.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wizard_page third-welcome "Welcome to Fixture Setup"
press_button "Next >"
wizard_page third-license "License Agreement"
press_button "No"
cancel="Fixture 1.10 has not been fully installed yet.\rAre you sure you want to cancel Fixture Setup?"
expect_dialog cancel-no "$cancel" --title Confirm
answer Confirm No
wizard_page third-license-again "License Agreement"
press_button "No"
expect_dialog cancel-yes "$cancel" --title Confirm
answer Confirm Yes
expect_exit 0
expect_value 'C:\Audio\Fixture Next\' "$key" Location /reg:32
expect_files "$drive_c/Audio/Fixture Next/Readme.txt"
