#!/usr/bin/env bash
# The elevated uninstaller and the update do only what the product's own setup wrote, through the
# real programs. A signed fixture is installed into 'C:\Wow! & (more) 100%\Fixture', a folder
# where someone had put the signed uninstaller beside an Uninstall.dat of their own: the update
# keeps none of its lines. The installed Uninst.exe copied next to another crafted Uninstall.dat
# refuses, says why and deletes nothing. Then, with TEMP and TMP unset, delayed expansion on and
# an Uninstall.bat waiting in the Windows folder's Temp, the real uninstallation runs none of its
# lines and its batch file takes the program folder with its batch characters away.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
folder_win='C:\Wow! & (more) 100%\Fixture'
folder="$drive_c/Wow! & (more) 100%/Fixture"
victim=$drive_c/victim.txt

# An uninstall record written by hand (its layout is the documented one): product NAME, version
# 1.00, one log line per further argument.
craft_record() {
  local file=$1 name=$2 log='' line
  shift 2
  for line in "$@"; do log+="$line"$'\r\n'; done
  printf 'KW/UNS/3' >"$file"
  head -c 53 /dev/zero >>"$file"
  write_u32 "$file" 28 -100
  write_u32 "$file" 32 1
  write_u32 "$file" 36 1
  LC_ALL=C write_u32 "$file" 53 "${#log}"
  LC_ALL=C write_u32 "$file" 57 "${#name}"
  printf '%s%s' "$log" "$name" >>"$file"
}

make_fixture "$E2E_OUT/product"
make_certificate
"$PLUGSETUP" build --version 1.0.0 --sign "$SIGN_COMMAND" -o "$E2E_OUT/Setup.exe" "$E2E_OUT/product" ||
  fail "the signed build fails"
"$PLUGSETUP" extract "$E2E_OUT/Setup.exe" Uninst.exe "$E2E_OUT/carried" >/dev/null || fail "cannot extract the uninstaller"
printf 'not yours\r\n' >"$victim"
planted=('FC:\victim.txt' 'F\\server\share\x.txt' 'TC:\users' 'M\Software\Wine' "F$folder_win\\..\\..\\victim.txt")

step "an update over a planted record keeps none of its lines"
mkdir -p "$folder"
cp "$E2E_OUT/carried/Uninst.exe" "$folder/Uninst.exe"
craft_record "$folder/Uninstall.dat" Fixture "${planted[@]}"
"$PLUGSETUP" log "$folder/Uninstall.dat" | grep -qxF 'FC:\victim.txt' || fail "the planted record does not read"
install_into "$E2E_OUT/Setup.exe" "$folder_win" planted
"$PLUGSETUP" log "$folder/Uninstall.dat" >"$E2E_OUT/log-after.txt" || fail "plugsetup log cannot read the record"
sed 's/^/   /' "$E2E_OUT/log-after.txt"
for line in "${planted[@]}"; do
  ! grep -qxF -- "$line" "$E2E_OUT/log-after.txt" || fail "the update kept the planted line $line"
done
grep -qxF "F$folder_win\\Readme.txt" "$E2E_OUT/log-after.txt" || fail "the record lacks the product's own file"

step "the signed uninstaller beside a crafted Uninstall.dat"
crafted=$drive_c/users/Public/Crafted
mkdir -p "$crafted"
cp "$folder/Uninst.exe" "$crafted/Uninst.exe"
craft_record "$crafted/Uninstall.dat" "Trusted Product" 'FC:\victim.txt'
start_program 'C:\users\Public\Crafted\Uninst.exe'
expect_dialog foreign "does not match the installation it belongs to" --title Warning
! grep -qF "Trusted Product" "$E2E_OUT/foreign.txt" || fail "the warning names the crafted product"
answer Warning OK
expect_exit 1
expect_files "$victim" "$crafted/Uninst.exe" "$crafted/Uninstall.dat" "$folder/Readme.txt"

step "TEMP unset, a batch file waiting in the Windows folder's Temp, delayed expansion on"
for name in TEMP TMP; do "$WINE_RUN" reg delete 'HKCU\Environment' /v "$name" /f </dev/null >/dev/null 2>&1; done
"$WINE_RUN" reg add 'HKCU\Software\Microsoft\Command Processor' /v DelayedExpansion /t REG_DWORD /d 1 /f \
  </dev/null >/dev/null || fail "cannot turn delayed expansion on"
mkdir -p "$drive_c/windows/temp"
printf 'echo ran >C:\\planted-ran.txt\r\n' >"$drive_c/windows/temp/Uninstall.bat"
# The program folder goes with the batch file (rd of a path with "%%"); its parent was there
# before the setup (the planted record's), so it stays.
uninstall_cleanly "$folder/Uninst.exe" "Fixture 1.00"
expect_absent "$folder"
expect_absent "$drive_c/planted-ran.txt"
expect_files "$victim"
for _ in $(seq 100); do
  [[ -z $(find "$drive_c/Program Files (x86)" -maxdepth 1 -name 'Uninstall-*.bat') ]] && break
  sleep 0.1
done
[[ -z $(find "$drive_c/Program Files (x86)" -maxdepth 1 -name 'Uninstall-*.bat') ]] || fail "the batch file stays"
