#!/usr/bin/env bash
# The endings of a user without administrator rights, and of one who changes their mind. The
# rights probe creates a test folder in Program Files; a thousand files in the names it tries
# make it fail, as missing rights would. The setup then refuses on leaving its Welcome page and
# the uninstaller before its question, each with status 1 and nothing changed. With the rights
# back, No to the uninstaller's question ends with status 0 and removes nothing; Yes removes
# the product, status 0.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

INSTALL_EXE=$E2E_ROOT/build/win32/bin/e2e_install.exe
TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
program_files="$drive_c/Program Files (x86)"
app="$drive_c/Refused Test"
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"
"$WINE_RUN" "$INSTALL_EXE" "$(windows_path "$E2E_OUT/Setup.exe")" 'C:\Refused Test' Fixture </dev/null \
  >"$E2E_OUT/install.log" || fail "the installation failed"
expect_files "$app/Readme.txt" "$app/Uninst.exe"

step "no rights: the probe's test folders cannot be made"
for i in $(seq 0 999); do : >"$program_files/Test$i"; done

start_program "$E2E_OUT/Setup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wait_page "Welcome to Fixture Setup"
press_button "Next >"
expect_dialog setup-refused "You must have Administrator or Power User rights to install\\rFixture on this computer." \
  --title Information
answer Information OK
expect_exit 1
expect_absent "$program_files/Plugsetup Tests"

start_program 'C:\Refused Test\Uninst.exe'
expect_dialog uninstall-refused "You must have Administrator or Power User rights to uninstall Fixture." --title Warning
answer Warning OK
expect_exit 1
expect_files "$app/Readme.txt" "$app/Uninst.exe"

step "the rights back, the user says No, then Yes"
rm -f "$program_files"/Test*
start_program 'C:\Refused Test\Uninst.exe'
expect_dialog declined "Are you sure you want to completely remove Fixture 1.00" --title Confirm
answer Confirm No
expect_exit 0
expect_files "$app/Readme.txt" "$app/Numbers.dat" "$app/Uninst.exe"

start_program 'C:\Refused Test\Uninst.exe'
expect_dialog confirm "Are you sure you want to completely remove Fixture 1.00" --title Confirm
answer Confirm Yes
expect_dialog report "Uninstallation successfully completed." --title Information
answer Information OK
expect_exit 0
wait_removed "$app"
