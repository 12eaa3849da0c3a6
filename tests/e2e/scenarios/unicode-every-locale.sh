#!/usr/bin/env bash
# One setup built with the defaults, for a product that speaks accented Latin, Cyrillic, Greek and
# Japanese in its file and folder names, product name, publisher, page texts, licence, setting
# and shortcut, installed through the real window on a Western, a Japanese and a Russian Windows
# (Wine in en_US, ja_JP and ru_RU): on each, every name on disk, every registry value and every
# caption is as written, and Uninst.exe removes it all with its folder. On the Western one the same
# setup also starts from a Cyrillic profile folder; on the Japanese one a setup built for code
# page 1252 puts Café\Notes.txt inside its folder. The wizard speaks English everywhere
# (Languages=en): this is about the vendor's names and texts, not the wizard's own.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

NAME='Crème Ωμέγα Синт 夜明け'
TITLE="$NAME Setup"
PUBLISHER='Studio Ольга Ήχος 音楽'
product=$E2E_OUT/product
folder_name="Plugsetup Tests\\$NAME 1"
product_key='HKCU\Software\Plugsetup Tests\Ωμέγα\1.0'
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$NAME 1.00"

mkdir -p "$product/Program/Café" "$product/Presets/Préréglages" "$product/Presets/Пресеты" \
  "$product/Presets/Ήχοι" "$product/Presets/音色"
cat >"$product/Setup.ini" <<INI
[Setup]
ProductName=$NAME
Publisher=$PUBLISHER
RegistryRoot=Software\\Plugsetup Tests\\Ωμέγα
DefaultFolder=$folder_name
InstallDescription=Синтезатор Ωμέγα с ήχοι и 夜明けのパッド
Languages=en
[Components]
Program=\$ProgramFolder
Presets=\$ProgramFolder\\Пресеты
[RegistrySettings]
Réglages\\Тема=Σκοτεινό 夜
[Shortcuts]
StartMenu=\$ProgramFolder\\Lisez-moi.txt,Читать \$ProductName
[Complete]
Message=Готово. Έτοιμο. 完了しました. Terminé.
INI
printf 'Лицензия · Άδεια χρήσης · ライセンス契約 · Licence de Crème\r\n' >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/"
printf 'Lisez-moi\r\n' >"$product/Program/Lisez-moi.txt"
printf 'Notes\r\n' >"$product/Program/Café/Notes.txt"
printf 'preset\r\n' | tee "$product/Presets/Préréglages/Crème brûlée.vstpreset" "$product/Presets/Пресеты/Утро.vstpreset" \
  "$product/Presets/Ήχοι/Αυγή.vstpreset" "$product/Presets/音色/夜明けのパッド.vstpreset" >/dev/null
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/OmegaSetup.exe" "$product" >"$E2E_OUT/build.txt" ||
  fail "the default build refuses the product: $(cat "$E2E_OUT/build.txt")"
# The product's files as they must land, below the program folder.
(cd "$product" && find Program Presets -type f | sed 's|^Program/||; s|^Presets/|Пресеты/|' | LC_ALL=C sort) >"$E2E_OUT/want.txt"
printf 'Uninst.exe\n' >>"$E2E_OUT/want.txt"
LC_ALL=C sort -o "$E2E_OUT/want.txt" "$E2E_OUT/want.txt"

# Walks the setup at the Windows path SETUP from Welcome to Finish on the prefix's default folder,
# reading every page; LOCALE names the screenshots.
install_product() {
  local setup=$1 locale=$2
  start_program "$setup"
  driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window \"$TITLE\" ($locale)"
  wizard_page "$locale-welcome" "Welcome to $NAME Setup"
  page_has "caption: $TITLE"
  page_has "This program will install $NAME 1.00 on your computer."
  press_button "Next >"
  wizard_page "$locale-license" "License Agreement"
  page_has 'Лицензия · Άδεια χρήσης · ライセンス契約 · Licence de Crème'
  press_button "Yes"
  wizard_page "$locale-destination" "Destination Folder"
  page_has "Setup needs to know where to install Синтезатор Ωμέγα с ήχοι и 夜明けのパッド."
  page_has "edit: C:\\Program Files (x86)\\$folder_name"
  press_button "Next >"
  wizard_page "$locale-shortcuts" "Create Shortcuts"
  page_has "create a shortcut to Синтезатор Ωμέγα с ήχοι и 夜明けのパッド in the Start Menu?"
  press_button "Install"
  wizard_page "$locale-ready" "Installation Completed"
  page_has 'Готово. Έτοιμο. 完了しました. Terminé.'
  press_button "Finish"
  expect_exit 0
}

