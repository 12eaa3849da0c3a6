#!/usr/bin/env bash
# A silent install, then an update of the same major version with /SILENT: only the copy page
# shows, the update goes into the earlier folder without a question, and one Uninstall entry
# remains, naming the new version. Then a bundle with one item of three and the VST folder named
# by switches: only that item's plug-in arrives, in that folder.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
app="$PLUGSETUP_WINEPREFIX/drive_c/Program Files (x86)/Plugsetup Tests/Fixture 1"
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup100.exe" "$E2E_OUT/product"
printf 'Fixture readme, updated\r\n' >"$E2E_OUT/product/Program/Readme.txt"
"$PLUGSETUP" build --version 1.1.0 -o "$E2E_OUT/Setup110.exe" "$E2E_OUT/product"

step "1.00 without a window"
start_program "$E2E_OUT/Setup100.exe" /S /ACCEPTLICENSE
expect_exit 0 60
expect_files "$app/Readme.txt" "$app/Uninst.exe"
expect_value 1.00 'HKLM\Software\Plugsetup Tests\Fixture\1.0' VersionString

step "1.10 with the copy's progress only"
start_program "$E2E_OUT/Setup110.exe" /SILENT /ACCEPTLICENSE '/LOG=C:\update.log'
expect_dialog copy-page "Copying Files" --title "$TITLE"
grep -qF "Welcome" "$E2E_OUT/copy-page.txt" && fail "the window shows the Welcome page"
expect_exit 0 60
cmp -s "$app/Readme.txt" "$E2E_OUT/product/Program/Readme.txt" || fail "the update did not replace the readme"
expect_value 1.10 'HKLM\Software\Plugsetup Tests\Fixture\1.0' VersionString
reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' >"$E2E_OUT/uninstall.reg"
[[ $(grep -c '^"UninstallString"=.*Fixture 1' "$E2E_OUT/uninstall.reg") == 1 ]] || fail "not one Uninstall entry"
grep -q 'Fixture 1.10\]' "$E2E_OUT/uninstall.reg" || fail "the Uninstall entry does not name 1.10"
tr -d '\r' <"$PLUGSETUP_WINEPREFIX/drive_c/update.log" >"$E2E_OUT/update.log"
! grep -q 'Answered' "$E2E_OUT/update.log" || fail "the update was asked a question"
grep -qx 'Exit status 0' "$E2E_OUT/update.log" || fail "the log has no exit status"

step "a bundle: one item, into the VST folder the switch names"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/BundleSetup.exe" "$E2E_ROOT/examples/bundle"
start_program "$E2E_OUT/BundleSetup.exe" /VERYSILENT /ACCEPTLICENSE /ITEMS=delay '/VST2DIR=C:\Effects'
expect_exit 0 60
effects=$PLUGSETUP_WINEPREFIX/drive_c/Effects
expect_files "$effects/Delay.dll"
expect_absent "$effects/Chorus.dll" "$effects/Reverb.dll"
