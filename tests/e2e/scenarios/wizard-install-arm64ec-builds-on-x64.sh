#!/usr/bin/env bash
# The 64-bit example carries Arm64EC builds of its CLAP and VST 2 plug-ins beside the x64 ones.
# Wine is an x64 Windows: through the real window the setup installs the x64 CLAP build, no Arm
# file arrives anywhere, and the uninstall record is line for line the one the same example
# without the Arm64EC builds leaves.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Synth64 Setup (64-bit)"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
example=$E2E_ROOT/examples/synth64
program_folder="$drive_c/Program Files/Example Audio/Synth64 2"
clap="$drive_c/Program Files/Common Files/CLAP/Synth64.clap"

# The example as it was before it carried Arm64EC builds.
before=$E2E_OUT/synth64-x64-only
cp -r "$example" "$before"
rm -r "$before/CLAP-Arm64EC" "$before/VST2-Arm64EC"
sed -i -e '/Arm64/d' -e '/^\[ComponentsOptions\]/d' -e '/=x64\r\?$/d' "$before/Setup.ini"
grep -q -e Arm64 -e '=x64' "$before/Setup.ini" && fail "the x64-only copy still names a machine"

# Installs SETUP through the window with every page as it comes, keeps its record as NAME.txt
# and uninstalls it again.
install_and_record() {
  local setup=$1 name=$2
  start_program "$setup"
  driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no window captioned \"$TITLE\""
  wait_page "Welcome to Synth64 Setup"
  press_button "Next >"
  wait_page "License Agreement"
  press_button "Yes"
  wizard_page "$name-vst" "VST Plug-In Installation (64-bit)"
  page_has "button: Install the CLAP plug-in version of Synth64"
  press_button "Next >"
  wait_page "Pro Tools Plug-In Installation"
  press_button "Next >"
  wait_page "Destination Folder"
  press_button "Next >"
  wait_page "Create Shortcuts"
  press_button "Install"
  wait_page "Installation Completed"
  driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
  press_button "Finish"
  expect_exit 0
  cmp -s "$clap" "$example/CLAP/Synth64.clap" || fail "$name: the CLAP plug-in is not the x64 build"
  ! grep -rlq "Arm64EC" "$(dirname "$clap")" "$program_folder" || fail "$name: an Arm64EC build was installed"
  "$PLUGSETUP" log "$program_folder/Uninst.exe" >"$E2E_OUT/$name.txt" || fail "plugsetup log cannot read the record"
  uninstall_cleanly "$program_folder/Uninst.exe" "Synth64 2.10"
  expect_absent "$clap"
}

step "the example without Arm64EC builds"
"$PLUGSETUP" build --version 2.1.0 -o "$E2E_OUT/Before.exe" "$before"
install_and_record "$E2E_OUT/Before.exe" before

step "the example with Arm64EC builds installs the x64 ones"
"$PLUGSETUP" build --version 2.1.0 -o "$E2E_OUT/Synth64Setup.exe" "$example"
install_and_record "$E2E_OUT/Synth64Setup.exe" with-arm

step "the uninstall record is what it was"
sed 's/^/   /' "$E2E_OUT/with-arm.txt"
grep -qxF 'FC:\Program Files\Common Files\CLAP\Synth64.clap' "$E2E_OUT/with-arm.txt" || fail "the record lacks the CLAP plug-in"
diff "$E2E_OUT/before.txt" "$E2E_OUT/with-arm.txt" || fail "the record differs from the x64-only example's"
