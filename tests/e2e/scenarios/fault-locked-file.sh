#!/usr/bin/env bash
# A file the setup must replace is held open by another program without sharing: the write
# fails, the real window asks to retry; once the other program lets go, Retry completes the
# installation and the file has the product's content.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

STUB=${FAULT_STUB:-$STUB}
TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
folder="$drive_c/Locked Test"
ready="$drive_c/hold-ready"
release="$drive_c/hold-release"

step "the other program"
i686-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -s -o "$E2E_OUT/hold-file.exe" "$E2E_ROOT/tests/e2e/faults/hold-file.c" ||
  fail "cannot build the helper"
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 --stub "$STUB" -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"
mkdir -p "$folder"
printf 'the old readme, open elsewhere\r\n' >"$folder/Readme.txt"
rm -f "$ready" "$release"
"$WINE_RUN" "$E2E_OUT/hold-file.exe" 'C:\Locked Test\Readme.txt' 'C:\hold-ready' 'C:\hold-release' \
  </dev/null >>"$E2E_OUT/hold-file.log" 2>&1 &
holder=$!
for _ in $(seq 100); do [[ -e $ready ]] && break; sleep 0.2; done
[[ -e $ready ]] || fail "the helper did not open the file"

step "install into the folder that holds it"
start_program "$E2E_OUT/Setup.exe"
walk_to_install 'C:\Locked Test'
screenshot before-install
press_button "Install"

step "the retry question"
expect_dialog retry-question "Cannot install the file 'C:\Locked Test\Readme.txt'." --title Warning
grep -qF "button: Retry" "$E2E_OUT/retry-question.txt" || fail "the question has no Retry button"
grep -qF "button: Cancel" "$E2E_OUT/retry-question.txt" || fail "the question has no Cancel button"
touch "$release"
wait "$holder" || fail "the helper did not let go of the file"
driver click --title Warning --button Retry >/dev/null || fail "cannot answer Retry"

step "the installation completes"
finish_fixture_install "$folder"
