#!/usr/bin/env bash
# plugsetup.exe from the Windows zip, under Wine: from the same folder, version and build time it
# builds the very bytes the Linux tool builds (Windows paths with either slash, names beyond
# ASCII, letter cases that Windows and Linux list in other orders), finds Setup.exe beside
# itself, and check (in its three formats), verify, list, extract and log say what the Linux
# tool says, paths aside; both leave the same junk out. A --sign command runs through cmd.exe with its quoted paths.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

INSTALL_EXE=$E2E_ROOT/build/win32/bin/e2e_install.exe
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
when=2024-05-06T07:08:09

step "plugsetup.exe from the zip"
zip=$("$E2E_ROOT/scripts/package" | grep 'windows\.zip$') || fail "no Windows zip"
unzip -q "$zip" -d "$E2E_OUT/zip"
tool_exe=$(echo "$E2E_OUT"/zip/plugsetup-*-windows/plugsetup.exe)
# One wineserver for the many short runs.
WINEPREFIX=$PLUGSETUP_WINEPREFIX wineserver -p
win() { "$WINE_RUN" "$tool_exe" "$@" </dev/null; }
# What the Windows tool prints, as the Linux tool would print it: lines without CR, paths with
# slashes and without the drive Wine shows the Linux files on (%3A: the colon in an annotation).
as_linux() { tr -d '\r' | sed 's|Z:\\|\\|g; s|Z:/|/|g; s|Z%3A||g' | tr '\\' '/'; }
slashes() { tr '\\' '/'; }

good=$E2E_OUT/good
make_fixture "$good"
mkdir -p "$good/Program/Presets" "$good/Program/presets 2"
for name in Café.fxp zeta.fxp Alpha.fxp _under.fxp 'B side.fxp' b.fxp; do printf '%s\r\n' "$name" >"$good/Program/Presets/$name"; done
printf 'x\r\n' >"$good/Program/presets 2/Crème.txt"
# Junk that neither tool packs; check notes it.
mkdir -p "$good/.git"
printf 'ref: refs/heads/main\n' >"$good/.git/HEAD"
printf 'x' >"$good/Program/.DS_Store"

step "the same setup from both tools"
"$PLUGSETUP" build --version 1.2.0 --build-time "$when" -o "$E2E_OUT/linux.exe" "$good" >"$E2E_OUT/build-linux.txt"
win build --version 1.2.0 --build-time "$when" -o "$(windows_path "$E2E_OUT/windows.exe")" \
  "Z:$good" >"$E2E_OUT/build-windows.txt" || fail "plugsetup.exe cannot build"
cmp "$E2E_OUT/linux.exe" "$E2E_OUT/windows.exe" || fail "plugsetup.exe builds other bytes"
diff <(slashes <"$E2E_OUT/build-linux.txt" | sed 's|linux\.exe|X.exe|') \
  <(as_linux <"$E2E_OUT/build-windows.txt" | sed 's|windows\.exe|X.exe|') || fail "build says other things"

step "verify, list"
for command in verify list; do
  "$PLUGSETUP" "$command" "$E2E_OUT/linux.exe" | slashes | sed 's|.*/linux\.exe|SETUP|' >"$E2E_OUT/$command-linux.txt"
  win "$command" "$(windows_path "$E2E_OUT/linux.exe")" | as_linux | sed 's|.*/linux\.exe|SETUP|' \
    >"$E2E_OUT/$command-windows.txt" || fail "plugsetup.exe $command fails"
  diff "$E2E_OUT/$command-linux.txt" "$E2E_OUT/$command-windows.txt" || fail "$command says other things"
done
grep -q 'Café.fxp' "$E2E_OUT/list-windows.txt" || fail "list shows no Café.fxp"

step "extract"
"$PLUGSETUP" extract "$E2E_OUT/linux.exe" "$E2E_OUT/out-linux" | slashes >"$E2E_OUT/extract-linux.txt"
win extract "$(windows_path "$E2E_OUT/linux.exe")" "$(windows_path "$E2E_OUT/out-windows")" | as_linux \
  >"$E2E_OUT/extract-windows.txt" || fail "plugsetup.exe extract fails"
