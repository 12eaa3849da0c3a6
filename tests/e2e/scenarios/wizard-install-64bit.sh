#!/usr/bin/env bash
# A 64-bit product with VST 2 and VST 3 plug-ins through the real window: the 64-bit caption and
# notice, the VST 2 folder read from the 64-bit registry view, the 64-bit Program Files and Common
# Files folders, plug-in libraries renamed by their suffix and format, keys in the 64-bit view
# only; then Wine's own uninstaller, a client of the Uninstall key, removes it all again.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Widget Setup (64-bit)"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/product
program_folder="$drive_c/Program Files/Plugsetup Tests/Widget 2"
vst2_folder="$drive_c/Program Files/Steinberg/VstPlugins"
vst3_bundle="$drive_c/Program Files/Common Files/VST3/Widget.vst3"
key='HKLM\Software\Plugsetup Tests\Widget\2.0'
# The Uninstall entry sits in the default view of this 32-bit program, named with the bit suffix.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Widget 2.00 (64-bit)'

mkdir -p "$product/Program" "$product/Vst" "$product/Vst3"
cat >"$product/Setup.ini" <<'INI'
[Setup]
ProductName=Widget
Is64Bit=1
RegistryRoot=Software\Plugsetup Tests\Widget
DefaultFolder=Plugsetup Tests\Widget %d
WelcomeWin64=This is the 64-bit edition.
[Pages]
VstPluginFolder=1
[Components]
Program=$ProgramFolder
Vst=$VstPluginFolder,DLLSuffix: x64
Vst3=$Vst3PluginFolder\Widget.vst3\Contents\x86_64-win
[GlobalRegistrySettings]
Paths\Program=$ProgramFolder
[Shortcuts]
StartMenu=$ProgramFolder\Readme.txt,Widget Readme
INI
printf 'Widget licence\r\n' >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/"
printf 'Widget readme\r\n' >"$product/Program/Readme.txt"
printf 'VST 2 plug-in\r\n' >"$product/Vst/Widget.dll"
printf 'VST 3 plug-in\r\n' >"$product/Vst3/Widget.dll"
"$PLUGSETUP" build --version 2.0.0 -o "$E2E_OUT/WidgetSetup.exe" "$product"

step "a VST 2 folder in each registry view: the 64-bit product must take the 64-bit one"
"$WINE_RUN" reg add 'HKLM\Software\Vst' /v VstPluginsPath /d 'C:\Program Files\Steinberg\VstPlugins' /f /reg:64 \
  </dev/null >/dev/null || fail "cannot set the 64-bit VST folder"
"$WINE_RUN" reg add 'HKLM\Software\Vst' /v VstPluginsPath /d 'C:\VST32' /f /reg:32 </dev/null >/dev/null ||
  fail "cannot set the 32-bit VST folder"

start_program "$E2E_OUT/WidgetSetup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no window captioned \"$TITLE\""

wizard_page welcome "Welcome to Widget Setup"
page_has "caption: $TITLE"
page_has "This is the 64-bit edition."
press_button "Next >"
wizard_page license "License Agreement"
press_button "Yes"
wizard_page vst "VST Plug-In Installation (64-bit)"
page_has 'edit: C:\Program Files\Steinberg\VstPlugins'
page_has "VST 2 Plug-In &Folder (64-bit):"
page_has "Install the VST 3 plug-in version of Widget"
press_button "Next >"
wizard_page destination "Destination Folder"
page_has 'edit: C:\Program Files\Plugsetup Tests\Widget 2'
press_button "Next >"
wizard_page shortcuts "Create Shortcuts"
press_button "Install"
wizard_page ready "Installation Completed"
press_button "Finish"
expect_exit 0

step "files in the 64-bit folders, plug-ins renamed"
expect_files "$program_folder/Readme.txt" "$program_folder/Uninst.exe" "$vst2_folder/Widget x64.dll" \
  "$vst3_bundle/Contents/x86_64-win/Widget.vst3"
expect_absent "$vst2_folder/Widget.dll" "$vst3_bundle/Contents/x86_64-win/Widget.dll" "$drive_c/VST32" \
  "$drive_c/Program Files (x86)/Plugsetup Tests"
cmp -s "$vst2_folder/Widget x64.dll" "$product/Vst/Widget.dll" || fail "the VST 2 plug-in differs"
cmp -s "$vst3_bundle/Contents/x86_64-win/Widget.vst3" "$product/Vst3/Widget.dll" || fail "the VST 3 plug-in differs"
links=$(find "$drive_c" -name 'Widget Readme.lnk' | wc -l)
((links == 1)) || fail "expected one Start menu shortcut, found $links"

step "keys in the 64-bit registry view, none in the 32-bit one"
expect_value 'C:\Program Files\Plugsetup Tests\Widget 2\' "$key" Location /reg:64
expect_value 'C:\Program Files\Plugsetup Tests\Widget 2' "$key\\Paths" Program /reg:64
! reg_exists "$key" /reg:32 || fail "the product key was written to the 32-bit view"
expect_value 'C:\Program Files\Plugsetup Tests\Widget 2\Uninst.exe' "$uninstall_key" UninstallString /reg:32
expect_value 'Widget 2.00 (64-bit)' "$uninstall_key" DisplayName /reg:32

step "Wine's uninstaller lists the product and removes it through Uninst.exe"
"$WINE_RUN" uninstaller --list </dev/null 2>/dev/null | tr -d '\r' >"$E2E_OUT/uninstaller-list.txt" || true
sed 's/^/   /' "$E2E_OUT/uninstaller-list.txt"
grep -qF 'Widget 2.00 (64-bit)' "$E2E_OUT/uninstaller-list.txt" || fail "Wine's uninstaller does not list the product"
start_program uninstaller --remove 'Widget 2.00 (64-bit)'
expect_dialog confirm "Are you sure you want to completely remove Widget 2.00" --title Confirm
answer Confirm Yes
expect_dialog report "Uninstallation successfully completed." --title Information
answer Information OK
expect_exit 0 30
wait_removed "$program_folder"
expect_absent "$vst2_folder/Widget x64.dll" "$vst3_bundle"
! reg_exists "$key" /reg:64 || fail "the product key is still there"
! reg_exists "$uninstall_key" /reg:32 || fail "the Uninstall key is still there"
links=$(find "$drive_c" -name 'Widget Readme.lnk' | wc -l)
((links == 0)) || fail "the Start menu shortcut is still there"
