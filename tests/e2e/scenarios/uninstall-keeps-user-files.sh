#!/usr/bin/env bash
# Files of the user keep their folders: in the program folder they do not spoil the report, in
# another folder the setup made they do; Uninst.exe itself is still deleted by the batch file.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

INSTALL_EXE=$E2E_ROOT/build/win32/bin/e2e_install.exe
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
app_win='C:\Program Files\Vendor\Fixture'
app=$drive_c/Program\ Files/Vendor/Fixture

make_fixture "$E2E_OUT/product"
mkdir -p "$E2E_OUT/product/Program/Presets" "$drive_c/Downloads"
printf 'Factory\r\n' >"$E2E_OUT/product/Program/Presets/Factory.fxp"
"$PLUGSETUP" build --version 2.0.1 -o "$drive_c/Downloads/Setup.exe" "$E2E_OUT/product"

step "install into $app_win"
"$WINE_RUN" "$INSTALL_EXE" 'C:\Downloads\Setup.exe' "$app_win" Fixture </dev/null >"$E2E_OUT/install.log" ||
  fail "the installation failed"
printf 'mine\r\n' >"$app/Notes.txt"
printf 'mine too\r\n' >"$app/Presets/Mine.fxp"

start_program "$app_win\\Uninst.exe"
expect_dialog confirm "Are you sure you want to completely remove Fixture 2.01" --class '#32770' --title Confirm
driver click --class '#32770' --title Confirm --button Yes
expect_dialog report "You should manually \\rremove items related to Fixture." --class '#32770' --title Information
driver click --class '#32770' --title Information --button OK
expect_exit 0

step "Uninst.exe goes, the user's files and their folders stay"
for ((i = 0; i < 150; i++)); do
  [[ -e $app/Uninst.exe ]] || break
  sleep 0.1
done
[[ -e $app/Uninst.exe ]] && fail "Uninst.exe is still there 15 s later"
[[ -f $app/Notes.txt && -f $app/Presets/Mine.fxp ]] || fail "a file of the user's went"
for file in Readme.txt Numbers.dat Fixture.lnk Presets/Factory.fxp; do
  [[ -e $app/$file ]] && fail "$file is still there"
done
sleep 1
[[ $(find "$drive_c/Program Files/Vendor" | wc -l) == 5 ]] || fail "unexpected leftovers: $(find "$drive_c/Program Files/Vendor")"
