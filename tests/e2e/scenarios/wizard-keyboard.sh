#!/usr/bin/env bash
# A product with every optional page (a bundle, VST 2 and 3, Pro Tools, Photoshop, personalization,
# shortcuts) installed from Welcome to Finish with real key strokes only, after one click that
# makes the wizard the active window: the focus on entering each page (each screenshot shows it),
# Tab and Shift+Tab, Enter also inside the licence text, the mnemonics of buttons, check boxes and
# labels, a letter shared by two buttons, arrows and Space in the bundle list, the cancel question
# from Alt+F4, "No" and Escape, the refused empty name; then the uninstaller's boxes answered by
# Enter and Escape. What gets installed is what the keys chose.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Keys Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/product
program_folder="$drive_c/Program Files (x86)/Plugsetup Tests/Keys"
vst_folder="$drive_c/Program Files/Steinberg/VstPlugins"

mkdir -p "$product"/{Alpha,Beta,VST3,AAX,Photoshop,Common}
cat >"$product/Setup.ini" <<'INI'
[Setup]
ProductName=Keys
IsBundle=1
RegistryRoot=Software\Plugsetup Tests\Keys
BundleRegistryRoot=Software\Plugsetup Tests\Keys Items
BundleItemName=$BundleItem
BundleSelectHeading=Select Products
BundleSelectDescription=Choose the products to install.
DefaultFolder=Plugsetup Tests\Keys
PersonalizeOwner=Owner
[Pages]
VstPluginFolder=1
DigiPluginFolder=1
PhotoshopPluginFolder=1
Personalization=1
[Components]
$BundleItem=$VstPluginFolder
VST3=$Vst3PluginFolder
AAX=$AaxPluginFolder
Photoshop=$PhotoshopPluginFolder
Common=$ProgramFolder
[Shortcuts]
StartMenu=$ProgramFolder\Readme.txt,Keys Readme
Desktop=$ProgramFolder\Readme.txt,Keys Readme
[Complete]
Readme=$ProgramFolder\Readme.txt
INI
printf 'Alpha=1.00,Alpha Synth\r\nBeta=1.00,Beta Synth\r\n' >"$product/BundleInfo.ini"
printf 'Keys licence\r\n' >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/"
printf 'Alpha\r\n' >"$product/Alpha/Alpha.dll"
printf 'Beta\r\n' >"$product/Beta/Beta.dll"
printf 'VST 3\r\n' >"$product/VST3/Keys.vst3"
printf 'AAX\r\n' >"$product/AAX/Keys.aaxplugin"
printf 'Filter\r\n' >"$product/Photoshop/Keys.8bf"
printf 'Keys readme\r\n' >"$product/Common/Readme.txt"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/KeysSetup.exe" "$product"

# The check box captioned CAPTION (mnemonic and all) is on or off.
expect_check() {
  driver controls --title "$TITLE" | grep -F "$1" | grep -q ",$2checked" || fail "\"$1\" is not $2checked"
}
# The cancel question is up, with the focus on Yes.
expect_cancel_question() {
  expect_dialog "$1" "Keys has not been fully installed yet." --title Confirm --focus
  dialog_focus "$1" "button: Yes"
}

start_program "$E2E_OUT/KeysSetup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
activate_window "$TITLE"

wizard_page welcome "Welcome to Keys Setup"
page_focus "button: Next >"
press_key alt+F4
expect_cancel_question close-question
press_key n
driver wait-gone --title Confirm >/dev/null || fail "No did not answer the question"
expect_focus "button: Next >"
press_key Return

wizard_page license "License Agreement"
page_focus "button: Yes"
press_key alt+n
expect_cancel_question no-question
press_key Tab
expect_focus "button: No" Confirm
press_key Return
driver wait-gone --title Confirm >/dev/null || fail "the question stays"
expect_focus "button: No"
press_key Tab
expect_focus "edit: Keys licence"
screenshot 02-license-text-focus
press_key Return

wizard_page bundle "Select Products"
page_focus "button: Next >"
press_key alt+o alt+n
expect_dialog no-item "You need to install at least one item." --title Warning
press_key Return
driver wait-gone --title Warning >/dev/null || fail "Enter did not answer the warning"
expect_focus "SysListView32"
press_key Down space
screenshot 03-bundle-beta-ticked
press_key Return

