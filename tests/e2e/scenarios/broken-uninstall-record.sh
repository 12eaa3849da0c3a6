#!/usr/bin/env bash
# An uninstaller copy whose record is garbage stops with the default error report and status 1.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

uninst=$E2E_OUT/Uninst.exe
cp "$STUB" "$uninst"
write_u32 "$uninst" $ARCHIVE_OFFSET_WORD "$(file_size "$uninst")"
write_u32 "$uninst" $UNINSTALLER_MARKER_WORD 1
head -c 64 /dev/zero | tr '\0' 'Z' >>"$uninst"

start_program "$uninst"
expect_dialog error-box "Invalid uninstall data signature" --class '#32770' --title "Application Error"
driver click --class '#32770' --title "Application Error" --button OK
expect_exit 1
