#!/usr/bin/env bash
# An update into the same folder through the real window: 1.0.0 installs Old.txt and a Presets
# folder with a preset, 1.1.0 no longer ships them and brings New.txt instead. The uninstaller
# 1.1.0 leaves knows the files of both, each once: it takes the whole folder away and reports
# plain success.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
folder_win='C:\Fixture'
folder=$drive_c/Fixture
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixture'

make_fixture "$E2E_OUT/product-1.0.0"
mkdir -p "$E2E_OUT/product-1.0.0/Program/Presets"
printf 'Only in 1.0.0\r\n' >"$E2E_OUT/product-1.0.0/Program/Old.txt"
printf 'Preset of 1.0.0\r\n' >"$E2E_OUT/product-1.0.0/Program/Presets/Old.preset"
make_fixture "$E2E_OUT/product-1.1.0"
printf 'New in 1.1.0\r\n' >"$E2E_OUT/product-1.1.0/Program/New.txt"
for version in 1.0.0 1.1.0; do
  "$PLUGSETUP" build --version $version -o "$E2E_OUT/Setup-$version.exe" "$E2E_OUT/product-$version"
done

install() { install_into "$E2E_OUT/Setup-$1.exe" "$folder_win" "$1"; }

step "1.0.0"
install 1.0.0
expect_files "$folder/Old.txt" "$folder/Presets/Old.preset"

step "1.1.0 into the same folder"
install 1.1.0
expect_files "$folder/New.txt" "$folder/Old.txt" "$folder/Presets/Old.preset"
"$PLUGSETUP" log "$folder/Uninst.exe" >"$E2E_OUT/record.txt" || fail "plugsetup log cannot read Uninst.exe"
grep -qx "Version: 1.10" "$E2E_OUT/record.txt" || fail "the record is not that of 1.1.0"
for line in 'FC:\Fixture\Old.txt' 'DC:\Fixture\Presets\' 'FC:\Fixture\Presets\Old.preset' \
  'FC:\Fixture\New.txt' 'FC:\Fixture\Readme.txt'; do
  [[ $(grep -cxF "$line" "$E2E_OUT/record.txt") == 1 ]] || fail "the record does not list $line once"
done
! reg_exists "$uninstall_key 1.00" /reg:32 || fail "the Uninstall key of 1.0.0 is still there"

step "uninstall 1.1.0"
uninstall_cleanly "$folder/Uninst.exe" "Fixture 1.10"
wait_removed "$folder"
! reg_exists "$uninstall_key 1.10" /reg:32 || fail "the Uninstall key is still there"
