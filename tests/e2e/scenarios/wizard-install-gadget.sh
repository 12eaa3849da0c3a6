#!/usr/bin/env bash
# The example product from plugsetup build to an uninstalled system, through the real window:
# every page of its wizard, the files, registry keys and shortcuts it leaves in the prefix, and
# Uninst.exe taking them away again.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Gadget Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
program_folder="$drive_c/Program Files (x86)/Example Audio/Gadget 1"
vst_folder="$drive_c/Program Files/Steinberg/VstPlugins"

GADGET=${GADGET:-$E2E_ROOT/examples/gadget}
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/GadgetSetup.exe" "$GADGET"
# wizard-install-gadget-144dpi.sh runs this scenario again on a screen set to 144 DPI.
[[ -z ${WIZARD_DPI:-} ]] || set_screen_dpi "$WIZARD_DPI"
start_program "$E2E_OUT/GadgetSetup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"

wizard_page welcome "Welcome to Gadget Setup"
page_has "This program will install Gadget 1.00"
press_button "Next >"
wizard_page license "License Agreement"
page_has "GADGET END-USER LICENSE AGREEMENT"
press_button "Yes"
wizard_page vst "VST Plug-In Installation"
driver type --title "$TITLE" --text 'C:\Program Files\Steinberg\VstPlugins' >/dev/null || fail "cannot type the VST folder"
press_button "Next >"
wizard_page destination "Destination Folder"
page_has 'C:\Program Files (x86)\Example Audio\Gadget 1'
press_button "Next >"
wizard_page personalize "Personalization"
driver type --title "$TITLE" --text "Ada Lovelace" >/dev/null || fail "cannot type the name"
press_button "Next >"
wizard_page shortcuts "Create Shortcuts"
press_button "Install"
wizard_page ready "Installation Completed"
page_has "Gadget has been installed successfully."
driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
press_button "Finish"
expect_exit 0

step "what the installation left"
for file in Readme.txt Presets.txt Uninst.exe; do
  [[ -f $program_folder/$file ]] || fail "$file is not in the program folder"
done
[[ -f $vst_folder/Gadget.dll ]] || fail "the VST 2 plug-in is not in the VST folder"
cmp -s "$vst_folder/Gadget.dll" "$GADGET/VST/Gadget.dll" || fail "the plug-in differs from the product's"
reg_exists 'HKCU\Software\Example Audio\Gadget\1.0' || fail "no product key below HKEY_CURRENT_USER"
reg_exists 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gadget 1.00' || fail "no Uninstall key"
owner=$("$WINE_RUN" reg query 'HKCU\Software\Example Audio\Gadget\1.0' /v Owner </dev/null 2>/dev/null | tr -d '\r')
[[ $owner == *"Ada Lovelace"* ]] || fail "the owner's name was not stored"
links=$(find "$drive_c" -name 'Gadget Readme.lnk' | wc -l)
((links >= 2)) || fail "expected Start menu and desktop shortcuts, found $links"

step "uninstall through Uninst.exe"
start_program "$program_folder/Uninst.exe"
expect_dialog confirm "Are you sure you want to completely remove Gadget 1.00" --title Confirm
driver click --title Confirm --button Yes >/dev/null
expect_dialog report "Uninstallation successfully completed." --title Information
driver click --title Information --button OK >/dev/null
expect_exit 0
for _ in $(seq 40); do [[ -e $program_folder ]] || break; sleep 0.25; done
[[ ! -e $program_folder ]] || fail "the program folder is still there"
[[ ! -e $vst_folder/Gadget.dll ]] || fail "the VST 2 plug-in is still there"
! reg_exists 'HKCU\Software\Example Audio\Gadget\1.0' || fail "the product key is still there"
links=$(find "$drive_c" -name 'Gadget Readme.lnk' | wc -l)
((links == 0)) || fail "$links shortcuts are still there"