wizard_page vst "VST Plug-In Installation"
page_focus "edit: "
type_keys 'C:\Program Files\Steinberg\VstPlugins'
press_key Tab
expect_focus "button: Browse..."
press_key Tab
expect_focus "button: Install the VST 2 plug-ins for Keys"
press_key shift+Tab shift+Tab
expect_focus 'edit: C:\Program Files\Steinberg\VstPlugins'
# "< &Back" and "&Browse..." share their letter: it only moves the focus between them.
press_key alt+b
expect_focus "button: Browse..."
press_key alt+b
expect_focus "button: < Back"
screenshot 04-vst-back-focus
press_key alt+f
expect_focus 'edit: C:\Program Files\Steinberg\VstPlugins'
press_key alt+3
expect_focus "button: Install the VST 3 plug-ins for Keys"
expect_check "Install the VST &3" un
press_key Return

wizard_page protools "Pro Tools Plug-In Installation"
page_focus "button: Next >"
press_key alt+i
expect_focus "button: Install the AAX plug-ins for Keys"
expect_check "&Install the AAX" un
press_key space
expect_check "&Install the AAX" ""
press_key Return

wizard_page photoshop "Adobe Photoshop Plug-in Installation"
page_focus "edit: "
type_keys 'C:\Photoshop\Plug-ins'
press_key Return

wizard_page destination "Destination Folder"
page_focus 'edit: C:\Program Files (x86)\Plugsetup Tests\Keys'
# A click on an empty spot of the page leaves the keyboard where it was.
read -r left top width height <<<"$(driver rect --title "$TITLE")"
x_click $((left + width * 85 / 100)) $((top + height * 60 / 100))
expect_focus 'edit: C:\Program Files (x86)\Plugsetup Tests\Keys'
press_key Return

wizard_page personalize "Personalization"
page_focus "edit: "
press_key BackSpace Return
expect_dialog no-name "Please enter your name first." --title Warning
press_key Escape
driver wait-gone --title Warning >/dev/null || fail "Escape did not answer the warning"
expect_focus "edit: "
screenshot 08-personalize-refused
type_keys "Ada Lovelace"
press_key Return

wizard_page shortcuts "Create Shortcuts"
page_focus "button: Install"
press_key alt+d
expect_focus "button: Create a shortcut on the desktop"
press_key Escape
expect_cancel_question escape-question
press_key Tab Return
driver wait-gone --title Confirm >/dev/null || fail "the question stays"
expect_focus "button: Create a shortcut on the desktop"
# Enter, then Alt+F4 and Enter during the copy, which refuses them: they must not close the
# completion page or press its Finish.
press_key Return alt+F4 Return

wizard_page ready "Installation Completed"
page_focus "button: Finish"
press_key alt+r
expect_check "Show &Readme.txt" un
press_key Return
expect_exit 0

step "what the keys chose"
expect_files "$vst_folder/Beta.dll" "$program_folder/Readme.txt" "$program_folder/Uninst.exe" \
  "$drive_c/Photoshop/Plug-ins/Keys.8bf"
expect_absent "$vst_folder/Alpha.dll"
[[ -n $(find "$drive_c" -name 'Keys.aaxplugin') ]] || fail "the AAX plug-in is not installed"
[[ -z $(find "$drive_c" -name 'Keys.vst3') ]] || fail "the VST 3 plug-in is installed"
expect_value 'Ada Lovelace' 'HKCU\Software\Plugsetup Tests\Keys\1.0' Owner
links=$(find "$drive_c/users" -name 'Keys Readme.lnk')
[[ $(wc -l <<<"$links") == 1 && $links != */Desktop/* ]] || fail "expected the Start menu shortcut only: $links"

step "the uninstaller by keyboard"
start_program "$program_folder/Uninst.exe"
expect_dialog confirm "Are you sure you want to completely remove Keys" --title Confirm --focus
dialog_focus confirm "button: Yes"
activate_window Confirm
press_key Return
expect_dialog report "Uninstallation successfully completed." --title Information
press_key Escape
expect_exit 0
wait_removed "$program_folder"
expect_absent "$vst_folder/Beta.dll" "$drive_c/Photoshop/Plug-ins/Keys.8bf"
