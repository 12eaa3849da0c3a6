#!/usr/bin/env bash
# A product with Japanese names, built for code page 932 and installed through the real window on
# a Japanese Windows: Wine in a Japanese locale, whose ANSI code page is 932. Files, folders and
# registry values carry the names as written, and Uninst.exe removes them. The setup carries
# English only, so its texts stay English on this Windows (wizard-languages shows a translation).
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

make_locale ja_JP
export LC_ALL=ja_JP.UTF-8
TITLE="夜明け Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/product
program_folder="$drive_c/Program Files (x86)/Plugsetup Tests/夜明け 1"
product_key='HKCU\Software\Plugsetup Tests\Yoake\1.0'

mkdir -p "$product/Presets/音色"
cat >"$product/Setup.ini" <<'INI'
[Setup]
ProductName=夜明け
Languages=en
RegistryRoot=Software\Plugsetup Tests\Yoake
DefaultFolder=Plugsetup Tests\夜明け %d
[Components]
Presets=$ProgramFolder\プリセット
[RegistrySettings]
設定\テーマ=ダーク
INI
printf 'ライセンス契約\r\n' >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/"
printf 'preset\r\n' >"$product/Presets/夜明けのパッド.vstpreset"
printf 'preset\r\n' >"$product/Presets/音色/朝のベル.vstpreset"
"$PLUGSETUP" build --codepage 932 --version 1.0.0 -o "$E2E_OUT/YoakeSetup.exe" "$product"

start_program "$E2E_OUT/YoakeSetup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window \"$TITLE\""
wizard_page welcome "Welcome to 夜明け Setup"
press_button "Next >"
wizard_page license "License Agreement"
page_has "ライセンス契約"
press_button "Yes"
wizard_page destination "Destination Folder"
page_has 'C:\Program Files (x86)\Plugsetup Tests\夜明け 1'
press_button "Install"
wizard_page ready "Installation Completed"
page_has "夜明け has been installed successfully."
press_button "Finish"
expect_exit 0

step "the names as written"
expect_files "$program_folder/プリセット/夜明けのパッド.vstpreset" "$program_folder/プリセット/音色/朝のベル.vstpreset" \
  "$program_folder/Uninst.exe"
reg_export "$product_key\\設定" | grep -qxF '"テーマ"="ダーク"' || fail "no setting 設定\\テーマ=ダーク"
"$PLUGSETUP" log --codepage 932 "$program_folder/Uninst.exe" >"$E2E_OUT/record.txt"
grep -qxF 'FC:\Program Files (x86)\Plugsetup Tests\夜明け 1\プリセット\夜明けのパッド.vstpreset' "$E2E_OUT/record.txt" ||
  fail "the record does not hold the file as written"

step "Uninst.exe removes them"
# The message box speaks Japanese too.
uninstall_cleanly "$program_folder/Uninst.exe" "夜明け 1.00" "はい(Y)"
! reg_exists "$product_key" || fail "the product key is still there"
