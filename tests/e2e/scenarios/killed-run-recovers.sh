#!/usr/bin/env bash
# A setup killed by its process id in the middle of the copy, then run again. First a first
# installation (a product large enough that the copy takes a moment, killed once the copy page
# shows): the next run completes it, and its uninstaller leaves nothing behind. Then an update
# from 1.0 to 1.1, killed while another program holds the readme and the setup asks about it:
# the silent run of 1.1 after it first puts 1.0 back (its log says so), then updates, and
# 1.1's uninstaller leaves nothing behind. While the killed run is gone, its journal lies in
# the Program Files folder; no run leaves one.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
app=$PLUGSETUP_WINEPREFIX/drive_c/Fixture
program_files="$PLUGSETUP_WINEPREFIX/drive_c/Program Files (x86)"

registry_state() { reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:32; }
# Kills the setup where it stands, as a power loss would stop it, once its journal is there
# and FILE are there (it has begun to write), and checks that the journal stays.
kill_setup() {
  local _
  for _ in $(seq 100); do [[ -e $1 ]] && compgen -G "$program_files/*.journal" >/dev/null && break; sleep 0.1; done
  kill -KILL "$PROGRAM_PID" || fail "the setup was not running"
  wait "$PROGRAM_PID" 2>/dev/null || true
  driver wait-gone --title "$TITLE" >/dev/null || fail "the wizard stays after the kill"
  compgen -G "$program_files/*.journal" >/dev/null ||
    fail "no journal of the killed run: $(ls "$program_files" "$app" 2>&1 | tr "\n" " ")"
  ls -a "$app" "$program_files"/*.journal
}
# The product's files are those of FOLDER, nothing moved aside stays hidden, no journal stays.
expect_complete() {
  local file
  for file in Readme.txt Numbers.dat; do
    cmp -s "$app/$file" "$1/Program/$file" || fail "$file is not the product's"
  done
  [[ -f $app/Uninst.exe ]] || fail "no uninstaller"
  ! compgen -G "$app/~*.tmp" >/dev/null || fail "moved-aside files stay: $(ls "$app")"
  ! compgen -G "$program_files/*.journal" >/dev/null || fail "a journal stays"
}
uninstall_and_compare() {
  uninstall_cleanly "$app/Uninst.exe" Fixture
  expect_absent "$app"
  registry_state >"$E2E_OUT/$1.txt"
  diff -u "$E2E_OUT/before.txt" "$E2E_OUT/$1.txt" || fail "an Uninstall entry stays"
  ! reg_exists 'HKLM\Software\Plugsetup Tests\Fixture\1.0' /reg:32 || fail "the product's key stays"
  ! reg_exists 'HKCU\Software\Plugsetup Tests\Fixture\1.0' || fail "the product's user key stays"
}

i686-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -s -o "$E2E_OUT/hold-file.exe" "$E2E_ROOT/tests/e2e/faults/hold-file.c" ||
  fail "cannot build hold-file"
make_fixture "$E2E_OUT/product"
cp -r "$E2E_OUT/product" "$E2E_OUT/large"
head -c $((48 * 1024 * 1024)) /dev/urandom >"$E2E_OUT/large/Program/Samples.bin"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup-large.exe" "$E2E_OUT/large"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup-1.0.exe" "$E2E_OUT/product"
cp -r "$E2E_OUT/product" "$E2E_OUT/newer"
printf 'Fixture readme, version 1.1\r\n' >"$E2E_OUT/newer/Program/Readme.txt"
"$PLUGSETUP" build --version 1.1.0 -o "$E2E_OUT/Setup-1.1.exe" "$E2E_OUT/newer"
registry_state >"$E2E_OUT/before.txt"

step "a first installation killed during the copy"
start_program "$E2E_OUT/Setup-large.exe"
walk_to_install 'C:\Fixture'
press_button "Install"
driver wait-text --title "$TITLE" --text "Copying files..." --timeout 30 >/dev/null || fail "no copy page"
kill_setup "$app/Samples.bin"

step "run again: a complete installation, whose uninstaller leaves nothing"
install_into "$E2E_OUT/Setup-large.exe" 'C:\Fixture' rerun
expect_complete "$E2E_OUT/large"
cmp -s "$app/Samples.bin" "$E2E_OUT/large/Program/Samples.bin" || fail "Samples.bin is not the product's"
uninstall_and_compare after-first

step "an update from 1.0 killed while the readme is held"
install_into "$E2E_OUT/Setup-1.0.exe" 'C:\Fixture' earlier
rm -f "$PLUGSETUP_WINEPREFIX/drive_c/hold-ready" "$PLUGSETUP_WINEPREFIX/drive_c/hold-release"
start_program "$E2E_OUT/Setup-1.1.exe"
walk_to_install 'C:\Fixture'
"$WINE_RUN" "$E2E_OUT/hold-file.exe" --when "$TITLE" "Copying files..." 'C:\Fixture\Readme.txt' \
  'C:\hold-ready' 'C:\hold-release' </dev/null >"$E2E_OUT/hold.log" 2>&1 &
holder=$!
press_button "Install"
expect_dialog held-question "Cannot install the file 'C:\\Fixture\\Readme.txt'" --title Warning
kill_setup "$app/Readme.txt"
touch "$PLUGSETUP_WINEPREFIX/drive_c/hold-release"
wait "$holder" || fail "the helper did not let go: $(cat "$E2E_OUT/hold.log")"

step "1.1 again, silently: 1.0 back first, then the complete update"
start_program "$E2E_OUT/Setup-1.1.exe" /SILENT /ACCEPTLICENSE '/LOG=C:\rerun.log'
expect_exit 0 60
tr -d '\r' <"$PLUGSETUP_WINEPREFIX/drive_c/rerun.log" >"$E2E_OUT/rerun.log"
grep -q '^Undid an interrupted installation' "$E2E_OUT/rerun.log" || fail "the log does not tell of the recovery"
expect_complete "$E2E_OUT/newer"
reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /reg:32 >"$E2E_OUT/uninstall.reg"
grep -q 'Fixture 1.10\]' "$E2E_OUT/uninstall.reg" || fail "the Uninstall entry does not name 1.10"
! grep -q 'Fixture 1.00\]' "$E2E_OUT/uninstall.reg" || fail "1.0's Uninstall entry stays"
uninstall_and_compare after-update
