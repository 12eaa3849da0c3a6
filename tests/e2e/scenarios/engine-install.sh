#!/usr/bin/env bash
# The setup engine installs a product on the real platform, without the wizard: components into
# the program folder and into the VST folder found in the registry (the plug-in renamed by its
# suffix), the product's record and settings in both hives, shortcuts that the shell reads back
# (an older one to the same target replaced), and Uninst.exe registered with a record of it all,
# which then removes it again.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

ENGINE_EXE=${E2E_ENGINE_INSTALL_EXE:-$E2E_ROOT/build/win32/bin/e2e_engine_install.exe}
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/product
app=$drive_c/Fixture

engine() { "$WINE_RUN" "$ENGINE_EXE" "$@" </dev/null; }

# The data of one value as "reg query" prints it, or nothing when key or value is missing.
reg_value() {
  local key=$1 name=$2
  shift 2
  "$WINE_RUN" reg query "$key" /v "$name" "$@" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$name *REG_[A-Z_]* *//p"
}

expect_value() {
  local want=$1 got
  shift
  got=$(reg_value "$@")
  [[ $got == "$want" ]] || fail "$1 $2 is \"$got\", expected \"$want\""
}

# A Windows path for a file below drive_c.
drive_c_path() {
  local path=${1#"$drive_c"/}
  printf 'C:\\%s' "${path//\//\\}"
}

mkdir -p "$product/Program" "$product/Vst" "$drive_c/Downloads"
cat >"$product/Setup.ini" <<'INI'
[Setup]
ProductName=Fixture
RegistryRoot=Software\Maker\Fixture
DefaultFolder=Maker\Fixture %d
PersonalizeOwner=Owner
[Components]
Program=$ProgramFolder
Vst=$VstPluginFolder,DLLSuffix: x86
[RegistrySettings]
Settings\Width=#640
Settings\Skin=Dark
[GlobalRegistrySettings]
Paths\Program=$ProgramFolder\Fixture.exe
[Shortcuts]
ProgramFolder=$ProgramFolder\Readme.txt
StartMenu=$ProgramFolder\Readme.txt,$ProductName $ProductVersion,-open
INI
printf 'Licence\r\n' >"$product/Setup.lic"
cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$product/Setup.jpg"
printf 'Fixture readme\r\n' >"$product/Program/Readme.txt"
printf 'not really a program\r\n' >"$product/Program/Fixture.exe"
printf 'plug-in\r\n' >"$product/Vst/Fixture.dll"
"$PLUGSETUP" build --version 3.1.2 -o "$drive_c/Downloads/Setup.exe" "$product"

step "a VST folder and an older version's shortcut"
"$WINE_RUN" reg add 'HKLM\Software\Vst' /v VstPluginsPath /d 'C:\VstPlugins' /f /reg:32 </dev/null >/dev/null ||
  fail "cannot set the VST folder"
mkdir -p "$app"
printf 'old readme\r\n' >"$app/Readme.txt"
programs=$(find "$drive_c/users" -path '*/Start Menu/Programs' -type d | head -n 1)
[[ -n $programs ]] || fail "the prefix has no Start menu"
engine --make-link "$(drive_c_path "$programs")\\Fixture 3.05.lnk" 'C:\Fixture\Readme.txt' -open ||
  fail "cannot write the older shortcut"
engine --make-link "$(drive_c_path "$programs")\\Fixture Plain.lnk" 'C:\Fixture\Readme.txt' '' ||
  fail "cannot write the shortcut without arguments"

step "install"
engine 'C:\Downloads\Setup.exe' 'C:\Fixture' 1 >"$E2E_OUT/install.log" || fail "the installation failed"
sed 's/^/   /' "$E2E_OUT/install.log"
grep -E '^(progress|status) ' "$E2E_OUT/install.log" | tr -d '\r' >"$E2E_OUT/progress.txt"
printf '%s\n' 'progress 0' 'status Preparing installation...' 'progress 25' 'status Copying files...' \
  'progress 75' 'status Creating settings...' 'progress 100' | diff - "$E2E_OUT/progress.txt" ||
  fail "the progress calls differ"
grep -qxF 'default C:\Program Files (x86)\Maker\Fixture 3' <(tr -d '\r' <"$E2E_OUT/install.log") ||
  fail "the default destination is not Program Files joined with DefaultFolder"

step "files"
[[ $(tr -d '\r' <"$app/Readme.txt") == 'Fixture readme' ]] || fail "Readme.txt was not replaced"
for file in "$app/Fixture.exe" "$app/Uninst.exe" "$app/Readme.lnk" "$drive_c/VstPlugins/Fixture x86.dll" \
  "$programs/Fixture 3.12.lnk" "$programs/Fixture Plain.lnk"; do
  [[ -f $file ]] || fail "${file#"$drive_c"/} is missing"
done
[[ -e "$programs/Fixture 3.05.lnk" ]] && fail "the older shortcut to the same target is still there"

step "shortcuts read back by the shell"
engine --read-link 'C:\Fixture\Readme.lnk' | tr -d '\r' >"$E2E_OUT/readme-link.txt" || fail "Readme.lnk cannot be read"
grep -qxF 'target C:\Fixture\Readme.txt' "$E2E_OUT/readme-link.txt" || fail "Readme.lnk points elsewhere"
engine --read-link "$(drive_c_path "$programs")\\Fixture 3.12.lnk" | tr -d '\r' >"$E2E_OUT/start-link.txt" ||
  fail "the Start menu shortcut cannot be read"
grep -qxF 'arguments -open' "$E2E_OUT/start-link.txt" || fail "the Start menu shortcut lost its arguments"

step "registry"
expect_value 'C:\Fixture\' 'HKLM\Software\Maker\Fixture\3.0' Location /reg:32
expect_value '3.12' 'HKLM\Software\Maker\Fixture\3.0' VersionString /reg:32
expect_value 'C:\Fixture\Fixture.exe' 'HKLM\Software\Maker\Fixture\3.0\Paths' Program /reg:32
expect_value '0x280' 'HKCU\Software\Maker\Fixture\3.0\Settings' Width
expect_value 'Dark' 'HKCU\Software\Maker\Fixture\3.0\Settings' Skin
[[ -n $(reg_value 'HKCU\Software\Maker\Fixture\3.0' Owner) ]] || fail "the owner name was not written"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fixture 3.12'
expect_value 'C:\Fixture\Uninst.exe' "$uninstall_key" UninstallString /reg:32
expect_value 'Fixture 3.12' "$uninstall_key" DisplayName /reg:32

step "the uninstall record"
"$PLUGSETUP" log "$app/Uninst.exe" >"$E2E_OUT/record.txt"
sed 's/^/   /' "$E2E_OUT/record.txt"
for line in 'EC:\Fixture\' 'FC:\Fixture\Readme.txt' 'DC:\VstPlugins\' 'FC:\VstPlugins\Fixture x86.dll' \
  'U\Software\Maker\Fixture\3.0' 'M\Software\Maker\Fixture\3.0' 'FC:\Fixture\Readme.lnk' \
  "F$(drive_c_path "$programs")\\Fixture 3.12.lnk" "M${uninstall_key#HKLM}"; do
  grep -qxF -- "$line" "$E2E_OUT/record.txt" || fail "the record lacks $line"
done

step "Uninst.exe removes what the run recorded"
start_program 'C:\Fixture\Uninst.exe'
expect_dialog confirm "Are you sure you want to completely remove Fixture 3.12" --class '#32770' --title Confirm
driver click --class '#32770' --title Confirm --button Yes
expect_dialog report "Uninstallation successfully completed." --class '#32770' --title Information
for file in "$app/Readme.txt" "$app/Readme.lnk" "$drive_c/VstPlugins" "$programs/Fixture 3.12.lnk"; do
  [[ -e $file ]] && fail "${file#"$drive_c"/} is still there"
done
[[ -f "$programs/Fixture Plain.lnk" ]] || fail "a shortcut the run did not make was removed"
key_gone() { ! "$WINE_RUN" reg query "$@" </dev/null >/dev/null 2>&1 || fail "$1 is still there"; }
key_gone 'HKLM\Software\Maker\Fixture\3.0' /reg:32
key_gone 'HKCU\Software\Maker\Fixture\3.0'
key_gone "$uninstall_key" /reg:32
driver click --class '#32770' --title Information --button OK
expect_exit 0
