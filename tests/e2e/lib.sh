# shellcheck shell=bash disable=SC2034
# Sourced by every end-to-end scenario: where things are, the fixture product, byte patching,
# and running a program under Wine while the automation driver talks to it.
set -euo pipefail

: "${E2E_ROOT:?run scenarios through tests/e2e/run-all}"
: "${E2E_OUT:?run scenarios through tests/e2e/run-all}"

PLUGSETUP=$E2E_ROOT/build/host/bin/plugsetup
STUB=$E2E_ROOT/build/win32/bin/Setup.exe
DRIVER_EXE=$E2E_ROOT/build/win32/bin/e2e_driver.exe
WINE_RUN=$E2E_ROOT/scripts/wine-run
PROGRAM_PID=

# The DOS header words that decide where the data lies and which role the program plays.
ARCHIVE_OFFSET_WORD=$((0x30))
UNINSTALLER_MARKER_WORD=$((0x34))

step() { printf '== %s\n' "$*"; }

fail() {
  printf 'FAIL: %s\n' "$*"
  screenshot failure || true
  driver list || true
  exit 1
}

screenshot() {
  import -window root "$E2E_OUT/$1.png"
}

# A small but complete product: Setup.ini, a licence, the side picture and one component folder.
make_fixture() {
  local dir=$1
  mkdir -p "$dir/Program"
  printf '[Setup]\r\nProductName=Fixture\r\nRegistryRoot=Software\\Plugsetup Tests\\Fixture\r\nDefaultFolder=Plugsetup Tests\\Fixture %%d\r\n\r\n[Components]\r\nProgram=$ProgramFolder\r\n' >"$dir/Setup.ini"
  printf 'Fixture licence\r\n' >"$dir/Setup.lic"
  cp "$E2E_ROOT/examples/gadget/Setup.jpg" "$dir/Setup.jpg"
  printf 'Fixture readme\r\n' >"$dir/Program/Readme.txt"
  seq 1 5000 >"$dir/Program/Numbers.dat"
}

# Little-endian integers at a file offset, patched in place.
read_u8() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
read_u32() { od -An -tu4 --endian=little -j "$2" -N4 "$1" | tr -d ' '; }

write_bytes() {
  local file=$1 at=$2 escapes='' byte
  shift 2
  for byte in "$@"; do escapes+=$(printf '\\%03o' "$byte"); done
  # shellcheck disable=SC2059 # the format is the octal escapes built above
  printf "$escapes" | dd of="$file" bs=1 seek="$at" conv=notrunc status=none
}

write_u8() { write_bytes "$1" "$2" $(($3 & 255)); }
write_u32() { write_bytes "$1" "$2" $(($3 & 255)) $(($3 >> 8 & 255)) $(($3 >> 16 & 255)) $(($3 >> 24 & 255)); }
flip_byte() { write_u8 "$1" "$2" $(($(read_u8 "$1" "$2") ^ 0xFF)); }
file_size() { stat -c %s "$1"; }

# The driver takes its arguments and prints window texts in UTF-8, whatever Wine's code page, so
# scenarios compare UTF-8 text in any script and locale.
driver() { "$WINE_RUN" "$DRIVER_EXE" "$@" </dev/null; }

# Wine reaches the Linux file system through drive Z:.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# Starts a Windows program in the background, in this scenario's prefix.
start_program() {
  step "start $*"
  "$WINE_RUN" "$@" </dev/null >>"$E2E_OUT/program.log" 2>&1 &
  PROGRAM_PID=$!
}

# Reads a message box or window into NAME.txt and checks that it shows TEXT.
expect_dialog() {
  local name=$1 text=$2
  shift 2
  driver read-dialog --timeout 30 "$@" >"$E2E_OUT/$name.txt" || fail "no dialog ($*)"
  sed 's/^/   /' "$E2E_OUT/$name.txt"
  grep -qF -- "$text" "$E2E_OUT/$name.txt" || fail "the dialog does not show \"$text\""
  screenshot "$name"
}

