#!/usr/bin/env bash
# Setup.exe is one self-contained file: it imports nothing but Windows' own libraries, so it
# starts on a bare Windows and no DLL placed beside it (zlib1.dll, libstdc++...) is ever loaded.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

imports=$(i686-w64-mingw32-objdump -p "$STUB" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
printf '%s\n' "$imports" | sed 's/^/   /'
[[ -n $imports ]] || fail "no import table found in $STUB"
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|msvcrt|shlwapi|uuid|version|uxtheme)\.dll$'
while IFS= read -r dll; do
  [[ $dll =~ $allowed ]] || fail "Setup.exe imports $dll, which is not part of Windows"
done <<<"$imports"
