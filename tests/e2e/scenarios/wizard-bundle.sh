#!/usr/bin/env bash
# A bundle of three products through the real window with the second one unticked in the list:
# the ticked items' files and per-item keys are there, the unticked item's are not, and the
# settings without an item are written once; Uninst.exe then removes it all without reporting
# leftovers.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Suite Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/product
program_folder="$drive_c/Program Files (x86)/Plugsetup Tests/Suite 1"
items='HKCU\Software\Plugsetup Tests\Suite Items'

mkdir -p "$product/Alpha" "$product/Beta" "$product/Gamma" "$product/Common"
cat >"$product/Setup.ini" <<'INI'
[Setup]
ProductName=Suite
IsBundle=1
RegistryRoot=Software\Plugsetup Tests\Suite
BundleRegistryRoot=Software\Plugsetup Tests\Suite Items
BundleItemName=$BundleItem
BundleSelectHeading=Select Products
BundleSelectDescription=Choose the products to install.
DefaultFolder=Plugsetup Tests\Suite %d
[Components]
$BundleItem=$ProgramFolder\$BundleItem
Common=$ProgramFolder
[RegistrySettings]
$BundleItem\Product=$BundleItemProductName
Skin=Dark
INI
printf 'Alpha=1.20,Alpha Equalizer\r\nBeta=2.05,Beta Delay\r\nGamma=3.00\r\n' >"$product/BundleInfo.ini"
printf 'Suite licence\r\n' >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/"
for item in Alpha Beta Gamma; do printf '%s plug-in\r\n' "$item" >"$product/$item/$item.dll"; done
printf 'Suite readme\r\n' >"$product/Common/Readme.txt"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/SuiteSetup.exe" "$product"

start_program "$E2E_OUT/SuiteSetup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wizard_page welcome "Welcome to Suite Setup"
press_button "Next >"
wizard_page license "License Agreement"
press_button "Yes"
wizard_page bundle "Select Products"
page_has "Choose the products to install."

# The list's check boxes are reached with a real click. The window is centred on the screen and
# laid out at 96 DPI, so Beta's box (second row) lies at a fixed offset from the screen's centre.
size=$(identify -format '%w %h' "$E2E_OUT/$PAGE_FILE.png")
width=${size% *} height=${size#* }
x_click $((width / 2 - 62)) $((height / 2 - 81))
sleep 0.5
screenshot 03-bundle-beta-unticked
press_button "Next >"
wizard_page destination "Destination Folder"
press_button "Install"
wizard_page ready "Installation Completed"
press_button "Finish"
expect_exit 0

step "the ticked items and the common part are installed, Beta is not"
expect_files "$program_folder/Alpha/Alpha.dll" "$program_folder/Gamma/Gamma.dll" "$program_folder/Readme.txt" \
  "$program_folder/Uninst.exe"
expect_absent "$program_folder/Beta"
expect_value 'Alpha Equalizer' "$items\\Alpha\\1.0" Product
expect_value 'Gamma' "$items\\Gamma\\3.0" Product
! reg_exists "$items\\Beta" || fail "the unticked item has a key"
expect_value 'Dark' 'HKCU\Software\Plugsetup Tests\Suite\1.0' Skin
reg_exists 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Suite' /reg:32 ||
  fail "no Uninstall key named after the bundle"

step "Uninst.exe removes the installed items"
"$PLUGSETUP" log "$program_folder/Uninst.exe" >"$E2E_OUT/record.txt" || fail "the uninstall record cannot be read"
# The shared component was copied in every pass, but is recorded once: a second line would make
# the uninstaller count the file it already removed as left over.
count=$(grep -cxF 'FC:\Program Files (x86)\Plugsetup Tests\Suite 1\Readme.txt' "$E2E_OUT/record.txt" || true)
((count == 1)) || fail "Readme.txt is recorded $count times"
uninstall_cleanly "$program_folder/Uninst.exe" Suite
! reg_exists 'HKCU\Software\Plugsetup Tests\Suite\1.0' || fail "the product key is still there"