# The dialog read as NAME.txt with read-dialog --focus had the focus on the control described.
dialog_focus() { grep -qF -- "focus: $2" "$E2E_OUT/$1.txt" || fail "$1 has the focus elsewhere than on $2"; }

# Waits for the started program to end and checks its exit status.
expect_exit() {
  local want=$1 limit=${2:-20} status=0 i
  for ((i = 0; i < limit * 10; i++)); do
    kill -0 "$PROGRAM_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$PROGRAM_PID" 2>/dev/null && fail "the program still runs ${limit} s later"
  wait "$PROGRAM_PID" || status=$?
  [[ $status == "$want" ]] || fail "exit status $status, expected $want"
  step "exit status $status"
}

# The fixture's wizard opens on its Welcome page naming the version; closing it asks first,
# and Yes ends the setup with status 0.
expect_wizard_and_close() {
  local version=$1 title="Fixture Setup"
  driver wait-window --title "$title" --timeout 30 >/dev/null || fail "no wizard window \"$title\""
  driver wait-text --title "$title" --text "Fixture $version" --timeout 20 >/dev/null ||
    fail "the Welcome page does not name Fixture $version"
  screenshot welcome
  driver close --title "$title" >/dev/null || fail "cannot close the wizard"
  expect_dialog close-question "Are you sure you want to cancel Fixture Setup?" --title Confirm
  driver click --title Confirm --button Yes >/dev/null || fail "cannot answer the close question"
  expect_exit 0
}

# Sets the screen of this scenario's prefix to DPI dots per inch; programs started from then on
# lay themselves out for it.
set_screen_dpi() {
  local key
  step "screen at $1 DPI"
  for key in 'HKCU\Control Panel\Desktop' 'HKCU\Software\Wine\Fonts'; do
    "$WINE_RUN" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null ||
      fail "cannot set LogPixels in $key"
  done
}

# The share (0 to 1) of pixels near COLOUR in the top left quarter of the window in the screenshot
# SHOT, where that window is the only thing on Wine's desktop: the corner of the side picture.
corner_share() {
  local shot=$1 colour=$2 width height left top
  read -r width height left top <<<"$(convert "$shot" -trim -format '%w %h %X %Y' info:)"
  convert "$shot" -crop "$((width / 4))x$((height / 4))+${left#+}+${top#+}" +repage -fuzz 25% \
    -fill black +opaque "$colour" -fill white -opaque "$colour" -format '%[fx:mean]' info:
}

# --- Walking a wizard window titled $TITLE page by page --------------------------------------
# wizard_page NAME HEADING waits for the page that shows HEADING, saves its texts and the control
# with the focus to NN-NAME.txt and a screenshot NN-NAME.png; page_has, page_lacks and page_focus
# then look at that page.
PAGE_NUMBER=0
PAGE_FILE=
# shellcheck disable=SC2153 # TITLE is the scenario's
wizard_page() {
  local name=$1 heading=$2
  PAGE_NUMBER=$((PAGE_NUMBER + 1))
  PAGE_FILE=$(printf '%02d-%s' "$PAGE_NUMBER" "$name")
  driver wait-text --title "$TITLE" --text "$heading" --timeout 30 >/dev/null || fail "no page \"$heading\""
  sleep 0.3
  driver read-dialog --title "$TITLE" --focus >"$E2E_OUT/$PAGE_FILE.txt" || fail "cannot read the $name page"
  sed 's/^/   /' "$E2E_OUT/$PAGE_FILE.txt"
  screenshot "$PAGE_FILE"
}
page_has() { grep -qF -- "$1" "$E2E_OUT/$PAGE_FILE.txt" || fail "$PAGE_FILE does not show \"$1\""; }
page_lacks() { ! grep -qF -- "$1" "$E2E_OUT/$PAGE_FILE.txt" || fail "$PAGE_FILE shows \"$1\""; }
page_focus() { dialog_focus "$PAGE_FILE" "$1"; }
press_button() { driver click --title "$TITLE" --button "$1" >/dev/null || fail "cannot press $1"; }
type_text() { driver type --title "$TITLE" --text "$@" >/dev/null || fail "cannot type \"$1\""; }

