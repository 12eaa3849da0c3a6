#!/usr/bin/env bash
# The 64-bit example through the real window: its VST 3 bundle arrives whole (the runtime library
# beside the binary keeps its name), its CLAP plug-in lands in the 64-bit Common Files\CLAP, and
# the uninstaller takes both away again. A second run, on a 144-DPI screen, declines CLAP by its
# mnemonic: nothing is written there, and the VST 3 bundle is still installed.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Synth64 Setup (64-bit)"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
example=$E2E_ROOT/examples/synth64
program_folder="$drive_c/Program Files/Example Audio/Synth64 2"
common="$drive_c/Program Files/Common Files"
bundle="$common/VST3/Synth64.vst3"
binaries="$bundle/Contents/x86_64-win"
clap_folder="$common/CLAP"
"$PLUGSETUP" build --version 2.1.0 -o "$E2E_OUT/Synth64Setup.exe" "$example"

# Walks from Welcome to the end; the VST page is saved as NAME and left as the caller set it.
install_through_window() {
  local name=$1
  start_program "$E2E_OUT/Synth64Setup.exe"
  driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no window captioned \"$TITLE\""
  wait_page "Welcome to Synth64 Setup"
  press_button "Next >"
  wait_page "License Agreement"
  press_button "Yes"
  wizard_page "$name" "VST Plug-In Installation (64-bit)"
  page_has "button: Install the VST 3 plug-in version of Synth64"
  page_has "button: Install the CLAP plug-in version of Synth64"
  page_has "text: In the common VST 3 plug-in folder, for VST 3 hosts."
  page_has "text: In the common CLAP plug-in folder, for CLAP hosts."
  page_lacks "(Only for"
}

finish_install() {
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
}

step "first run: every format"
install_through_window vst-96dpi
press_button "Next >"
finish_install

step "the bundle whole, its runtime under its own name, CLAP in Common Files\\CLAP"
expect_files "$binaries/Synth64.vst3" "$binaries/Synth64Runtime.dll" "$bundle/Contents/Resources/moduleinfo.json" \
  "$bundle/desktop.ini" "$bundle/PlugIn.ico" "$clap_folder/Synth64.clap"
expect_absent "$binaries/Synth64Runtime.vst3" "$drive_c/Program Files (x86)/Common Files/CLAP"
cmp -s "$binaries/Synth64Runtime.dll" "$example/VST3/Synth64.vst3/Contents/x86_64-win/Synth64Runtime.dll" ||
  fail "the runtime library differs"
cmp -s "$clap_folder/Synth64.clap" "$example/CLAP/Synth64.clap" || fail "the CLAP plug-in differs"

step "the uninstall record lists the runtime library and the CLAP plug-in with its folder"
"$PLUGSETUP" log "$program_folder/Uninst.exe" >"$E2E_OUT/record.txt" || fail "plugsetup log cannot read the record"
sed 's/^/   /' "$E2E_OUT/record.txt"
for item in 'FC:\Program Files\Common Files\VST3\Synth64.vst3\Contents\x86_64-win\Synth64Runtime.dll' \
  'DC:\Program Files\Common Files\CLAP\' 'FC:\Program Files\Common Files\CLAP\Synth64.clap'; do
  grep -qxF -- "$item" "$E2E_OUT/record.txt" || fail "the record lacks $item"
done

step "the uninstaller removes the bundle and the CLAP plug-in with their folders"
uninstall_cleanly "$program_folder/Uninst.exe" "Synth64 2.10"
expect_absent "$bundle" "$clap_folder"

step "second run, at 144 DPI: CLAP declined by its mnemonic"
set_screen_dpi 144
install_through_window vst-144dpi
activate_window "$TITLE"
press_key alt+c
driver controls --title "$TITLE" >"$E2E_OUT/vst-controls.txt" || fail "cannot list the controls"
grep -qF $'unchecked\tInstall the &CLAP plug-in version of Synth64' "$E2E_OUT/vst-controls.txt" ||
  fail "Alt+C did not clear the CLAP check box"
grep -qF $'visible,enabled,checked\tInstall the VST &3 plug-in version of Synth64' "$E2E_OUT/vst-controls.txt" ||
  fail "the VST 3 check box changed"
screenshot vst-144dpi-declined
press_key Return
finish_install
expect_files "$binaries/Synth64.vst3" "$binaries/Synth64Runtime.dll"
expect_absent "$clap_folder"
uninstall_cleanly "$program_folder/Uninst.exe" "Synth64 2.10"
expect_absent "$bundle"
