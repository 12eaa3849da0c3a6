#!/usr/bin/env bash
# A product made on Linux with accented file and folder names and a UTF-8 Setup.ini (product
# name, folders, a setting and a shortcut name with accents), built for Windows-1252 and
# installed through the real window: files, registry values and the shortcut carry the right
# names, and Uninst.exe removes them. The same product with a Japanese name is refused for 1252
# and accepted for code page 932.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Mødular Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/product
program_folder="$drive_c/Program Files (x86)/Plugsetup Tests/Mødular 1"
presets="$program_folder/Préréglages"
product_key='HKCU\Software\Plugsetup Tests\Mødular\1.0'

mkdir -p "$product/Program" "$product/Presets/Dossier à part"
cat >"$product/Setup.ini" <<'INI'
[Setup]
ProductName=Mødular
RegistryRoot=Software\Plugsetup Tests\Mødular
DefaultFolder=Plugsetup Tests\Mødular %d
[Components]
Program=$ProgramFolder
Presets=$ProgramFolder\Préréglages
[RegistrySettings]
Réglages\Thème=Sombre
[Shortcuts]
StartMenu=$ProgramFolder\Lisez-moi.txt,Lisez-moi de $ProductName
INI
printf 'Lizenzvertrag für Mødular\r\n' >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/"
printf 'Lisez-moi\r\n' >"$product/Program/Lisez-moi.txt"
for name in 'Café Crème' 'Ätherisch Fläche'; do printf '%s\r\n' "$name" >"$product/Presets/$name.vstpreset"; done
printf 'Été\r\n' >"$product/Presets/Dossier à part/Été.txt"

"$PLUGSETUP" check "$product" | tee "$E2E_OUT/check.txt"
grep -qF ': 0 errors, 0 warnings' "$E2E_OUT/check.txt" || fail "check finds something"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/ModularSetup.exe" "$product"
"$PLUGSETUP" list "$E2E_OUT/ModularSetup.exe" | tee "$E2E_OUT/list.txt"
grep -qxF '  Café Crème.vstpreset  14' "$E2E_OUT/list.txt" || fail "list does not show the name as written"

start_program "$E2E_OUT/ModularSetup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window \"$TITLE\""
wizard_page welcome "Welcome to Mødular Setup"
press_button "Next >"
wizard_page license "License Agreement"
page_has "Lizenzvertrag für Mødular"
press_button "Yes"
wizard_page destination "Destination Folder"
page_has 'C:\Program Files (x86)\Plugsetup Tests\Mødular 1'
press_button "Next >"
wizard_page shortcuts "Create Shortcuts"
press_button "Install"
wizard_page ready "Installation Completed"
page_has "Mødular has been installed successfully."
press_button "Finish"
expect_exit 0

step "the names as written on Linux"
expect_files "$program_folder/Lisez-moi.txt" "$presets/Café Crème.vstpreset" "$presets/Ätherisch Fläche.vstpreset" \
  "$presets/Dossier à part/Été.txt" "$program_folder/Uninst.exe"
# reg query prints in the OEM code page, which has no "ø": the values are read from an export.
reg_export "$product_key\\Réglages" | grep -qxF '"Thème"="Sombre"' || fail "no setting Réglages\\Thème=Sombre"
reg_export 'HKLM\Software\Plugsetup Tests\Mødular\1.0' /reg:32 |
  grep -qxF '"Location"="C:\\Program Files (x86)\\Plugsetup Tests\\Mødular 1\\"' || fail "no Location value"
reg_exists 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Mødular 1.00' /reg:32 ||
  fail "no Uninstall key named Mødular 1.00"
links=$(find "$drive_c" -name 'Lisez-moi de Mødular.lnk' | wc -l)
((links == 1)) || fail "expected the Start menu shortcut \"Lisez-moi de Mødular\", found $links"

step "Uninst.exe removes them"
uninstall_cleanly "$program_folder/Uninst.exe" "Mødular 1.00"
! reg_exists "$product_key" || fail "the product key is still there"
links=$(find "$drive_c" -name 'Lisez-moi de Mødular.lnk' | wc -l)
((links == 0)) || fail "the shortcut is still there"

step "a Japanese name: refused for Windows-1252, accepted for code page 932"
printf 'preset\r\n' >"$product/Presets/夜明けのパッド.vstpreset"
if "$PLUGSETUP" build --codepage 1252 --version 1.0.0 -o "$E2E_OUT/Refused.exe" "$product" 2>"$E2E_OUT/refused.txt"; then
  fail "build accepts a Japanese name for Windows-1252"
fi
cat "$E2E_OUT/refused.txt"
grep -qF "夜明けのパッド.vstpreset: error: in the name, '夜' (U+591C) has no form in code page 1252" "$E2E_OUT/refused.txt" ||
  fail "the refusal does not name the file and the character"
[[ ! -e $E2E_OUT/Refused.exe ]] || fail "a refused build left a setup"
# Code page 932 has no "é" or "ø": the Japanese edition of the product is its own folder.
japanese=$E2E_OUT/japanese
mkdir -p "$japanese/Presets"
cp "$product/Setup.jpg" "$japanese/"
cp "$product/Presets/夜明けのパッド.vstpreset" "$japanese/Presets/"
cat >"$japanese/Setup.ini" <<'INI'
[Setup]
ProductName=夜明け
RegistryRoot=Software\Plugsetup Tests\Yoake
DefaultFolder=Plugsetup Tests\夜明け
[Components]
Presets=$ProgramFolder
INI
printf 'ライセンス\r\n' >"$japanese/Setup.lic"
"$PLUGSETUP" build --codepage 932 --version 1.0.0 -o "$E2E_OUT/YoakeSetup.exe" "$japanese"
"$PLUGSETUP" list --codepage 932 "$E2E_OUT/YoakeSetup.exe" | tee "$E2E_OUT/list-932.txt"
grep -qxF '  夜明けのパッド.vstpreset  8' "$E2E_OUT/list-932.txt" || fail "list --codepage 932 does not show the name"