diff "$E2E_OUT/extract-linux.txt" "$E2E_OUT/extract-windows.txt" || fail "extract says other things"
diff -r "$E2E_OUT/out-linux" "$E2E_OUT/out-windows" || fail "extract writes other files"
[[ -f "$E2E_OUT/out-windows/Program/Presets/Café.fxp" ]] || fail "extract wrote no Café.fxp"

step "check, in its three formats"
bad=$E2E_OUT/bad
cp -r "$good" "$bad"
printf 'Missing=$ProgramFolder\r\n[Shortcutz]\r\nDesktop=$ProgramFolder\\Readme.txt\r\n' >>"$bad/Setup.ini"
# JSON writes a backslash as two.
unescaped() { if [[ $format == json ]]; then sed 's/\\\\/\\/g'; else cat; fi; }
for format in text github json; do
  status=0
  "$PLUGSETUP" check --format "$format" "$bad" | unescaped | slashes >"$E2E_OUT/check-$format-linux.txt" || status=$?
  ((status == 1)) || fail "check --format $format exits with $status on Linux"
  status=0
  win check --format "$format" "Z:$bad" | unescaped | as_linux >"$E2E_OUT/check-$format-windows.txt" || status=$?
  ((status == 1)) || fail "plugsetup.exe check --format $format exits with $status"
  diff "$E2E_OUT/check-$format-linux.txt" "$E2E_OUT/check-$format-windows.txt" || fail "check --format $format differs"
done
sed 's/^/   /' "$E2E_OUT/check-github-windows.txt"
grep -q '^::error file=.*Setup.ini,line=[0-9]*,title=plugsetup check::' "$E2E_OUT/check-github-windows.txt" ||
  fail "no error annotation"
grep -q '^::notice file=.*\.DS_Store,title=plugsetup check::not packed' "$E2E_OUT/check-github-windows.txt" ||
  fail "no notice for the junk"

step "a --sign command through cmd.exe, paths with blanks"
mkdir -p "$E2E_OUT/out dir (1)"
win build --version 1.2.0 --build-time "$when" --sign 'copy /b {in} {out} >nul' \
  -o "$(windows_path "$E2E_OUT/out dir (1)/Signed & Setup.exe")" "Z:$good" >"$E2E_OUT/sign-windows.txt" 2>&1 ||
  { cat "$E2E_OUT/sign-windows.txt"; fail "plugsetup.exe --sign with copy fails"; }
"$PLUGSETUP" build --version 1.2.0 --build-time "$when" --sign 'cp {in} {out}' -o "$E2E_OUT/signed-linux.exe" \
  "$good" >/dev/null 2>&1
cmp "$E2E_OUT/signed-linux.exe" "$E2E_OUT/out dir (1)/Signed & Setup.exe" || fail "the --sign builds differ"

step "log of an installed uninstaller"
mkdir -p "$drive_c/Downloads"
cp "$E2E_OUT/windows.exe" "$drive_c/Downloads/Setup.exe"
"$WINE_RUN" "$INSTALL_EXE" 'C:\Downloads\Setup.exe' 'C:\Program Files\Vendor\Fixture' Fixture </dev/null \
  >"$E2E_OUT/install.log" || fail "the installation failed"
uninstaller="$drive_c/Program Files/Vendor/Fixture/Uninst.exe"
"$PLUGSETUP" log "$uninstaller" | slashes >"$E2E_OUT/log-linux.txt"
win log 'C:\Program Files\Vendor\Fixture\Uninst.exe' | as_linux >"$E2E_OUT/log-windows.txt" ||
  fail "plugsetup.exe log fails"
diff "$E2E_OUT/log-linux.txt" "$E2E_OUT/log-windows.txt" || fail "log says other things"
grep -q 'Café.fxp' "$E2E_OUT/log-windows.txt" || fail "log shows no Café.fxp"
step "plugsetup.exe and plugsetup agree"
