#!/usr/bin/env bash
# An installation made from a plugsetup setup into a folder with "%" in its name is removed by its
# Uninst.exe: every logged file, folder and key goes at once, and the hidden batch file deletes
# Uninst.exe, its folders and itself once the uninstaller has exited.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

INSTALL_EXE=$E2E_ROOT/build/win32/bin/e2e_install.exe
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
app_win='C:\Program Files\100% Sound\Fixture'
app=$drive_c/Program\ Files/100%\ Sound/Fixture

key_exists() { "$WINE_RUN" reg query "$@" </dev/null >/dev/null 2>&1; }

# Polls for up to $1 seconds until the path is gone.
wait_gone() {
  local limit=$1 path=$2 i
  for ((i = 0; i < limit * 10; i++)); do
    [[ -e $path ]] || return 0
    sleep 0.1
  done
  return 1
}

make_fixture "$E2E_OUT/product"
mkdir -p "$E2E_OUT/product/Program/Docs" "$drive_c/Downloads"
printf 'Manual\r\n' >"$E2E_OUT/product/Program/Docs/Manual.txt"
"$PLUGSETUP" build --version 1.2.3 -o "$drive_c/Downloads/Setup.exe" "$E2E_OUT/product"

step "install into $app_win"
"$WINE_RUN" "$INSTALL_EXE" 'C:\Downloads\Setup.exe' "$app_win" Fixture </dev/null >"$E2E_OUT/install.log" ||
  fail "the installation failed"
for file in Readme.txt Numbers.dat Docs/Manual.txt Fixture.lnk Uninst.exe; do
  [[ -f $app/$file ]] || fail "$file was not installed"
done
"$PLUGSETUP" log "$app/Uninst.exe" >"$E2E_OUT/record.txt"
grep -qxF "DC:\\Program Files\\100% Sound\\" "$E2E_OUT/record.txt" || fail "the record lacks the created folder"
grep -qxF 'FC:\Program Files\100% Sound\Fixture\Docs\Manual.txt' "$E2E_OUT/record.txt" ||
  fail "the record lacks a file"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixture 1.23'
key_exists "$uninstall_key" /reg:32 || fail "the Uninstall key is missing"
key_exists 'HKCU\Software\PlugsetupE2E\Fixture' || fail "the settings key is missing"

start_program "$app_win\\Uninst.exe"
expect_dialog confirm "Are you sure you want to completely remove Fixture 1.23" --class '#32770' --title Confirm
driver click --class '#32770' --title Confirm --button Yes
expect_dialog report "Uninstallation successfully completed." --class '#32770' --title Information
grep -q "could not be removed" "$E2E_OUT/report.txt" && fail "the report names leftovers"
[[ -f $app/Uninst.exe ]] || fail "Uninst.exe went before the uninstaller ended"
for file in Readme.txt Numbers.dat Docs Fixture.lnk; do
  [[ -e $app/$file ]] && fail "$file is still there"
done
key_exists "$uninstall_key" /reg:32 && fail "the Uninstall key is still there"
key_exists 'HKCU\Software\PlugsetupE2E\Fixture' && fail "the user settings key is still there"
key_exists 'HKLM\Software\PlugsetupE2E\Fixture' /reg:32 && fail "the machine settings key is still there"
driver click --class '#32770' --title Information --button OK
expect_exit 0

step "the batch file removes the uninstaller and its folders"
wait_gone 15 "$drive_c/Program Files/100% Sound" || fail "the program folders are still there 15 s later"
[[ -d "$drive_c/Program Files" ]] || fail "Program Files went too"
wait_gone 5 "$(find "$drive_c/users" -name Uninstall.bat | head -n 1)" || fail "Uninstall.bat did not delete itself"
