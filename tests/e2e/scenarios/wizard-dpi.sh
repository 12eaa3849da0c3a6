#!/usr/bin/env bash
# The side picture on screens between its two sizes: at 120 DPI the window grows by a quarter and
# draws Setup.jpg although the setup carries a Setup@2x.jpg; at 144 DPI without a Setup@2x.jpg it
# grows by half and stretches Setup.jpg. Setup.jpg carries a green corner mark and Setup@2x.jpg a
# red one, so the screenshots tell which picture the window drew.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
pictures=$E2E_ROOT/examples/gadget
make_fixture "$E2E_OUT/both"
convert "$pictures/Setup.jpg" -fill lime -draw 'rectangle 0,0 29,29' "$E2E_OUT/both/Setup.jpg"
convert "$pictures/Setup@2x.jpg" -fill red -draw 'rectangle 0,0 59,59' "$E2E_OUT/both/Setup@2x.jpg"
cp -r "$E2E_OUT/both" "$E2E_OUT/plain"
rm "$E2E_OUT/plain/Setup@2x.jpg"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Both.exe" "$E2E_OUT/both" >/dev/null
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Plain.exe" "$E2E_OUT/plain" >/dev/null

# share_above SHARE LIMIT: whether SHARE (0 to 1) is above LIMIT.
share_above() { awk -v s="$1" -v l="$2" 'BEGIN { exit !(s > l) }'; }

# Starts SETUP on a screen at DPI and expects a window between the widths given, showing the
# green mark of Setup.jpg and not the red one of Setup@2x.jpg; then closes it by the keyboard.
expect_window_at() {
  local dpi=$1 setup=$2 narrowest=$3 widest=$4 width height green red
  set_screen_dpi "$dpi"
  start_program "$setup"
  driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
  wait_page "Welcome to Fixture Setup"
  sleep 0.5
  screenshot "$dpi-dpi"
  read -r _ _ width height <<<"$(driver rect --title "$TITLE")"
  green=$(corner_share "$E2E_OUT/$dpi-dpi.png" lime)
  red=$(corner_share "$E2E_OUT/$dpi-dpi.png" red)
  echo "   window ${width}x$height; green $green, red $red in its top left corner"
  ((width >= narrowest && width <= widest)) || fail "the window is not scaled for $dpi DPI: ${width}x$height"
  share_above "$green" 0.03 || fail "the window did not draw Setup.jpg"
  ! share_above "$red" 0.005 || fail "the window drew Setup@2x.jpg"
  activate_window "$TITLE"
  press_key alt+F4
  expect_dialog "$dpi-close" "Are you sure you want to cancel Fixture Setup?" --title Confirm
  press_key y
  expect_exit 0
}

# 512 x 370 design pixels plus the frame, grown with the font: 518 wide at 96 DPI.
expect_window_at 120 "$E2E_OUT/Both.exe" 600 690
expect_window_at 144 "$E2E_OUT/Plain.exe" 720 840