wait_page() { driver wait-text --title "$TITLE" --text "$1" --timeout 30 >/dev/null || fail "no page \"$1\""; }

# Walks the fixture's wizard from Welcome to the page with the Install button, installing into
# FOLDER; the caller presses Install.
walk_to_install() {
  local folder=$1 _
  driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
  wait_page "Welcome to Fixture Setup"
  press_button "Next >"
  wait_page "License Agreement"
  press_button "Yes"
  wait_page "Destination Folder"
  driver type --title "$TITLE" --text "$folder" >/dev/null || fail "cannot type the destination"
  # Pages after this one, if the product has any, lead to the Install button.
  for _ in $(seq 10); do
    driver read-dialog --title "$TITLE" >"$E2E_OUT/page.txt" || fail "cannot read the wizard"
    grep -qF "button: Install" "$E2E_OUT/page.txt" && break
    press_button "Next >"
    sleep 0.5
  done
}

# The fixture's installation into the Unix folder FOLDER reaches its completion page; Finish
# ends it with status 0, and the files are the product's, with the uninstaller beside them.
finish_fixture_install() {
  local folder=$1 file
  wait_page "Installation Completed"
  screenshot completed
  press_button "Finish"
  expect_exit 0
  for file in Readme.txt Numbers.dat; do
    cmp -s "$folder/$file" "$E2E_OUT/product/Program/$file" || fail "$file is not the product's"
  done
  [[ -f $folder/Uninst.exe ]] || fail "no uninstaller"
}

# Runs SETUP (a path in the scenario's folder) through the wizard into FOLDER, saves the
# completion page as NAME-ready and finishes.
install_into() {
  start_program "$1"
  walk_to_install "$2"
  press_button "Install"
  wizard_page "$3-ready" "Installation Completed"
  press_button "Finish"
  expect_exit 0
}

# Answers the message box captioned CAPTION with BUTTON and waits until it is gone.
answer() {
  driver click --title "$1" --button "$2" >/dev/null || fail "cannot press $2 in \"$1\""
  driver wait-gone --title "$1" >/dev/null || fail "\"$1\" stays after $2"
}

# Runs the uninstaller at the Linux path UNINSTALLER for PRODUCT (as its question names it),
# answers Yes (or the caption YES of that button where Windows speaks another language, and OK
# the caption of OK), and expects a clean report and the uninstaller's folder gone.
uninstall_cleanly() {
  local uninstaller=$1 product=$2 yes=${3:-Yes} ok=${4:-OK}
  start_program "$uninstaller"
  expect_dialog confirm "Are you sure you want to completely remove $product" --title Confirm
  answer Confirm "$yes"
  expect_dialog report "Uninstallation successfully completed." --title Information
  ! grep -qF 'Some items could not be removed' "$E2E_OUT/report.txt" || fail "a clean uninstall reports leftovers"
  answer Information "$ok"
  expect_exit 0
  wait_removed "$(dirname "$uninstaller")"
}

# --- The prefix's registry and files ----------------------------------------------------------
# The data of one value as "reg query" prints it, or nothing when key or value is missing; extra
# arguments such as /reg:64 pick the registry view.
reg_value() {
  local key=$1 name=$2
  shift 2
  "$WINE_RUN" reg query "$key" /v "$name" "$@" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$name *REG_[A-Z_]* *//p" || true
}
reg_exists() { "$WINE_RUN" reg query "$@" </dev/null >/dev/null 2>&1; }
# A key and its values as "reg export" writes them, in UTF-8 and without CRs; nothing when the
# key is missing. Lossless where reg query prints in the OEM code page; extra arguments such as
# /reg:32 pick the view.
reg_export() {
  local key=$1 file=$E2E_OUT/export.reg
  shift
  rm -f "$file"
  "$WINE_RUN" reg export "$key" "$(windows_path "$file")" "$@" /y </dev/null >/dev/null 2>&1 || return 0
  iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r'
}
expect_value() {
  local want=$1 got
  shift
  got=$(reg_value "$@")
  [[ $got == "$want" ]] || fail "$* is \"$got\", expected \"$want\""
}
expect_files() { local f; for f in "$@"; do [[ -f $f ]] || fail "${f#"$PLUGSETUP_WINEPREFIX"/} is missing"; done; }
expect_absent() { local f; for f in "$@"; do [[ ! -e $f ]] || fail "${f#"$PLUGSETUP_WINEPREFIX"/} is still there"; done; }

