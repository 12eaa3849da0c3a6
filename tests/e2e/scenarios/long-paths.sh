#!/usr/bin/env bash
# Long paths through the real window. A destination that would give one file a path of 260
# characters passes the destination page (Wine takes such paths; Windows' 8-bit calls do not),
# but the run refuses it before copying, naming the file; one character less installs. Then,
# with a TEMP of more than 260 characters, the uninstaller (elevated, as under Wine) writes its
# batch file to the Program Files folder as always, and it removes the uninstaller and its folder.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
preset='Presets\Factory\Warm Analog Pad.fxp'

# A folder below C:\Long of exactly LENGTH characters, ending in a letter.
padded_folder() {
  local folder='C:\Long'
  while ((${#folder} < $1)); do folder+='\Long folder name'; done
  folder=${folder:0:$1-1}x
  printf '%s' "$folder"
}
unix_path() { local p=${1#C:\\}; printf '%s/%s' "$drive_c" "${p//\\//}"; }

make_fixture "$E2E_OUT/product"
mkdir -p "$E2E_OUT/product/Program/Presets/Factory"
printf 'FPCh preset\r\n' >"$E2E_OUT/product/Program/${preset//\\//}"
"$PLUGSETUP" build --version 1.0.0 -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product"

too_long=$(padded_folder $((260 - 1 - ${#preset})))
longest=$(padded_folder $((259 - 1 - ${#preset})))

step "a file would get a path of 260 characters"
start_program "$E2E_OUT/Setup.exe"
walk_to_install "$too_long"
press_button "Install"
expect_dialog too-long "text: The path '$too_long\\$preset' is longer than Windows allows.\\rPlease choose a shorter destination folder and then try again." \
  --class '#32770' --title "$TITLE"
driver click --class '#32770' --title "$TITLE" --button OK >/dev/null || fail "cannot answer the error box"
expect_exit 1
expect_absent "$drive_c/Long"

step "the longest path Windows takes, 259 characters"
start_program "$E2E_OUT/Setup.exe"
walk_to_install "$longest"
press_button "Install"
wait_page "Installation Completed"
press_button "Finish"
expect_exit 0
installed=$(unix_path "$longest")
cmp -s "$installed/${preset//\\//}" "$E2E_OUT/product/Program/${preset//\\//}" || fail "the preset is not the product's"
expect_files "$installed/Uninst.exe"

step "a TEMP of more than 260 characters"
temp=$(padded_folder 300)
mkdir -p "$(unix_path "$temp")"
for name in TEMP TMP; do
  "$WINE_RUN" reg add 'HKCU\Environment' /v "$name" /d "$temp" /f </dev/null >/dev/null || fail "cannot set $name"
done
start_program "$longest\\Uninst.exe"
expect_dialog confirm "Are you sure you want to completely remove Fixture 1.00" --title Confirm
answer Confirm Yes
expect_dialog report "Uninstallation successfully completed." --title Information
# Read-only, the uninstaller's file makes the batch file wait, where it can be read.
chmod a-w "$installed/Uninst.exe"
answer Information OK
expect_exit 0
batch=
for _ in $(seq 100); do
  batch=$(find "$drive_c/Program Files (x86)" -maxdepth 1 -name 'Uninstall-*.bat' | head -1)
  [[ -n $batch ]] && break
  sleep 0.1
done
[[ -n $batch ]] || fail "no Uninstall-*.bat in the Program Files folder"
tr -d '\r' <"$batch" | sed 's/^/   /'
grep -qF "del \"$longest\\Uninst.exe\"" "$batch" || fail "the batch file does not delete the uninstaller"
grep -qixF "del \"C:\\Program Files (x86)\\${batch##*/}\"" <(tr -d '\r' <"$batch") || fail "the batch file does not delete itself"
[[ -z $(find "$drive_c" -iname 'Uninstall*.bat' ! -path "$batch") ]] || fail "another batch file was written"
chmod u+w "$installed/Uninst.exe"
wait_removed "$installed"
wait_removed "$batch"
