#!/usr/bin/env bash
# A changed first signature byte is told apart from a damaged body; the error ends with status 1.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"
start=$(read_u32 "$E2E_OUT/Setup.exe" $ARCHIVE_OFFSET_WORD)
write_u8 "$E2E_OUT/Setup.exe" "$start" "$(printf '%d' "'X")"

start_program "$E2E_OUT/Setup.exe"
expect_dialog error-box "Invalid setup data signature" --class '#32770' --title Setup
driver click --class '#32770' --title Setup --button OK
expect_exit 1