# Waits until PATH is gone: Uninst.exe leaves its last folders to a batch file after it ends.
wait_removed() {
  local _
  for _ in $(seq 60); do [[ -e $1 ]] || return 0; sleep 0.25; done
  fail "${1#"$PLUGSETUP_WINEPREFIX"/} is still there"
}

# --- Windows in other languages ---------------------------------------------------------------
# Wine takes its Windows locale, and with it the ANSI code page, from the Linux locale, which must
# exist: make_locale ja_JP makes ja_JP.UTF-8 into this scenario's folder (LOCPATH) from the
# sources of Debian's locales package (scripts/bootstrap).
make_locale() {
  export LOCPATH=$E2E_OUT/locale
  mkdir -p "$LOCPATH"
  [[ -f $LOCPATH/$1.UTF-8/LC_CTYPE ]] && return 0
  localedef -i "$1" -f UTF-8 "$LOCPATH/$1.UTF-8" 2>>"$E2E_OUT/localedef.txt" ||
    [[ -f $LOCPATH/$1.UTF-8/LC_CTYPE ]] || fail "cannot make the $1.UTF-8 locale"
}

# Wine finds no glyph of another script in the faces it has, unless the face is linked to a font
# that holds them, as Windows links its own: Tahoma (the dialog font) and Microsoft Sans Serif
# (whose links every face gets where the code page is Japanese, Chinese or Korean) get the CJK
# font scripts/bootstrap installs, in this prefix only.
link_cjk_font() {
  local face
  for face in Tahoma 'Microsoft Sans Serif'; do
    "$WINE_RUN" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f </dev/null >/dev/null || fail "cannot link a CJK font"
  done
}

# in_locale ja_JP: from here on Wine runs in ja_JP.UTF-8, in a prefix of that locale's own (fresh
# from the template the first time in this scenario, then reused); its processes end with the
# scenario. run-all's prefix is en_US's.
SCENARIO_PREFIX=$PLUGSETUP_WINEPREFIX
LOCALE_PREFIXES=()
end_locale_prefixes() {
  local prefix
  for prefix in "${LOCALE_PREFIXES[@]}"; do WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true; done
}
in_locale() {
  local prefix=$SCENARIO_PREFIX
  [[ $1 == en_US ]] || prefix=$SCENARIO_PREFIX.$1
  step "Windows in $1"
  make_locale "$1"
  export LC_ALL=$1.UTF-8 PLUGSETUP_WINEPREFIX=$prefix
  [[ " ${LOCALE_PREFIXES[*]} " == *" $prefix "* ]] && return 0
  if [[ $prefix != "$SCENARIO_PREFIX" ]]; then
    rm -rf "$prefix"
    "$E2E_ROOT/scripts/wine-prefix-copy" "$E2E_ROOT/build/wine/template" "$prefix"
  fi
  LOCALE_PREFIXES+=("$prefix")
  trap end_locale_prefixes EXIT
  link_cjk_font
}

# --- The keyboard and the mouse, as a person uses them ---------------------------------------
# Through the X server's test extension (xdotool), so the wizard's own message loop gets them as
# from a real keyboard and mouse, in Wine's desktop window: the window with the focus there takes
# the keys. Key names are xdotool's: Return, Escape, Tab, shift+Tab, alt+n, space, Down, alt+F4.
press_key() {
  step "keys: $*"
  xdotool key --delay 150 "$@" || fail "cannot press $*"
}
# Types TEXT into the control with the focus, key by key.
type_keys() {
  step "types: $1"
  xdotool type --delay 60 -- "$1" || fail "cannot type \"$1\""
}

