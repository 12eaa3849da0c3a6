#include "wizard/win32/CaptionExtent.h"

#include <algorithm>

#include "system/win32/Win32Text.h"

namespace {

// At 96 DPI, scaled with the screen: a push button's 3-D edge, focus frame and the pixel
// between them on each side; a check box's box and the gap before its text; the focus frame
// drawn around a check box's text.
constexpr int kButtonSide = 4;
constexpr int kCheckBoxLead = 13 + 4;
constexpr int kFocusFrame = 1;

bool IsStatic(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Static") == 0;
}

}  // namespace

HFONT CreateWizardFont(const UiFontChoice& choice, int dpi, bool bold) {
    return CreateFontW(UiFontHeight(choice, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, Wide(choice.name).c_str());
}

SIZE CaptionExtent(HWND control, HFONT font, const std::wstring& text, int dpi, bool margin, int wrapWidth) {
    RECT client{};
    GetClientRect(control, &client);
    if (wrapWidth > 0) client.right = wrapWidth;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool isStatic = IsStatic(control);
    // As the static control draws: SS_LEFT wraps at its width, SS_LEFTNOWORDWRAP clips.
    const bool wraps = isStatic && (style & SS_TYPEMASK) == SS_LEFT;
    UINT format = DT_CALCRECT | DT_LEFT | DT_EXPANDTABS;
    if (isStatic && (style & SS_NOPREFIX)) format |= DT_NOPREFIX;
    if (wraps) format |= DT_WORDBREAK;
    if (!isStatic) format |= DT_SINGLELINE;
    RECT extent{0, 0, wraps ? (margin ? client.right * 8 / 9 : client.right) : 0, 0};
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        HGDIOBJ previous = SelectObject(dc, font);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent, format);
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    SIZE needs{margin ? (extent.right * 9 + 7) / 8 : extent.right, extent.bottom};
    if (isStatic) return needs;
    auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    const LONG type = style & BS_TYPEMASK;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        needs.cx += 2 * scaled(kButtonSide);
        needs.cy += 2 * scaled(kButtonSide - 1);
    } else {
        needs.cx += scaled(kCheckBoxLead) + 2 * scaled(kFocusFrame);
        needs.cy = std::max<LONG>(needs.cy + 2 * scaled(kFocusFrame), scaled(13));
    }
    return needs;
}
