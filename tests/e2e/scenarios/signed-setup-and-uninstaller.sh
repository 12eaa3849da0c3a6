#!/usr/bin/env bash
# The example product built with plugsetup build --sign and osslsigncode: the setup and the
# Uninst.exe it installs both verify, the Uninstall key carries the values Windows lists
# (version, publisher, icon, location, size), and the uninstallation through the real window
# takes every file, folder and key away again, Uninstall.dat and Uninst.exe included.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Gadget Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
GADGET=$E2E_ROOT/examples/gadget
program_win='C:\Program Files (x86)\Example Audio\Gadget 1'
program_folder="$drive_c/Program Files (x86)/Example Audio/Gadget 1"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gadget 1.00'
setup=$E2E_OUT/GadgetSetup.exe

make_certificate
"$PLUGSETUP" build --version 1.0.0 --sign "$SIGN_COMMAND" -o "$setup" "$GADGET" || fail "the signed build fails"
expect_signed setup "$setup"
"$PLUGSETUP" verify "$setup" >"$E2E_OUT/plugsetup-verify.txt" || fail "plugsetup verify fails"
sed 's/^/   /' "$E2E_OUT/plugsetup-verify.txt"
grep -q '^Certificate table: [0-9]* bytes' "$E2E_OUT/plugsetup-verify.txt" || fail "verify sees no certificate table"
grep -q '^Uninstaller: Uninst.exe in the archive, signed' "$E2E_OUT/plugsetup-verify.txt" ||
  fail "verify sees no signed uninstaller"
"$PLUGSETUP" extract "$setup" Uninst.exe "$E2E_OUT/carried" >/dev/null || fail "cannot extract the uninstaller"

# Everything on drive C: before the installation, to compare with what the uninstallation leaves;
# not Windows' own folder, nor the .desktop files Wine's menu builder makes beside a desktop
# shortcut (Windows has no such file, and Wine does not take it away with the shortcut).
snapshot() { (cd "$drive_c" && find . -path ./windows -prune -o ! -name '*.desktop' -print | LC_ALL=C sort); }
snapshot >"$E2E_OUT/before.txt"

start_program "$setup"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wizard_page welcome "Welcome to Gadget Setup"
press_button "Next >"
wizard_page license "License Agreement"
press_button "Yes"
wizard_page vst "VST Plug-In Installation"
type_text 'C:\Program Files\Steinberg\VstPlugins'
press_button "Next >"
wizard_page destination "Destination Folder"
page_has "$program_win"
press_button "Next >"
wizard_page personalize "Personalization"
press_button "Next >"
wizard_page shortcuts "Create Shortcuts"
press_button "Install"
wizard_page ready "Installation Completed"
driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
press_button "Finish"
expect_exit 0

step "the signed uninstaller with its record beside it"
expect_files "$program_folder/Uninst.exe" "$program_folder/Uninstall.dat"
cmp -s "$program_folder/Uninst.exe" "$E2E_OUT/carried/Uninst.exe" || fail "Uninst.exe is not the signed program as built"
expect_signed installed-uninstaller "$program_folder/Uninst.exe"
for file in Uninst.exe Uninstall.dat; do
  "$PLUGSETUP" log "$program_folder/$file" >"$E2E_OUT/log-$file.txt" || fail "plugsetup log cannot read $file"
  grep -qxF "M\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Gadget 1.00" "$E2E_OUT/log-$file.txt" ||
    fail "the record read through $file lacks the Uninstall key"
done
cmp -s "$E2E_OUT/log-Uninst.exe.txt" "$E2E_OUT/log-Uninstall.dat.txt" || fail "the two ways to the record differ"

step "what Windows lists for the product"
size=0
for file in "$GADGET"/Program/* "$GADGET"/VST/*; do size=$((size + $(file_size "$file"))); done
expect_value 'Gadget 1.00' "$uninstall_key" DisplayName /reg:32
expect_value "$program_win\\Uninst.exe" "$uninstall_key" UninstallString /reg:32
expect_value '1.00' "$uninstall_key" DisplayVersion /reg:32
expect_value 'Example Audio' "$uninstall_key" Publisher /reg:32
expect_value "$program_win\\Uninst.exe" "$uninstall_key" DisplayIcon /reg:32
expect_value "$program_win\\" "$uninstall_key" InstallLocation /reg:32
expect_value "$(printf '0x%x' $(((size + 1023) / 1024)))" "$uninstall_key" EstimatedSize /reg:32
expect_value 0x1 "$uninstall_key" NoModify /reg:32
expect_value 0x1 "$uninstall_key" NoRepair /reg:32

step "uninstall through Uninst.exe"
uninstall_cleanly "$program_folder/Uninst.exe" "Gadget 1.00"
wait_removed "$program_folder"
! reg_exists "$uninstall_key" /reg:32 || fail "the Uninstall key and its values are still there"
! reg_exists 'HKCU\Software\Example Audio\Gadget\1.0' || fail "the product key is still there"
! reg_exists 'HKLM\Software\Example Audio\Gadget\1.0' /reg:32 || fail "the machine's product key is still there"
# The batch file deletes itself last.
for _ in $(seq 40); do [[ -z $(find "$drive_c/users" -name Uninstall.bat) ]] && break; sleep 0.25; done
snapshot >"$E2E_OUT/after.txt"
diff "$E2E_OUT/before.txt" "$E2E_OUT/after.txt" || fail "the uninstallation left the files above behind"
