#!/usr/bin/env bash
# A stub with nothing appended (offset word 0) reads Setup.dat from its own folder.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_fixture "$E2E_OUT/product"
mkdir -p "$E2E_OUT/dist"
"$PLUGSETUP" build --version 2.3.4 --data-file -o "$E2E_OUT/dist/Setup.dat" "$E2E_OUT/product"
cp "$STUB" "$E2E_OUT/dist/Setup.exe"
[[ $(read_u32 "$E2E_OUT/dist/Setup.exe" $ARCHIVE_OFFSET_WORD) == 0 ]] || fail "the stub's offset word is not 0"

# Started from elsewhere, so only the program's own folder can lead it to Setup.dat.
cd "$E2E_OUT"
start_program "$E2E_OUT/dist/Setup.exe"
expect_wizard_and_close 2.34
