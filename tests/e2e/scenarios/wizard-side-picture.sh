#!/usr/bin/env bash
# A side picture that cannot be shown ends the setup cleanly: one error box under the setup's
# title naming the picture and what is wrong with it, answered by Enter, then exit status 1 with
# no wizard window and nothing installed. Cut off, not a JPEG, CMYK (a colour space the window
# cannot show), and a cut-off Setup@2x.jpg on a 144-DPI screen; a grey picture is shown.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_fixture "$E2E_OUT/product"
picture=$E2E_ROOT/examples/gadget/Setup.jpg

# Builds the fixture with PICTURE as NAME (Setup.jpg or Setup@2x.jpg) and expects MESSAGE.
expect_picture_error() {
  local case=$1 name=$2 made=$3 message=$4 product=$E2E_OUT/$1
  step "$case"
  cp -r "$E2E_OUT/product" "$product"
  cp "$made" "$product/$name"
  # plugsetup check would refuse some of them; the setup must cope on its own.
  "$PLUGSETUP" build --no-check --version 1.0.0 -o "$E2E_OUT/$case.exe" "$product" >/dev/null
  start_program "$E2E_OUT/$case.exe"
  expect_dialog "$case" "text: The setup picture $name" --class '#32770' --title "Fixture Setup"
  grep -qF -- "$message" "$E2E_OUT/$case.txt" || fail "the box does not say \"$message\""
  driver list >"$E2E_OUT/$case-windows.txt" || true
  ! grep -qF PlugSetupMainWindow "$E2E_OUT/$case-windows.txt" || fail "a wizard window opened as well"
  activate_window "Fixture Setup"
  press_key Return
  expect_exit 1
}

head -c $(($(file_size "$picture") / 2)) "$picture" >"$E2E_OUT/cut.jpg"
printf 'GIF89a, renamed\r\n' >"$E2E_OUT/gif.jpg"
convert "$picture" -colorspace CMYK "$E2E_OUT/cmyk.jpg"
convert "$picture" -colorspace Gray "$E2E_OUT/grey.jpg"

expect_picture_error cut-off Setup.jpg "$E2E_OUT/cut.jpg" "cannot be read: Premature end of JPEG file."
expect_picture_error not-a-jpeg Setup.jpg "$E2E_OUT/gif.jpg" "cannot be read: Not a JPEG file: starts with 0x47 0x49."
expect_picture_error cmyk Setup.jpg "$E2E_OUT/cmyk.jpg" "cannot be read: Unsupported color conversion request."
[[ ! -e $PLUGSETUP_WINEPREFIX/drive_c/Program\ Files\ \(x86\)/Plugsetup\ Tests ]] || fail "something was installed"

step "a grey picture is no error"
cp "$E2E_OUT/grey.jpg" "$E2E_OUT/product/Setup.jpg"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Grey.exe" "$E2E_OUT/product" >/dev/null
start_program "$E2E_OUT/Grey.exe"
expect_wizard_and_close 1.00

set_screen_dpi 144
expect_picture_error cut-off-2x Setup@2x.jpg "$E2E_OUT/cut.jpg" \
  "Setup@2x.jpg (or Setup.jpg in its place) cannot be read: Premature end of JPEG file."
