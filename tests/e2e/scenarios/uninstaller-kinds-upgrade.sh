#!/usr/bin/env bash
# The two kinds of uninstaller, one over the other in the same folder, through the real window:
# a setup signed after building (no --sign) leaves a copy of itself that osslsigncode reads as a
# well-formed unsigned program; a --sign build over it leaves its signed Uninst.exe with
# Uninstall.dat; a plain build over that removes Uninstall.dat again; and the last uninstaller
# takes the whole folder away.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
folder_win='C:\Fixture'
folder=$drive_c/Fixture

make_certificate
make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/plain-1.0.0.exe" "$E2E_OUT/product"
osslsigncode sign -certs "$E2E_OUT/cert.pem" -key "$E2E_OUT/key.pem" -in "$E2E_OUT/plain-1.0.0.exe" \
  -out "$E2E_OUT/Setup-1.0.0.exe" >/dev/null || fail "cannot sign the 1.0.0 setup"
"$PLUGSETUP" build --version 1.0.1 --sign "$SIGN_COMMAND" -o "$E2E_OUT/Setup-1.0.1.exe" "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.2 -o "$E2E_OUT/Setup-1.0.2.exe" "$E2E_OUT/product"

install() { install_into "$E2E_OUT/Setup-$1.exe" "$folder_win" "$1"; }

# The uninstaller's record, as plugsetup log reads it, names version V.
expect_record() {
  "$PLUGSETUP" log "$folder/Uninst.exe" >"$E2E_OUT/log-$1.txt" || fail "plugsetup log cannot read Uninst.exe ($1)"
  grep -qx "Version: $2" "$E2E_OUT/log-$1.txt" || fail "the record is not that of $2 ($1)"
}

step "1.0.0, signed after building: a copy of the setup"
install 1.0.0
expect_files "$folder/Uninst.exe" "$folder/Readme.txt"
expect_absent "$folder/Uninstall.dat"
expect_well_formed_unsigned copy-of-signed-setup "$folder/Uninst.exe"
expect_record 1.0.0 1.00

step "1.0.1, built with --sign, over it"
install 1.0.1
expect_files "$folder/Uninstall.dat"
expect_signed separately-built "$folder/Uninst.exe"
expect_record 1.0.1 1.01

step "1.0.2, built without signing, over that"
install 1.0.2
expect_absent "$folder/Uninstall.dat"
expect_well_formed_unsigned plain-copy "$folder/Uninst.exe"
expect_record 1.0.2 1.02
# A product without [Setup] Publisher: the list shows no publisher, the rest as always.
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixture 1.02'
expect_value '1.02' "$key" DisplayVersion /reg:32
! "$WINE_RUN" reg query "$key" /v Publisher /reg:32 </dev/null >/dev/null 2>&1 || fail "a Publisher value was written"
expect_value "$folder_win\Uninst.exe" "$key" DisplayIcon /reg:32

step "uninstall 1.0.2"
uninstall_cleanly "$folder/Uninst.exe" "Fixture 1.02"
wait_removed "$folder"
! reg_exists "$key" /reg:32 || fail "the Uninstall key is still there"
