#!/usr/bin/env bash
# A host application holds two of the files an installation replaces: it has the plug-in DLL
# loaded and another file open without sharing. Before the copy the real window names both
# with Retry and Cancel. Cancel leaves drive C: and the registry exactly as they were; a second
# run asks again, and Retry once the other program has let go installs everything.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

STUB=${FAULT_STUB:-$STUB}
TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
folder="$drive_c/Locked Test"
ready="$drive_c/hold-ready"
release="$drive_c/hold-release"

# What the run could have changed: the folders and files of drive C: (Wine's own folder aside),
# files with their sizes and times, and the keys the setup writes. Folder times are left out:
# the rights check on leaving the Welcome page makes and removes a folder in Program Files.
machine_state() {
  find "$drive_c" -path "$drive_c/windows" -prune -o -path "$drive_c/hold-*" -prune -o \
    -type d -printf '%P/\n' -o -printf '%P %s %T@\n' | sort
  reg_export 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  reg_export 'HKCU\Software\Plugsetup Tests'
  reg_export 'HKLM\Software\Plugsetup Tests'
}

step "the host application"
i686-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -s -o "$E2E_OUT/hold-file.exe" "$E2E_ROOT/tests/e2e/faults/hold-file.c" ||
  fail "cannot build the helper"
make_fixture "$E2E_OUT/product"
i686-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -s -shared -o "$E2E_OUT/product/Program/Plugin.dll" \
  "$E2E_ROOT/tests/e2e/faults/planted-dll.c" || fail "cannot build the plug-in"
"$PLUGSETUP" build --version 1.0.0 --stub "$STUB" -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"
mkdir -p "$folder"
printf 'the old readme, open elsewhere\r\n' >"$folder/Readme.txt"
cp "$E2E_OUT/product/Program/Plugin.dll" "$folder/Plugin.dll"
rm -f "$ready" "$release"
"$WINE_RUN" "$E2E_OUT/hold-file.exe" 'C:\Locked Test\Plugin.dll' 'C:\Locked Test\Readme.txt' \
  'C:\hold-ready' 'C:\hold-release' </dev/null >>"$E2E_OUT/hold-file.log" 2>&1 &
holder=$!
for _ in $(seq 100); do [[ -e $ready ]] && break; sleep 0.2; done
[[ -e $ready ]] || fail "the helper did not take the files"
machine_state >"$E2E_OUT/before.txt"

step "both files are named before anything is written; Cancel"
start_program "$E2E_OUT/Setup.exe"
walk_to_install 'C:\Locked Test'
press_button "Install"
expect_dialog in-use "Setup cannot replace these files because another program is using them:" --title Warning
grep -qF 'C:\Locked Test\Plugin.dll' "$E2E_OUT/in-use.txt" || fail "the question does not name the DLL"
grep -qF 'C:\Locked Test\Readme.txt' "$E2E_OUT/in-use.txt" || fail "the question does not name the readme"
grep -qF "button: Retry" "$E2E_OUT/in-use.txt" || fail "the question has no Retry button"
grep -qF "button: Cancel" "$E2E_OUT/in-use.txt" || fail "the question has no Cancel button"
answer Warning Cancel
expect_exit 0
machine_state >"$E2E_OUT/after.txt"
diff -u "$E2E_OUT/before.txt" "$E2E_OUT/after.txt" || fail "Cancel changed the machine"

step "again, and Retry once the other program has let go"
start_program "$E2E_OUT/Setup.exe"
walk_to_install 'C:\Locked Test'
press_button "Install"
expect_dialog in-use-again "Setup cannot replace these files" --title Warning
touch "$release"
wait "$holder" || fail "the helper did not let go of the files"
driver click --title Warning --button Retry >/dev/null || fail "cannot answer Retry"
finish_fixture_install "$folder"
cmp -s "$folder/Plugin.dll" "$E2E_OUT/product/Program/Plugin.dll" || fail "Plugin.dll is not the product's"