# Waits until the control with the keyboard focus in the window captioned CAPTION (the wizard by
# default, or one of its message boxes) is the one described ("button: Next >", "edit: C:\Folder";
# a check box is a button too).
expect_focus() {
  local want=$1 caption=${2:-$TITLE} got
  got=$(driver focus --title "$caption" --text "$want" --timeout 10 2>&1) || fail "$got"
  printf '   focus: %s\n' "$got"
}

# Clicks the screen at X Y with the left button: for the controls the driver cannot reach from
# another process, such as the check boxes of a list view.
x_click() {
  xdotool mousemove --sync "$1" "$2" click 1 || fail "cannot click at $1,$2"
}

# Keys go to the window that was last active in Wine's desktop; a click on the caption of the
# window captioned CAPTION makes it that window, as a person would click it first.
activate_window() {
  local caption=$1 left top width
  read -r left top width _ <<<"$(driver rect --title "$caption")" || fail "no window \"$caption\" to activate"
  x_click $((left + width / 2)) $((top + 8))
}

# --- Code signing ------------------------------------------------------------------------------
# A throwaway certificate and key in this scenario's folder, and SIGN_COMMAND, the plugsetup
# build --sign command line that signs with them.
make_certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Plugsetup Tests" \
    -keyout "$E2E_OUT/key.pem" -out "$E2E_OUT/cert.pem" >"$E2E_OUT/openssl.log" 2>&1 ||
    fail "openssl cannot make a certificate"
  SIGN_COMMAND="osslsigncode sign -certs '$E2E_OUT/cert.pem' -key '$E2E_OUT/key.pem' -in {in} -out {out}"
}

# osslsigncode verifies FILE's signature against the scenario's certificate; NAME names its log.
expect_signed() {
  local name=$1 file=$2
  osslsigncode verify -CAfile "$E2E_OUT/cert.pem" -in "$file" >"$E2E_OUT/verify-$name.txt" 2>&1 ||
    { sed 's/^/   /' "$E2E_OUT/verify-$name.txt"; fail "osslsigncode does not verify ${file##*/} ($name)"; }
  step "osslsigncode verifies ${file##*/} ($name)"
}

# To osslsigncode (2.5 in Debian 12, 2.9 in its backports) FILE is a well-formed program without a
# signature: it finds none, complains about nothing in the headers, computes the checksum the
# file holds, and the file can be signed and then verifies.
expect_well_formed_unsigned() {
  local name=$1 file=$2 log=$E2E_OUT/verify-$1.txt sums
  osslsigncode verify -in "$file" >"$log" 2>&1 || true
  sed 's/^/   /' "$log"
  grep -q 'No signature found' "$log" || fail "osslsigncode finds a signature in ${file##*/} ($name)"
  ! grep -qiE 'warning|mismatch|corrupt' "$log" || fail "osslsigncode complains about ${file##*/} ($name)"
  sums=$(grep -i 'checksum' "$log" | grep -oE '[0-9A-F]{8}' | sort -u | wc -l)
  ((sums == 1)) || fail "${file##*/} holds another checksum than its bytes give ($name)"
  osslsigncode sign -certs "$E2E_OUT/cert.pem" -key "$E2E_OUT/key.pem" -in "$file" \
    -out "$E2E_OUT/$name-signed.exe" >"$E2E_OUT/sign-$name.txt" 2>&1 || fail "osslsigncode cannot sign ${file##*/} ($name)"
  ! grep -qi 'warning' "$E2E_OUT/sign-$name.txt" || fail "osslsigncode warns when signing ${file##*/} ($name)"
  expect_signed "$name-signed" "$E2E_OUT/$name-signed.exe"
}
