#!/usr/bin/env bash
# A full disk through the real window: drive D: is an 8 MB tmpfs of this scenario's own. A
# product larger than the drive is refused with the disk-space message before anything is
# copied. Then another program fills the drive the moment the copy starts (it reads the copy
# page's status, which only a window that serves its messages answers): the write-error
# question comes; Cancel ends with the write error, no Uninst.exe, no Uninstall key and none of
# the folders and files the run had created (the half-written one included); once
# space is freed, Retry completes the installation. Needs root for the mount; skipped without.
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
# The drive goes whatever happens to the scenario: the prefix's programs first, as they may
# hold files on it.
unmount_disk() {
  WINEPREFIX=$PLUGSETUP_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
  if mountpoint -q "$disk"; then umount "$disk" || umount -l "$disk"; fi
}
trap unmount_disk EXIT
trap 'exit 1' INT TERM HUP
mkdir -p "$disk"
mount -t tmpfs -o size=8m tmpfs "$disk" || fail "cannot mount an 8 MB tmpfs on $disk, although running as root"
ln -sfn "$disk" "$PLUGSETUP_WINEPREFIX/dosdevices/d:"
step "drive D: is $(df -h --output=size "$disk" | tail -n 1 | tr -d ' ') of tmpfs"

i686-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -s -o "$E2E_OUT/fill-disk.exe" "$E2E_ROOT/tests/e2e/faults/fill-disk.c" ||
  fail "cannot build the helper"
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"
cp -r "$E2E_OUT/product" "$E2E_OUT/large"
head -c $((10 * 1024 * 1024)) /dev/zero >"$E2E_OUT/large/Program/Samples.bin"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Large.exe" "$E2E_OUT/large"

expect_drive_empty() {
  [[ -z $(find "$disk" -mindepth 1 -print -quit) ]] || fail "D: holds $(find "$disk" -mindepth 1 | head -n 5)"
}

# The error box of the wizard (the window has the same caption) shows TEXT; OK ends with 1.
expect_error_ending() {
  expect_dialog "$1" "$2" --class '#32770' --title "$TITLE"
  driver click --class '#32770' --title "$TITLE" --button OK >/dev/null || fail "cannot answer the error box"
  expect_exit 1
}

# Starts the helper that fills D: once the copy page says it copies, then presses Install.
install_while_the_disk_fills() {
  rm -f "$E2E_OUT/fill.log"
  "$WINE_RUN" "$E2E_OUT/fill-disk.exe" "$TITLE" "Copying files..." 'D:\Other program.dat' \
    </dev/null >"$E2E_OUT/fill.log" 2>&1 &
  filler=$!
  press_button "Install"
  expect_dialog "$1" "Cannot install the file 'D:\\Fixture\\" --title Warning
  wait "$filler" || fail "the other program did not fill the drive: $(cat "$E2E_OUT/fill.log")"
  sed 's/^/   /' "$E2E_OUT/fill.log"
  grep -qF "button: Retry" "$E2E_OUT/$1.txt" || fail "the question has no Retry button"
  grep -qF "button: Cancel" "$E2E_OUT/$1.txt" || fail "the question has no Cancel button"
}

step "a product larger than the drive"
start_program "$E2E_OUT/Large.exe"
walk_to_install 'D:\Fixture'
press_button "Install"
expect_error_ending too-small "There is not enough space on the destination drive.\\rPlease free up some space and then try again."
expect_drive_empty

step "the drive fills while copying, answered Cancel"
start_program "$E2E_OUT/Setup.exe"
walk_to_install 'D:\Fixture'
install_while_the_disk_fills cancel-question
answer Warning Cancel
# The system's reason in the system's words: Wine says "Disk full.", Windows "There is not
# enough space on the disk."
expect_error_ending write-error 'Cannot write file "D:\Fixture\'
grep -qE 'Disk full|not enough space on the disk' "$E2E_OUT/write-error.txt" || fail "the error does not say the disk is full"
expect_absent "$disk/Fixture"
! reg_exists "$uninstall_key" /reg:32 || fail "a cancelled installation registered its uninstaller"

step "the drive fills while copying, space freed, answered Retry"
rm -rf "${disk:?}"/*
start_program "$E2E_OUT/Setup.exe"
walk_to_install 'D:\Fixture'
install_while_the_disk_fills retry-question
rm "$disk/Other program.dat"
answer Warning Retry
finish_fixture_install "$disk/Fixture"
expect_value 'D:\Fixture\Uninst.exe' "$uninstall_key" UninstallString /reg:32