# Every file as written and nothing else, the registry's values read back as UTF-16, the
# shortcut; then Uninst.exe (its Yes and OK buttons captioned YES and OK) leaves nothing.
check_and_uninstall() {
  local locale=$1 yes=$2 ok=$3 drive_c=$PLUGSETUP_WINEPREFIX/drive_c program_folder location
  program_folder="$drive_c/Program Files (x86)/${folder_name//\\//}"
  step "the names as written ($locale)"
  (cd "$program_folder" 2>/dev/null && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$E2E_OUT/$locale-files.txt"
  diff "$E2E_OUT/want.txt" "$E2E_OUT/$locale-files.txt" || fail "the files on disk differ ($locale)"
  reg_export "$product_key\\Réglages" >"$E2E_OUT/$locale-settings.reg"
  grep -qxF '"Тема"="Σκοτεινό 夜"' "$E2E_OUT/$locale-settings.reg" || fail "no setting Réglages\\Тема ($locale)"
  reg_export "$uninstall_key" /reg:32 >"$E2E_OUT/$locale-uninstall.reg"
  grep -qxF "\"DisplayName\"=\"$NAME 1.00\"" "$E2E_OUT/$locale-uninstall.reg" || fail "no DisplayName ($locale)"
  grep -qxF "\"Publisher\"=\"$PUBLISHER\"" "$E2E_OUT/$locale-uninstall.reg" || fail "no Publisher ($locale)"
  location="C:\\Program Files (x86)\\$folder_name\\"
  reg_export 'HKLM\Software\Plugsetup Tests\Ωμέγα\1.0' /reg:32 | grep -qxF "\"Location\"=\"${location//\\/\\\\}\"" ||
    fail "no Location value ($locale)"
  [[ $(find "$drive_c" -name "Читать $NAME.lnk" | wc -l) == 1 ]] || fail "no shortcut \"Читать $NAME\" ($locale)"

  step "Uninst.exe removes it all ($locale)"
  uninstall_cleanly "$program_folder/Uninst.exe" "$NAME 1.00" "$yes" "$ok"
  ! reg_exists "$product_key" || fail "the product key is still there ($locale)"
  ! reg_exists "$uninstall_key" /reg:32 || fail "the Uninstall key is still there ($locale)"
  [[ $(find "$drive_c" -name "Читать $NAME.lnk" | wc -l) == 0 ]] || fail "the shortcut is still there ($locale)"
}

for locale in en_US ja_JP ru_RU; do
  in_locale "$locale"
  cp "$E2E_OUT/OmegaSetup.exe" "$PLUGSETUP_WINEPREFIX/drive_c/OmegaSetup.exe"
  install_product 'C:\OmegaSetup.exe' "$locale"
  case $locale in
    ja_JP) buttons=('はい(Y)' OK) ;;
    ru_RU) buttons=('Да' 'ОК') ;; # Cyrillic letters
    *) buttons=(Yes OK) ;;
  esac
  check_and_uninstall "$locale" "${buttons[@]}"
done

step "from a Cyrillic profile folder on the Western Windows"
in_locale en_US
downloads=$PLUGSETUP_WINEPREFIX/drive_c/users/Ольга/Downloads
mkdir -p "$downloads"
cp "$E2E_OUT/OmegaSetup.exe" "$downloads/Setup.exe"
install_product 'C:\users\Ольга\Downloads\Setup.exe' olga
expect_files "$PLUGSETUP_WINEPREFIX/drive_c/Program Files (x86)/${folder_name//\\//}/Café/Notes.txt"

step "a setup for code page 1252 on the Japanese Windows"
in_locale ja_JP
make_fixture "$E2E_OUT/western"
mkdir -p "$E2E_OUT/western/Program/Café"
sed -i 's/^\[Setup\]\r\?$/&\nLanguages=en/' "$E2E_OUT/western/Setup.ini"
printf 'Notes\r\n' >"$E2E_OUT/western/Program/Café/Notes.txt"
"$PLUGSETUP" build --codepage 1252 --version 1.0.0 -o "$E2E_OUT/Western.exe" "$E2E_OUT/western" >/dev/null
TITLE="Fixture Setup"
install_into "$E2E_OUT/Western.exe" 'C:\Western' western
western=$PLUGSETUP_WINEPREFIX/drive_c/Western
cmp -s "$western/Café/Notes.txt" "$E2E_OUT/western/Program/Café/Notes.txt" || fail "Café\\Notes.txt is not in its folder"
[[ -z $(find "$western" -maxdepth 1 -name '*Notes.txt') ]] || fail "Notes.txt lands beside its folder"
