#!/usr/bin/env bash
# A German Windows (Wine in the de_DE locale, whose user interface language is German): the
# setup speaks German on every page (a screen reader hears the page change on the focused
# button), installs with the licence, completion text and uninstaller report its vendor wrote
# for German customers, records the language, and its uninstaller asks and reports in German.
# The same setup with [Setup] Languages=en speaks English there. On a Japanese Windows a product
# named "Drums & Bass" speaks Japanese, shows its '&' as written, installs and uninstalls.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

mkdir -p "$E2E_OUT/locale"
localedef -i de_DE -f UTF-8 "$E2E_OUT/locale/de_DE.UTF-8" 2>"$E2E_OUT/localedef.txt" ||
  [[ -f $E2E_OUT/locale/de_DE.UTF-8/LC_CTYPE ]] || fail "cannot make the de_DE.UTF-8 locale"
export LOCPATH=$E2E_OUT/locale
export LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
program_folder="$drive_c/Program Files (x86)/Plugsetup Tests/Fixture 1"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixture 1.00'

make_fixture "$E2E_OUT/product"
printf 'Lizenzvertrag fuer Fixture\r\n' >"$E2E_OUT/product/Setup.de.lic"
printf '[Complete]\r\nMessage.de=Fixture ist bereit.\r\n[Texts]\r\nUninstalledMessage.de=$ProductName ist entfernt.\r\n' \
  >>"$E2E_OUT/product/Setup.ini"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"

step "German pages"
TITLE="Setup von Fixture"
start_program "$E2E_OUT/Setup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window \"$TITLE\""
wizard_page welcome "Willkommen beim Setup von Fixture"
page_has "button: Weiter >"
page_has "button: Abbrechen"
# A screen reader hears a page change as a focus event. On the licence page the focus stays on
# the button that Next becomes ("Ja"), which only the setup's own event announces; on the
# destination page it moves into the field, which Windows announces itself, once. A Wine that
# delivers no out-of-context events shows neither, and the check is skipped.
press_listening() {
  driver focus-events --title "$TITLE" --button "$1" --timeout 2 | tr -d '\r' >"$E2E_OUT/focus-$2.txt" ||
    fail "cannot listen for focus events"
}
press_listening "Weiter >" license
wizard_page license "Lizenzvertrag"
page_has "Lizenzvertrag fuer Fixture"
page_has "button: Nein"
press_listening "Ja" destination
wizard_page destination "Zielordner"
driver captions --title "$TITLE" | tr -d '\r' >"$E2E_OUT/destination-captions.txt" ||
  fail "a caption of the German destination page does not fit its control"
if [[ ! -s $E2E_OUT/focus-license.txt && ! -s $E2E_OUT/focus-destination.txt ]]; then
  echo "SKIP: this Wine delivers no out-of-context focus events; the page change's event is not checked"
else
  grep -qxF 'focus: button: Ja' "$E2E_OUT/focus-license.txt" || fail "the licence page raised no focus event on Ja"
  [[ $(grep -c . "$E2E_OUT/focus-destination.txt") == 1 ]] || fail "the destination page is not announced once"
fi
press_button "Installieren"
wizard_page ready "Installation abgeschlossen"
page_has "Fixture ist bereit."
press_button "Fertig stellen"
expect_exit 0
[[ $(reg_value "$uninstall_key" SetupLanguage /reg:32) == de ]] || fail "the Uninstall key does not record German"

step "the uninstaller speaks German"
start_program "$program_folder/Uninst.exe"
# The caption "Bestätigen" is found by its ASCII part whatever code page the driver reads in.
expect_dialog confirm "Fixture 1.00" --title-contains Best
driver click --title-contains Best --button Ja >/dev/null || fail "cannot answer the question"
expect_dialog report "Fixture ist entfernt." --title Information
driver click --title Information --button OK >/dev/null || fail "cannot close the report"
expect_exit 0
wait_removed "$program_folder"

step "English only, on the same Windows"
sed -i 's/^ProductName=Fixture\r$/ProductName=Fixture\r\nLanguages=en\r/' "$E2E_OUT/product/Setup.ini"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/SetupEnglish.exe" "$E2E_OUT/product"
TITLE="Fixture Setup"
PAGE_NUMBER=10
start_program "$E2E_OUT/SetupEnglish.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window \"$TITLE\""
wizard_page english-welcome "Welcome to Fixture Setup"
page_has "button: Next >"
press_button "Next >"
wizard_page english-license "License Agreement"
page_has "Fixture licence"
driver close --title "$TITLE" >/dev/null || fail "cannot close the wizard"
expect_dialog close-question "Are you sure you want to cancel Fixture Setup?" --title Confirm
driver click --title Confirm --button Ja >/dev/null || fail "cannot answer the close question"
expect_exit 0

step "Japanese pages for Drums & Bass"
in_locale ja_JP
make_fixture "$E2E_OUT/drums"
sed -i 's/^ProductName=Fixture\r$/ProductName=Drums \& Bass\r/' "$E2E_OUT/drums/Setup.ini"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/DrumsSetup.exe" "$E2E_OUT/drums"
TITLE="Drums & Bass セットアップ"
PAGE_NUMBER=20
start_program "$E2E_OUT/DrumsSetup.exe"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window \"$TITLE\""
wizard_page ja-welcome "Drums & Bass セットアップへようこそ"
page_has "button: 次へ(N) >"
page_has "button: キャンセル"
driver controls --title "$TITLE" | tr -d '\r' >"$E2E_OUT/ja-controls.txt" || fail "cannot list the controls"
# The heading holds the product's name: no mnemonic, the '&' drawn as written.
grep -qF $'noprefix\tDrums & Bass セットアップへようこそ' "$E2E_OUT/ja-controls.txt" ||
  fail "the heading with the product's '&' is not drawn as written"
press_button "次へ(N) >"
wizard_page ja-license "使用許諾契約"
page_has "Fixture licence"
press_button "はい(Y)"
wizard_page ja-destination "インストール先フォルダー"
driver captions --title "$TITLE" | tr -d '\r' >"$E2E_OUT/ja-destination-captions.txt" ||
  fail "a caption of the Japanese destination page does not fit its control"
driver controls --title "$TITLE" | tr -d '\r' >"$E2E_OUT/ja-dest-controls.txt" || fail "cannot list the controls"
grep -F 'インストール先フォルダー(&F):' "$E2E_OUT/ja-dest-controls.txt" | grep -qv noprefix ||
  fail "the folder label lost its mnemonic"
press_button "インストール(I)"
wizard_page ja-ready "インストールの完了"
press_button "完了(F)"
expect_exit 0
ja_folder="$PLUGSETUP_WINEPREFIX/drive_c/Program Files (x86)/Plugsetup Tests/Fixture 1"
expect_files "$ja_folder/Numbers.dat"
[[ $(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Drums & Bass 1.00' SetupLanguage /reg:32) == ja ]] ||
  fail "the Uninstall key does not record Japanese"

step "the uninstaller speaks Japanese"
start_program "$ja_folder/Uninst.exe"
expect_dialog ja-confirm "Drums & Bass 1.00 と" --title 確認
driver click --title 確認 --button "はい(Y)" >/dev/null || fail "cannot answer the question"
expect_dialog ja-report "アンインストールは正常に完了しました。" --title 情報
driver click --title 情報 --button OK >/dev/null || fail "cannot close the report"
expect_exit 0
wait_removed "$ja_folder"
