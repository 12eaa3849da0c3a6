#!/usr/bin/env bash
# A setup straight from plugsetup opens its main window with the version it carries.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 2.3.4 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"

start_program "$E2E_OUT/Setup.exe"
driver wait-window --title-contains 2.34 --timeout 30 || fail "no main window with the version 2.34"
screenshot main-window
driver close --title-contains 2.34
expect_exit 0
