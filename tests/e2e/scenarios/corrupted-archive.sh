#!/usr/bin/env bash
# One flipped byte inside the archive's checked data: the setup refuses to run, says why, and
# ends with status 1.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"
start=$(read_u32 "$E2E_OUT/Setup.exe" $ARCHIVE_OFFSET_WORD)
length=$(read_u32 "$E2E_OUT/Setup.exe" $((start + 8)))
# Past the 28-byte header, halfway through the data its checksum covers.
flip_byte "$E2E_OUT/Setup.exe" $((start + 28 + length / 2))

start_program "$E2E_OUT/Setup.exe"
expect_dialog error-box "The installer appears to be corrupted. Please download it again" \
  --class '#32770' --title Setup
driver click --class '#32770' --title Setup --button OK
expect_exit 1
