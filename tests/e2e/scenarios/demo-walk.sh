#!/usr/bin/env bash
# What ./run demo shows a newcomer without a display: the example's wizard walked to its
# completion page, the installed product, the uninstaller's question and report, and nothing of
# the product left afterwards, then the Welcome page in each language; every step numbered in
# index.html, and no error line on the way.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

demo=$E2E_OUT/demo
step "scripts/demo --walk"
if ! DEMO_OUT=$demo "$E2E_ROOT/scripts/demo" --walk >"$E2E_OUT/demo.log" 2>&1; then
  tail -n 30 "$E2E_OUT/demo.log"
  fail "the demo failed"
fi
cat "$E2E_OUT/demo.log"

step "what it showed"
shown() { grep -lF -- "$2" "$demo"/[0-9][0-9]-"$1".txt >/dev/null 2>&1 || fail "no $1 showing \"$2\""; }
shown page "Welcome to Gadget Setup"
shown page "Installation Completed"
shown installed 'Gadget.dll'
shown uninstall-question "Are you sure you want to completely remove Gadget 1.00"
shown uninstall-report "Uninstallation successfully completed."
shown welcome-de "Willkommen beim Setup von Gadget"
shown welcome-ja "Gadget セットアップへようこそ"
left=$(ls "$demo"/[0-9][0-9]-left.txt)
# Files, the Uninstall key and the shortcuts gone; of the registry only the empty product key.
[[ $(grep -c '^  (none)$' "$left") == 3 ]] || fail "the product is not gone: $(cat "$left")"
[[ $(grep -c '^  HKEY' "$left") == 1 ]] || fail "more than the product key stays: $(cat "$left")"
# In order: the completion page before the uninstaller's report before the last listing.
order=$(ls "$demo"/[0-9][0-9]-*.txt | sed 's/.*[0-9][0-9]-//; s/\.txt$//' | tr '\n' ' ')
[[ $order == *"copying page installed uninstall-question uninstall-report left "* ]] ||
  fail "the steps come in another order: $order"
for png in "$demo"/[0-9][0-9]-*.png; do
  grep -qF "src=\"$(basename "$png")\"" "$demo/index.html" || fail "index.html does not show $(basename "$png")"
done
# Page texts are indented; anything else that speaks of an error is one.
! grep -v '^  ' "$E2E_OUT/demo.log" | grep -iE 'error|fail|warning|driver:|fixme|err:' ||
  fail "the demo's output holds an error line"
