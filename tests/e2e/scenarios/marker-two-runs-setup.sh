#!/usr/bin/env bash
# Only a marker word of exactly 1 means "uninstaller": 2 still runs the setup.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 2.3.4 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"
write_u32 "$E2E_OUT/Setup.exe" $UNINSTALLER_MARKER_WORD 2

start_program "$E2E_OUT/Setup.exe"
expect_wizard_and_close 2.34
