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

driver() { "$WINE_RUN" "$DRIVER_EXE" "$@" </dev/null; }

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
