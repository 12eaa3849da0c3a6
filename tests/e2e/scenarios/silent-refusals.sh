#!/usr/bin/env bash
# What ends a setup before it installs, through the window and silently: a bad switch (an error
# box and status 1, or the log and status 2), /? (the list of switches), missing rights (silent:
# status 3 and nothing written), and a second setup of the product while the first one's wizard
# is open (an error box and 1, or silently status 6).
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
program_files="$drive_c/Program Files (x86)"
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"

step "a bad switch"
start_program "$E2E_OUT/Setup.exe" /VERYSILENT /COLOUR=blue '/LOG=C:\bad.log'
expect_exit 2
grep -q 'Unknown switch: /COLOUR=blue' "$drive_c/bad.log" || fail "the log does not name the switch"
start_program "$E2E_OUT/Setup.exe" /COLOUR=blue
expect_dialog bad-switch "Unknown switch: /COLOUR=blue" --title Setup
answer Setup OK
expect_exit 1
start_program "$E2E_OUT/Setup.exe" '/?'
expect_dialog help "/VERYSILENT" --title Information
grep -qF '/CLAPDIR=FOLDER' "$E2E_OUT/help.txt" || fail "the help box lacks the format switches"
answer Information OK
expect_exit 0

step "no rights: the probe's test folders cannot be made"
for i in $(seq 0 999); do : >"$program_files/Test$i"; done
start_program "$E2E_OUT/Setup.exe" /VERYSILENT /ACCEPTLICENSE
expect_exit 3 60
expect_absent "$program_files/Plugsetup Tests"
! reg_exists 'HKLM\Software\Plugsetup Tests' || fail "the silent refusal wrote the registry"
rm -f "$program_files"/Test*

step "a second setup while the wizard is open"
start_program "$E2E_OUT/Setup.exe"
wizard_pid=$PROGRAM_PID
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
start_program "$E2E_OUT/Setup.exe" /VERYSILENT /ACCEPTLICENSE '/LOG=C:\second.log'
expect_exit 6 60
grep -q 'Another setup of Fixture 1.00 is already running' "$drive_c/second.log" || fail "the log does not say why"
expect_absent "$program_files/Plugsetup Tests"
start_program "$E2E_OUT/Setup.exe"
expect_dialog second-window "Another setup of Fixture 1.00 is already running." --title Setup
answer Setup OK
expect_exit 1
PROGRAM_PID=$wizard_pid
driver close --title "$TITLE" >/dev/null || fail "cannot close the wizard"
answer Confirm Yes
expect_exit 0
