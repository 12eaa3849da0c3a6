#!/usr/bin/env bash
# The example product with a Setup.ico and a copyright line: the setup carries the icon and its
# version information (read back by wrestool), still runs through the real window, and the
# uninstaller it copies from itself, like the signed one carried instead, has both too.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Gadget Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
product=$E2E_OUT/gadget
program_folder="$drive_c/Program Files (x86)/Example Audio/Gadget 1"
setup=$E2E_OUT/GadgetSetup.exe

cp -r "$E2E_ROOT/examples/gadget" "$product"
convert -size 48x48 xc:'#3060c0' -define icon:auto-resize=48,32,16 "$product/Setup.ico" ||
  fail "ImageMagick cannot write an icon"
sed -i 's/^\[Setup\]$/[Setup]\nLegalCopyright=© 2026 Ørsted Audio\nFileDescription=Gadget Installer/' "$product/Setup.ini"
"$PLUGSETUP" build --version 1.0.0 -o "$setup" "$product" || fail "the build fails"
"$PLUGSETUP" list "$setup" >"$E2E_OUT/list.txt" || fail "plugsetup list fails"
grep -qxF 'Icon:       3 images (48x48, 32x32, 16x16)' "$E2E_OUT/list.txt" || fail "list shows no icon"
grep -qxF '  LegalCopyright: © 2026 Ørsted Audio' "$E2E_OUT/list.txt" || fail "list shows no copyright"
! grep -q 'Setup.ico' "$E2E_OUT/list.txt" || fail "the icon file went into the archive"

# What Explorer reads: the group icon rebuilt into an .ico, and the version strings.
expect_face() {
  local name=$1 file=$2 text
  wrestool -x -t 14 "$file" >"$E2E_OUT/$name.ico" 2>"$E2E_OUT/$name-wrestool.txt" || fail "wrestool finds no icon in $name"
  [[ $(identify -format '%wx%h ' "$E2E_OUT/$name.ico") == '48x48 32x32 16x16 ' ]] || fail "$name's icon is not Setup.ico"
  wrestool -x -t 16 --raw "$file" >"$E2E_OUT/$name-version.bin" || fail "wrestool finds no version information in $name"
  # Each value stands alone between the NULs; a key follows its node's three length and type words.
  text=$(iconv -f UTF-16LE -t UTF-8 <"$E2E_OUT/$name-version.bin" | tr '\0' '\n')
  for field in 'FileDescription=Gadget Installer' 'ProductVersion=1.0.0' 'ProductName=Gadget' \
    'CompanyName=Example Audio' 'LegalCopyright=© 2026 Ørsted Audio'; do
    grep -A2 -- "${field%%=*}\$" <<<"$text" | grep -qxF -- "${field#*=}" ||
      fail "$name's version information lacks ${field%%=*} \"${field#*=}\""
  done
  step "$name carries the icon and the version information"
}
expect_face setup "$setup"

start_program "$setup"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wizard_page welcome "Welcome to Gadget Setup"
press_button "Next >"
wizard_page license "License Agreement"
press_button "Yes"
wizard_page vst "VST Plug-In Installation"
type_text 'C:\Program Files\Steinberg\VstPlugins'
press_button "Next >"
wizard_page destination "Destination Folder"
press_button "Next >"
wizard_page personalize "Personalization"
press_button "Next >"
wizard_page shortcuts "Create Shortcuts"
press_button "Install"
wizard_page ready "Installation Completed"
driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
press_button "Finish"
expect_exit 0
expect_face uninstaller "$program_folder/Uninst.exe"
make_certificate
expect_well_formed_unsigned uninstaller "$program_folder/Uninst.exe"
uninstall_cleanly "$program_folder/Uninst.exe" "Gadget 1.00"

step "the signed build: the carried uninstaller got them before it was signed"
"$PLUGSETUP" build --version 1.0.0 --sign "$SIGN_COMMAND" -o "$E2E_OUT/Signed.exe" "$product" || fail "the signed build fails"
"$PLUGSETUP" extract "$E2E_OUT/Signed.exe" Uninst.exe "$E2E_OUT/carried" >/dev/null || fail "cannot extract the uninstaller"
expect_face signed-uninstaller "$E2E_OUT/carried/Uninst.exe"
expect_signed signed-uninstaller "$E2E_OUT/carried/Uninst.exe"
expect_signed signed-setup "$E2E_OUT/Signed.exe"
