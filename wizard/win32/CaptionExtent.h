// The wizard's font, and what a caption needs of its control: the extent of its text in the
// control's font, measured as the control draws it, and what Windows draws around it. The
// window grows its controls by it; the end-to-end driver checks every shown caption of a running
// window by it, with the font made again from the same choice (a font handle means nothing in
// another process).
#pragma once

#include <windows.h>

#include <string>

#include "system/ShellUtils.h"

HFONT CreateWizardFont(const UiFontChoice& choice, int dpi, bool bold);

// The client size (pixels) the caption `text` of `control` needs in `font` on a screen of `dpi`:
// a wrapping static at its present width (or at `wrapWidth`), for its height; a single-line
// static as drawn; a push button with its edges and focus frame; a check box or radio button with
// its box, the gap before the text and the focus frame around it. The '&' of a mnemonic takes no
// room except in an SS_NOPREFIX static, and the "(&F)" of a Japanese caption is drawn as "(F)".
// With `margin`, the text is measured as if the font were an eighth wider (9 pt for 8 pt, about
// the width of Windows' own UI fonts against the substitutes Wine has): a wrapping static at an
// eighth less than its width. The window leaves that margin to a caption it grows where there is
// room; the end-to-end check calls a caption without it tight.
SIZE CaptionExtent(HWND control, HFONT font, const std::wstring& text, int dpi, bool margin = false,
                   int wrapWidth = 0);
