#!/usr/bin/env bash
# Setup.ini, Setup.lic and BundleInfo.ini saved as "UTF-8 with BOM", as many Windows editors save
# them. plugsetup build drops the mark, and the setup itself passes over it when it reads the
# files from beside the program: a bundle whose three texts lie there with their marks installs
# through the real window as it does without them.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Suite Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/product
program_folder="$drive_c/Program Files (x86)/Plugsetup Tests/Suite 1"
items='HKCU\Software\Plugsetup Tests\Suite Items'
bom=$'\xEF\xBB\xBF'

mkdir -p "$product/Alpha" "$product/Beta" "$product/Common"
cat >"$product/Setup.ini" <<INI
${bom}[Setup]
ProductName=Suite
IsBundle=1
RegistryRoot=Software\\Plugsetup Tests\\Suite
BundleRegistryRoot=Software\\Plugsetup Tests\\Suite Items
BundleItemName=\$BundleItem
BundleSelectHeading=Select Products
DefaultFolder=Plugsetup Tests\\Suite %d
[Components]
\$BundleItem=\$ProgramFolder\\\$BundleItem
Common=\$ProgramFolder
[RegistrySettings]
\$BundleItem\\Product=\$BundleItemProductName
INI
printf '%sAlpha=1.20,Alpha Equalizer\r\nBeta=2.05\r\n' "$bom" >"$product/BundleInfo.ini"
printf '%sSuite licence, first line\r\n' "$bom" >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/"
for item in Alpha Beta; do printf '%s plug-in\r\n' "$item" >"$product/$item/$item.dll"; done
printf 'Suite readme\r\n' >"$product/Common/Readme.txt"

step "check and build read the first header; the archive holds the texts without the mark"
"$PLUGSETUP" check "$product" | tee "$E2E_OUT/check.txt"
grep -qF ': 0 errors, 0 warnings' "$E2E_OUT/check.txt" || fail "check finds something in a marked Setup.ini"
"$PLUGSETUP" build --version 1.0.0 --data-file -o "$E2E_OUT/Setup.dat" "$product"
for text in Setup.ini Setup.lic BundleInfo.ini; do
  "$PLUGSETUP" extract "$E2E_OUT/Setup.dat" "$text" "$E2E_OUT/archived" >/dev/null
  [[ $(head -c 3 "$E2E_OUT/archived/$text") != "$bom" ]] || fail "build kept the mark of $text"
done

step "the same texts, marks and all, beside a setup whose archive lacks them"
mkdir -p "$E2E_OUT/bare" "$drive_c/Downloads"
cp -r "$product/Alpha" "$product/Beta" "$product/Common" "$product/Setup.jpg" "$E2E_OUT/bare/"
"$PLUGSETUP" build --no-check --version 1.0.0 -o "$drive_c/Downloads/SuiteSetup.exe" "$E2E_OUT/bare" \
  2>"$E2E_OUT/build.txt"
cp "$product/Setup.ini" "$product/Setup.lic" "$product/BundleInfo.ini" "$drive_c/Downloads/"

start_program 'C:\Downloads\SuiteSetup.exe'
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window (the [Setup] header was not read)"
wizard_page welcome "Welcome to Suite Setup"
press_button "Next >"
wizard_page license "License Agreement"
grep -q '^edit: Suite licence, first line' "$E2E_OUT/$PAGE_FILE.txt" ||
  fail "the licence does not begin with its first word"
press_button "Yes"
wizard_page bundle "Select Products"
press_button "Next >"
wizard_page destination "Destination Folder"
press_button "Install"
wizard_page ready "Installation Completed"
press_button "Finish"
expect_exit 0

step "the first item is named as written"
expect_files "$program_folder/Alpha/Alpha.dll" "$program_folder/Beta/Beta.dll" "$program_folder/Readme.txt"
expect_value 'Alpha Equalizer' "$items\\Alpha\\1.0" Product
expect_value 'Beta' "$items\\Beta\\2.0" Product
