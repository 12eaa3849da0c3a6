#!/usr/bin/env bash
# Setups that cannot start their wizard end with one error box captioned "Setup", exit status 1
# once it is answered, and no wizard window: a download cut short, and a Setup.ini without its
# RegistryRoot.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

# Starts SETUP, expects the error box with MESSAGE, answers it and checks that nothing else showed.
expect_error_box() {
  local name=$1 setup=$2 message=$3
  start_program "$setup"
  expect_dialog "$name" "$message" --class '#32770' --title Setup
  driver list >"$E2E_OUT/$name-windows.txt" || true
  ! grep -qF 'Fixture Setup' "$E2E_OUT/$name-windows.txt" || fail "a wizard window opened as well"
  driver click --class '#32770' --title Setup --button OK >/dev/null || fail "cannot answer the error box"
  expect_exit 1
}

make_fixture "$E2E_OUT/product"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"

step "a download cut short in the middle of the archive"
start=$(read_u32 "$E2E_OUT/Setup.exe" $ARCHIVE_OFFSET_WORD)
size=$(file_size "$E2E_OUT/Setup.exe")
head -c $((start + (size - start) / 2)) "$E2E_OUT/Setup.exe" >"$E2E_OUT/Truncated.exe"
expect_error_box truncated "$E2E_OUT/Truncated.exe" \
  "text: The installer appears to be corrupted. Please download it again."

step "a Setup.ini without RegistryRoot"
mkdir -p "$E2E_OUT/no-root"
cp -r "$E2E_OUT/product/." "$E2E_OUT/no-root/"
sed -i '/^RegistryRoot=/d' "$E2E_OUT/no-root/Setup.ini"
! grep -q RegistryRoot "$E2E_OUT/no-root/Setup.ini" || fail "RegistryRoot is still in Setup.ini"
# The vendor's tool refuses such a product unless told not to check it; the stub must refuse it
# on its own all the same.
! "$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/NoRoot.exe" "$E2E_OUT/no-root" 2>"$E2E_OUT/build-check.txt" ||
  fail "plugsetup built a setup without RegistryRoot"
grep -qF 'Invalid configuration in Setup.ini' "$E2E_OUT/build-check.txt" || fail "plugsetup does not say why"
"$PLUGSETUP" build --no-check --version 1.0.0 -o "$E2E_OUT/NoRoot.exe" "$E2E_OUT/no-root"
expect_error_box invalid-ini "$E2E_OUT/NoRoot.exe" "text: Invalid configuration in Setup.ini."
! reg_exists 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixture 1.00' /reg:32 ||
  fail "the refused setup registered an uninstaller"
