#!/usr/bin/env bash
# A setup started from a Downloads folder where someone left DLLs named like the dependencies of
# the product's call libraries: one that the product ships beside its library, and one that it
# forgot. Each library is loaded by its full path and finds what lies beside it; neither DLL
# beside the setup is ever loaded (each would leave a marker file), and the library whose
# dependency is missing is skipped.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

STUB=${FAULT_STUB:-$STUB}
TITLE="Fixture Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
folder="$drive_c/Planted Test"
downloads=$E2E_OUT/Downloads
faults=$E2E_ROOT/tests/e2e/faults
cc() { i686-w64-mingw32-gcc -O2 -Wall -Wextra -Werror -s -shared "$@" || fail "cannot build $*"; }

step "a product whose libraries need DLLs beside them"
make_fixture "$E2E_OUT/product"
# shellcheck disable=SC2016 # $ProgramFolder is the setup's variable
printf '\r\n[CallLibraries]\r\nRegister=$ProgramFolder\\Register.dll\r\nRegister=$ProgramFolder\\Optional.dll\r\n' \
  >>"$E2E_OUT/product/Setup.ini"
mkdir -p "$downloads" "$E2E_OUT/lib"
cc -o "$E2E_OUT/product/Program/Helper.dll" "$faults/call-library-helper.c" -Wl,--out-implib,"$E2E_OUT/lib/libhelper.a"
cc -Wl,--kill-at -o "$E2E_OUT/product/Program/Register.dll" "$faults/call-library.c" -L"$E2E_OUT/lib" -lhelper
cc -o "$E2E_OUT/lib/Extra.dll" "$faults/planted-dll.c" -Wl,--out-implib,"$E2E_OUT/lib/libextra.a"
cc -Wl,--kill-at -o "$E2E_OUT/product/Program/Optional.dll" "$faults/call-library.c" -L"$E2E_OUT/lib" -lextra
"$PLUGSETUP" build --version 1.0.0 --stub "$STUB" -o "$downloads/Setup.exe" "$E2E_OUT/product"

step "DLLs planted beside the setup"
cc -o "$downloads/Helper.dll" "$faults/planted-dll.c"
cp "$E2E_OUT/lib/Extra.dll" "$downloads/Extra.dll"

step "install, started from its folder as a double click does"
cd "$downloads"
start_program "$downloads/Setup.exe"
walk_to_install 'C:\Planted Test'
press_button "Install"
wait_page "Installation Completed"
screenshot completed
press_button "Finish"
expect_exit 0

step "what was loaded"
for planted in Helper Extra; do
  [[ ! -e $downloads/$planted.dll.loaded ]] || fail "the $planted.dll planted beside the setup was loaded"
done
[[ -f $folder/Register.dll ]] || fail "the library was not installed"
[[ -e $drive_c/call-library-ran ]] || fail "the library's export did not run with its own dependency"
