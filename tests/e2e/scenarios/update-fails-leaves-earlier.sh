#!/usr/bin/env bash
# An update from 1.0 to 1.1 that fails in the middle leaves 1.0 exactly as it was. 1.0 is
# installed on drive D:, an 8 MB tmpfs of this scenario's own; 1.1 replaces its files and
# brings a larger one. First another program fills the drive the moment the copy starts; then
# another takes the readme the moment the copy starts (after the check for held files, as a
# DAW that loads a plug-in then). Each time the question is answered Cancel, and the error box
# ends the run. Afterwards the files of D: (names, sizes, times) and the registry keys the
# setup writes are those before the update, byte for byte, and 1.0's uninstaller still reads
# its record and removes everything.
# Needs root for the mount; skipped without.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
disk=$E2E_OUT/disk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixture 1.00'

if [[ $EUID -ne 0 ]]; then
  echo "SKIP: mounting the small drive needs root"
  exit 77
fi
unmount_disk() {
  WINEPREFIX=$PLUGSETUP_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  if mountpoint -q "$disk"; then umount "$disk" || umount -l "$disk"; fi
}
trap unmount_disk EXIT
trap 'exit 1' INT TERM HUP
mkdir -p "$disk"
mount -t tmpfs -o size=8m tmpfs "$disk" || fail "cannot mount an 8 MB tmpfs on $disk, although running as root"
ln -sfn "$disk" "$PLUGSETUP_WINEPREFIX/dosdevices/d:"

# What the failed update could have changed: the files of D: (the other program's aside) with
# their sizes and times, and the keys the setup writes.
machine_state() {
  find "$disk" -path "$disk/Other program.dat" -prune -o -type d -printf '%P/\n' -o -printf '%P %s %T@ %M\n' | sort
  registry_state
}
registry_state() {
  reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:32
  reg_export 'HKCU\Software\Plugsetup Tests'
  reg_export 'HKLM\Software\Plugsetup Tests' /reg:32
}

for helper in fill-disk hold-file; do
  i686-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -s -o "$E2E_OUT/$helper.exe" "$E2E_ROOT/tests/e2e/faults/$helper.c" ||
    fail "cannot build $helper"
done
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup-1.0.exe" "$E2E_OUT/product"
cp -r "$E2E_OUT/product" "$E2E_OUT/newer"
printf 'Fixture readme, version 1.1\r\n' >"$E2E_OUT/newer/Program/Readme.txt"
head -c $((2 * 1024 * 1024)) /dev/urandom >"$E2E_OUT/newer/Program/Samples.bin"
"$PLUGSETUP" build --version 1.1.0 -o "$E2E_OUT/Setup-1.1.exe" "$E2E_OUT/newer"

# Cancel to the question, then the error box showing TEXT, which ends with 1; D: and the
# registry are then as before the update.
cancel_and_compare() {
  answer Warning Cancel
  expect_dialog "$1" "$2" --class '#32770' --title "$TITLE"
  driver click --class '#32770' --title "$TITLE" --button OK >/dev/null || fail "cannot answer the error box"
  expect_exit 1
  machine_state >"$E2E_OUT/$3.txt"
  diff -u "$E2E_OUT/before.txt" "$E2E_OUT/$3.txt" || fail "the failed update changed the earlier installation"
  cmp -s "$disk/Fixture/Readme.txt" "$E2E_OUT/product/Program/Readme.txt" || fail "the readme is not 1.0's"
}

step "1.0 on D:"
install_into "$E2E_OUT/Setup-1.0.exe" 'D:\Fixture' first
expect_value 'D:\Fixture\Uninst.exe' "$uninstall_key" UninstallString /reg:32
machine_state >"$E2E_OUT/before.txt"

step "1.1 while the drive fills, answered Cancel"
start_program "$E2E_OUT/Setup-1.1.exe"
walk_to_install 'D:\Fixture'
"$WINE_RUN" "$E2E_OUT/fill-disk.exe" "$TITLE" "Copying files..." 'D:\Other program.dat' \
  </dev/null >"$E2E_OUT/fill.log" 2>&1 &
filler=$!
press_button "Install"
expect_dialog write-question "Cannot install the file 'D:\\Fixture\\" --title Warning
wait "$filler" || fail "the other program did not fill the drive: $(cat "$E2E_OUT/fill.log")"
cancel_and_compare write-error 'Cannot write file "D:\Fixture\' after-full
rm -f "$disk/Other program.dat"

step "1.1 while another program takes the readme, answered Cancel"
rm -f "$PLUGSETUP_WINEPREFIX/drive_c/hold-ready" "$PLUGSETUP_WINEPREFIX/drive_c/hold-release"
start_program "$E2E_OUT/Setup-1.1.exe"
walk_to_install 'D:\Fixture'
"$WINE_RUN" "$E2E_OUT/hold-file.exe" --when "$TITLE" "Copying files..." 'D:\Fixture\Readme.txt' \
  'C:\hold-ready' 'C:\hold-release' </dev/null >"$E2E_OUT/hold.log" 2>&1 &
holder=$!
press_button "Install"
expect_dialog held-question "Cannot install the file 'D:\\Fixture\\Readme.txt'" --title Warning
cancel_and_compare held-error 'Cannot create file "D:\Fixture\Readme.txt"' after-held
touch "$PLUGSETUP_WINEPREFIX/drive_c/hold-release"
wait "$holder" || fail "the helper did not let go: $(cat "$E2E_OUT/hold.log")"

step "1.0's uninstaller removes everything"
uninstall_cleanly "$disk/Fixture/Uninst.exe" Fixture
expect_absent "$disk/Fixture"
! reg_exists "$uninstall_key" /reg:32 || fail "the Uninstall key stays"
! reg_exists 'HKLM\Software\Plugsetup Tests\Fixture\1.0' /reg:32 || fail "the product's key stays"
