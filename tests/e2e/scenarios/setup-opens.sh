#!/usr/bin/env bash
# A setup straight from plugsetup opens its wizard naming the version it carries.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 2.3.4 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"

start_program "$E2E_OUT/Setup.exe"
expect_wizard_and_close 2.34
