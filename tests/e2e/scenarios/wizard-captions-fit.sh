#!/usr/bin/env bash
# Every caption of the wizard fits its control, in every built-in language on screens of 96 and
# 144 DPI: the preview with every optional page walks each language's pages (Chinese, Japanese
# and Korean on a Windows of their own locale) and the driver measures each shown caption in the
# window's font against its control. A caption with less than an eighth to spare (what Windows'
# own, wider fonts may take; Wine has none of them) is listed as tight. The pages in German and
# Japanese at both DPIs stay as screenshots (LANG-DPI-NN.png), the measures in LANG-DPI.txt.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

PREVIEW=${WIZARD_PREVIEW:-$E2E_ROOT/build/win32/bin/wizard_preview.exe}
[[ -f $PREVIEW ]] || fail "$PREVIEW is missing: the win32 build has no wizard"
GADGET=$E2E_ROOT/examples/gadget
cuts=()

# walk LANGUAGE DPI: the preview in LANGUAGE from Welcome to Finish; the driver's lines go to
# LANGUAGE-DPI.txt.
walk() {
  local code=$1 dpi=$2 log=$E2E_OUT/$1-$2.txt shots=() shot
  [[ $code == de || $code == ja ]] && shots=(--shots "$(windows_path "$E2E_OUT/$code-$dpi")") && mkdir -p "$E2E_OUT/$code-$dpi"
  start_program "$PREVIEW" "$(windows_path "$GADGET/Setup.ini")" "$(windows_path "$GADGET/Setup.lic")" \
    "$(windows_path "$GADGET")" --all-pages --quick-copy --language "$code"
  driver walk --class PlugSetupMainWindow --timeout 60 "${shots[@]}" 2>&1 | tr -d '\r' >"$log" ||
    cuts+=("$code at $dpi DPI")
  # The walk ends when Finish has closed the window; a page it could not leave ends it early.
  ! grep '^driver:' "$log" || fail "the $code walk at $dpi DPI did not reach the end"
  expect_exit 0
  grep -E '^(CUT|tight)' "$log" | sed "s/^/   $code $dpi: /" || true
  for shot in "$E2E_OUT/$code-$dpi"/*.bmp; do
    [[ -f $shot ]] || continue
    convert "$shot" "$E2E_OUT/$code-$dpi-$(basename "$shot" .bmp).png" && rm "$shot"
  done
  [[ ! -d $E2E_OUT/$code-$dpi ]] || rmdir "$E2E_OUT/$code-$dpi"
}

# walk_in LOCALE LANGUAGE...: the languages on a Windows of LOCALE, at both DPIs.
walk_in() {
  local locale=$1 dpi code
  shift
  in_locale "$locale"
  for dpi in 96 144; do
    set_screen_dpi "$dpi"
    for code in "$@"; do walk "$code" "$dpi"; done
  done
}

walk_in en_US en de fr es it pt-BR nl ru
walk_in ja_JP ja
walk_in zh_CN zh-CN
walk_in ko_KR ko
((${#cuts[@]} == 0)) || fail "captions that do not fit: ${cuts[*]}"
