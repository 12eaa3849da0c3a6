#!/usr/bin/env bash
# The example's full install and uninstall again on a 144-DPI screen: the window grows by half
# and draws Setup@2x.jpg. The 2x picture here carries a red corner mark, so the screenshots tell
# which of the two pictures the window chose.
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

GADGET=$E2E_OUT/gadget
cp -r "$E2E_ROOT/examples/gadget" "$GADGET"
convert "$E2E_ROOT/examples/gadget/Setup@2x.jpg" -fill red -draw 'rectangle 0,0 59,59' "$GADGET/Setup@2x.jpg"

WIZARD_DPI=144
# shellcheck source=tests/e2e/scenarios/wizard-install-gadget.sh
source "$E2E_ROOT/tests/e2e/scenarios/wizard-install-gadget.sh"

step "the window at 144 DPI"
shot=$E2E_OUT/01-welcome.png
read -r width height left top <<<"$(convert "$shot" -trim -format '%w %h %X %Y' info:)"
left=${left#+} top=${top#+}
echo "   window ${width}x$height at $left,$top"
# 512 x 370 design pixels plus the frame, scaled by the font's growth (about 1.5).
((width >= 720 && width <= 840 && height >= 540 && height <= 660)) || fail "the window is not scaled: ${width}x$height"
red=$(corner_share "$shot" red)
echo "   share of red in the window's top left corner: $red"
awk -v r="$red" 'BEGIN { exit !(r > 0.03) }' || fail "the window did not draw Setup@2x.jpg"
