#include "wizard/win32/FormMain.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "system/Exceptions.h"
#include "system/win32/Win32Text.h"
#include "texts/Texts.h"
#include "wizard/ControlRoom.h"
#include "wizard/SidePictureChoice.h"
#include "wizard/win32/CaptionExtent.h"

namespace {

constexpr wchar_t kWindowClass[] = L"PlugSetupMainWindow";
constexpr wchar_t kContainerClass[] = L"PlugSetupWizardPage";
constexpr wchar_t kPictureClass[] = L"PlugSetupWizardPicture";
constexpr int kCheckBoxLine = 305;  // the page's text width
// Design pixels: what a grown control keeps free at its parent's edges and from its neighbours.
constexpr int kRoomMargin = 8;
constexpr int kRoomGap = 4;
// While the installation runs, the window serves its messages at least this often (ms).
constexpr DWORD kServeInterval = 50;
// Each status text of the copy page stays this long (ms), readable.
constexpr DWORD kStatusHold = 500;

// Vista's calls, looked up so that the setup still starts on XP.
using ShutdownBlockCreate = BOOL(WINAPI*)(HWND, LPCWSTR);
using ShutdownBlockDestroy = BOOL(WINAPI*)(HWND);
template <class Function>
Function User32Export(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

FormMain* FormOf(HWND wnd) {
    HWND root = GetAncestor(wnd, GA_ROOT);
    return reinterpret_cast<FormMain*>(GetWindowLongPtrW(root ? root : wnd, GWLP_USERDATA));
}

// The window's text as UTF-8, the model's own text.
std::string WindowText(HWND wnd) {
    int length = GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(wnd, text.data(), length + 1);
    return Utf8(text.data(), static_cast<std::size_t>(std::max(copied, 0)));
}

void SetText(HWND wnd, const std::string& utf8) {
    SetWindowTextW(wnd, Wide(utf8).c_str());
}

// Edit controls break lines only at CR LF.
std::string WithCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

void RegisterClasses(HINSTANCE instance, WNDPROC main, WNDPROC container, WNDPROC picture) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = main;
    wc.lpszClassName = kWindowClass;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassExW(&wc);
    wc.hIcon = nullptr;
    wc.lpfnWndProc = container;
    wc.lpszClassName = kContainerClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = picture;
    wc.lpszClassName = kPictureClass;
    RegisterClassExW(&wc);
}

}  // namespace

FormMain::FormMain(HINSTANCE instance, Platform& platform, IWizardEngine& engine)
    : instance_(instance), platform_(platform), scale_(platform), model_(engine, platform, *this) {}

FormMain::~FormMain() {
    platform_.SetDialogOwner(0);
    // The controls go before the fonts they use.
    if (window_) DestroyWindow(window_);
}

bool FormMain::Create(const PictureLookup& pictures, bool shown) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&common);
    RegisterClasses(instance_, WindowProc, ContainerProc, PictureProc);
    model_.Prepare();
    // A picture that cannot be shown stops the window before it opens, under the setup's title.
    try {
        LoadSidePicture(picture_, platform_.ScreenDpi(), pictures);
    } catch (const std::exception& error) {
        platform_.ErrorBox(model_.WindowCaption(), WizardModel::ErrorBoxText(error.what()));
        return false;
    }

    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, S(kClientWidth), S(kClientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, Wide(model_.WindowCaption()).c_str(), style,
                              left, top, width, height, nullptr, nullptr, instance_, this);
    if (!window_) throw Exception("Cannot create the setup window");
    // Every box from here on stays above the wizard, also when another program was active.
    platform_.SetDialogOwner(Owner());
    CreateControls();
    ApplyFonts();
    Sync();
    if (!shown) return true;
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    return true;
}

HWND FormMain::ParentOf(int page) const {
    if (page == kOnForm) return window_;
    if (page == kInPanel) return controls_[Index(ControlId::Panel)];
    return pages_[static_cast<std::size_t>(page)];
}

void FormMain::CreateControls() {
    controls_[Index(ControlId::Panel)] = CreateControl(ControlId::Panel, window_);
    controls_[Index(ControlId::Notebook)] = CreateControl(ControlId::Notebook, window_);
    HWND notebook = controls_[Index(ControlId::Notebook)];
    RECT area;
    GetClientRect(notebook, &area);
    for (int page = 0; page < kPageCount; ++page)
        pages_[static_cast<std::size_t>(page)] =
            CreateWindowExW(WS_EX_CONTROLPARENT, kContainerClass, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0,
                            area.right, area.bottom, notebook, nullptr, instance_, nullptr);

    const ControlDef& panel = Control(ControlId::Panel);
    const ControlDef& image = Control(ControlId::Image);
    int pictureLeft = CentredPictureOffset(S(panel.width), S(image.width));
    int pictureTop = CentredPictureOffset(S(panel.height), S(image.height));
    pictureRect_ = {pictureLeft, pictureTop, pictureLeft + S(image.width), pictureTop + S(image.height)};

    std::vector<ControlId> order;
    for (std::size_t i = 0; i < kControlCount; ++i) {
        ControlId id = static_cast<ControlId>(i);
        if (id != ControlId::Panel && id != ControlId::Notebook && id != ControlId::Image)
            order.push_back(id);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](ControlId a, ControlId b) { return KeyboardRank(a) < KeyboardRank(b); });
    // Created in keyboard order, so that the window's children list as Tab visits them: the
    // pages, Back, Next, Cancel, then the picture frame.
    for (ControlId id : order) controls_[Index(id)] = CreateControl(id, ParentOf(model_.State(id).page));
    SetWindowPos(controls_[Index(ControlId::Panel)], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    HWND list = controls_[Index(ControlId::BundleList)];
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT listArea;
    GetClientRect(list, &listArea);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = listArea.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    // Inserted entries start unchecked; that is no choice of the user's to pass on.
    syncing_ = true;
    const auto& entries = model_.BundleEntries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::wstring name = Wide(entries[i].name);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = name.data();
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    // Space ticks the entry with the focus: the first one has it from the start.
    if (!entries.empty())
        ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    syncing_ = false;
    SendMessageW(controls_[Index(ControlId::CopyProgressBar)], PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

HWND FormMain::CreateControl(ControlId id, HWND parent) {
    const ControlDef& def = Control(id);
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    switch (def.kind) {
        case ControlKind::Panel:
            cls = kPictureClass;
            exStyle = WS_EX_CLIENTEDGE;
            style |= WS_VISIBLE;
            break;
        case ControlKind::Notebook:
            cls = kContainerClass;
            exStyle = WS_EX_CONTROLPARENT;
            style |= WS_VISIBLE | WS_TABSTOP;
            break;
        case ControlKind::Label:
            style |= (def.flags & kWrap) ? SS_LEFT : SS_LEFTNOWORDWRAP;
            // "Drums & Bass" stays as written where the caption carries no mnemonic.
            if (!ShowsMnemonic(id)) style |= SS_NOPREFIX;
            break;
        case ControlKind::Button:
            cls = L"BUTTON";
            style |= WS_TABSTOP | ((def.flags & kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::CheckBox:
            cls = L"BUTTON";
            style |= WS_TABSTOP | BS_AUTOCHECKBOX;
            break;
        case ControlKind::Edit:
            cls = L"EDIT";
            exStyle = WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP | ES_AUTOHSCROLL;
            break;
        case ControlKind::Memo:
            // Read-only, so Enter goes to the default button and the background is the button face.
            cls = L"EDIT";
            exStyle = WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY;
            break;
        case ControlKind::CheckList:
            cls = WC_LISTVIEWW;
            exStyle = WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
            break;
        case ControlKind::ProgressBar:
            cls = PROGRESS_CLASSW;
            break;
        case ControlKind::Image:
            return nullptr;
    }
    Box box = DesignBox(id);
    return CreateWindowExW(exStyle, cls, L"", style, box.left, box.top, box.Width(), box.Height(), parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(CommandId(id))), instance_, nullptr);
}

// The control's place as the table and the model have it, scaled.
Box FormMain::DesignBox(ControlId id) {
    const ControlDef& def = Control(id);
    const ControlState& state = model_.State(id);
    // Check boxes have nothing to their right; the full line keeps a wider substitute font
    // from clipping their captions.
    int width = def.kind == ControlKind::CheckBox ? std::max(def.width, kCheckBoxLine) : def.width;
    int left = S(state.left), top = S(state.top);
    return {left, top, left + S(width), top + S(state.height)};
}

// A shown caption that does not fit its control in the window's font (a longer language, a
// wider font) grows the control where its parent has room (ControlRoom.h), with room for a font
// an eighth wider where there is that much; one that fits leaves the control where the table
// puts it. Run after every change of captions or of what is shown, so a control grown for one
// caption shrinks back for a shorter one.
void FormMain::FitCaption(ControlId id) {
    HWND wnd = controls_[Index(id)];
    const ControlDef& def = Control(id);
    const ControlState& state = model_.State(id);
    if (!wnd || (def.kind != ControlKind::Label && def.kind != ControlKind::Button &&
                 def.kind != ControlKind::CheckBox))
        return;
    Box fitted = DesignBox(id);
    HFONT font = (def.flags & kBold) ? boldFont_.Get() : font_.Get();
    std::wstring caption = Wide(WindowText(wnd));
    SIZE needs = CaptionExtent(wnd, font, caption, dpi_, false, fitted.Width());
    if (state.visible && (needs.cx > fitted.Width() || needs.cy > fitted.Height())) {
        needs = CaptionExtent(wnd, font, caption, dpi_, true, fitted.Width());
        std::vector<Box> others;
        for (std::size_t i = 0; i < kControlCount; ++i) {
            const ControlState& other = model_.State(static_cast<ControlId>(i));
            if (i != Index(id) && controls_[i] && other.page == state.page && other.visible)
                others.push_back(PlaceOf(controls_[i]));
        }
        RECT client;
        GetClientRect(GetParent(wnd), &client);
        int margin = S(kRoomMargin);
        Box area{margin, margin, client.right - margin, client.bottom - margin};
        Growth growth = GrowthOf(def.kind, def.flags);
        Box grown = GrowToFit(fitted, needs.cx, needs.cy, growth, others, area, S(kRoomGap));
        // A wrapping label without the room below it takes the room to its right and wraps there.
        if (growth == Growth::Down && grown.Height() < needs.cy) {
            fitted.right = GrowToFit(fitted, area.Width(), 0, Growth::Right, others, area, S(kRoomGap)).right;
            needs = CaptionExtent(wnd, font, caption, dpi_, true, fitted.Width());
            grown = GrowToFit(fitted, needs.cx, needs.cy, growth, others, area, S(kRoomGap));
        }
        fitted = grown;
    }
    if (PlaceOf(wnd) != fitted)
        SetWindowPos(wnd, nullptr, fitted.left, fitted.top, fitted.Width(), fitted.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

// Where a control lies in its parent.
Box FormMain::PlaceOf(HWND wnd) {
    RECT rect;
    GetWindowRect(wnd, &rect);
    MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void FormMain::ApplyFonts() {
    UiFontChoice choice = ChooseUiFont(platform_);
    dpi_ = platform_.ScreenDpi();
    font_.Reset(CreateWizardFont(choice, dpi_, false));
    boldFont_.Reset(CreateWizardFont(choice, dpi_, true));
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (!controls_[i]) continue;
        bool bold = (Control(static_cast<ControlId>(i)).flags & kBold) != 0;
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(bold ? boldFont_.Get() : font_.Get()),
                     FALSE);
    }
}

void FormMain::Sync() {
    if (!window_ || ended_) return;
    if (blockingShutdown_ && model_.AcceptsInput()) {
        if (auto destroy = User32Export<ShutdownBlockDestroy>("ShutdownBlockReasonDestroy")) destroy(window_);
        blockingShutdown_ = false;
    }
    syncing_ = true;
    if (WindowText(window_) != model_.WindowCaption())
        SetText(window_, model_.WindowCaption());
    for (int page = 0; page < kPageCount; ++page)
        ShowWindow(pages_[static_cast<std::size_t>(page)], page == model_.Page() ? SW_SHOWNA : SW_HIDE);
    for (std::size_t i = 0; i < kControlCount; ++i) {
        HWND wnd = controls_[i];
        ControlId id = static_cast<ControlId>(i);
        const ControlDef& def = Control(id);
        const ControlState& state = model_.State(id);
        if (!wnd || def.kind == ControlKind::Panel || def.kind == ControlKind::Notebook) continue;
        std::string text;
        switch (def.kind) {
            case ControlKind::Edit:
                text = state.text;
                break;
            case ControlKind::Memo:
                text = WithCrLf(state.text);
                break;
            case ControlKind::CheckList:
            case ControlKind::ProgressBar:
                break;
            default:
                text = state.caption;
                break;
        }
        if (def.kind != ControlKind::CheckList && def.kind != ControlKind::ProgressBar &&
            WindowText(wnd) != text)
            SetText(wnd, text);
        if (def.kind == ControlKind::CheckBox) {
            bool checked = SendMessageW(wnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (checked != state.checked)
                SendMessageW(wnd, BM_SETCHECK, state.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (def.kind == ControlKind::ProgressBar)
            SendMessageW(wnd, PBM_SETPOS, static_cast<WPARAM>(state.position), 0);
        if (def.kind == ControlKind::CheckList) {
            const auto& entries = model_.BundleEntries();
            for (std::size_t item = 0; item < entries.size(); ++item)
                if ((ListView_GetCheckState(wnd, static_cast<UINT>(item)) != 0) != entries[item].checked)
                    ListView_SetCheckState(wnd, static_cast<UINT>(item), entries[item].checked);
        }
        if ((IsWindowEnabled(wnd) != FALSE) != state.enabled) EnableWindow(wnd, state.enabled);
        bool shown = (GetWindowLongW(wnd, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != state.visible) ShowWindow(wnd, state.visible ? SW_SHOWNA : SW_HIDE);
    }
    for (std::size_t i = 0; i < kControlCount; ++i) FitCaption(static_cast<ControlId>(i));
    const HWND focusBefore = GetFocus();
    if (model_.FocusRequests() != appliedFocusRequests_ && model_.Focus() != ControlId::None) {
        HWND target = controls_[Index(model_.Focus())];
        if (target) SetFocus(target);
        // As in any dialog: a field reached by the keyboard or a refusal has its text selected,
        // so typing replaces it.
        if (target && Control(model_.Focus()).kind == ControlKind::Edit)
            SendMessageW(target, EM_SETSEL, 0, -1);
    }
    appliedFocusRequests_ = model_.FocusRequests();
    // A new page is announced on the control with the focus: a screen reader then reads that
    // control and the page's heading. A focus that moved was announced by SetFocus; one that
    // stayed (on Next) is announced here, once.
    if (model_.Page() != announcedPage_) {
        announcedPage_ = model_.Page();
        if (HWND focused = GetFocus(); focused && focused == focusBefore && IsChild(window_, focused))
            NotifyWinEvent(EVENT_OBJECT_FOCUS, focused, OBJID_CLIENT, CHILDID_SELF);
    }
    syncing_ = false;
    NoticeFocus();
}

ControlId FormMain::IdOf(HWND wnd) const {
    if (!wnd) return ControlId::None;
    ControlId id = FromCommandId(GetDlgCtrlID(wnd));
    return id != ControlId::None && controls_[Index(id)] == wnd ? id : ControlId::None;
}

// Focus moves that the model did not make (a click into a field) are reported to it, and the
// button that Enter presses is drawn as the default button.
void FormMain::NoticeFocus() {
    if (!window_ || ended_) return;
    if (ControlId id = IdOf(GetFocus()); id != ControlId::None) model_.FocusMoved(id);
    ControlId defaultButton = model_.DefaultButton();
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (!controls_[i] || Control(static_cast<ControlId>(i)).kind != ControlKind::Button) continue;
        LONG_PTR style = GetWindowLongPtrW(controls_[i], GWL_STYLE) & BS_TYPEMASK;
        LONG_PTR wanted = static_cast<ControlId>(i) == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (style != wanted) SendMessageW(controls_[i], BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
    }
}

// The window or a page got the focus (activation, a message box closing): it goes on to the
// control the model says has it.
void FormMain::GiveFocusBack() {
    ControlId id = model_.Focus();
    if (id != ControlId::None && controls_[Index(id)]) SetFocus(controls_[Index(id)]);
}

// Enter, Escape, Tab and the mnemonics belong to the model, whichever control has the focus;
// true when the message has been handled here.
bool FormMain::Key(const MSG& msg) {
    if (!window_ || ended_ || (msg.hwnd != window_ && !IsChild(window_, msg.hwnd))) return false;
    auto held = [](int key) { return (GetKeyState(key) & 0x8000) != 0; };
    // The model knows the focus already: it is told after every message the loop dispatches.
    if (msg.message == WM_KEYDOWN) {
        WizardKey key;
        if (msg.wParam == VK_RETURN)
            key = WizardKey::Enter;
        else if (msg.wParam == VK_ESCAPE)
            key = WizardKey::Escape;
        else if (msg.wParam == VK_TAB && !held(VK_CONTROL))
            key = held(VK_SHIFT) ? WizardKey::BackTab : WizardKey::Tab;
        else
            return false;
        model_.KeyPress(key);
    } else if (msg.message == WM_SYSCHAR || msg.message == WM_CHAR) {
        // A Unicode window's characters are UTF-16 units; every mnemonic letter is one of them.
        if (!model_.MnemonicKey(static_cast<char32_t>(msg.wParam), msg.message == WM_SYSCHAR)) return false;
    } else {
        return false;
    }
    Sync();
    return true;
}

void FormMain::Command(int commandId, int code, HWND control) {
    if (syncing_) return;
    NoticeFocus();
    ControlId id = FromCommandId(commandId);
    if (id == ControlId::None || !control) return;
    // Only what the model hears about is copied back: an edit's other notifications arrive
    // before its text is final, and copying then would undo the typing.
    switch (Control(id).kind) {
        case ControlKind::Edit:
            if (code != EN_CHANGE) return;
            model_.SetText(id, WindowText(control));
            break;
        case ControlKind::CheckBox:
            if (code != BN_CLICKED) return;
            model_.SetChecked(id, SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
            break;
        case ControlKind::Button:
            if (code != BN_CLICKED) return;
            model_.Click(id);
            break;
        default:
            return;
    }
    Sync();
}

void FormMain::Notify(const NMHDR& header) {
    if (syncing_ || FromCommandId(static_cast<int>(header.idFrom)) != ControlId::BundleList) return;
    if (header.code != LVN_ITEMCHANGED) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (!(change.uChanged & LVIF_STATE) || ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0)
        return;
    model_.SetBundleChecked(change.iItem,
                            ListView_GetCheckState(header.hwndFrom, static_cast<UINT>(change.iItem)) != 0);
}

LRESULT FormMain::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            Command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
            return 0;
        case WM_NOTIFY:
            Notify(*reinterpret_cast<const NMHDR*>(lparam));
            return 0;
        case WM_SETFOCUS:
            GiveFocusBack();
            return 0;
        case WM_CLOSE:
            if (model_.CloseQuery()) DestroyWindow(window_);
            return 0;
        case WM_QUERYENDSESSION:
            return QueryEndSession();
        case WM_DESTROY:
            window_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wparam, lparam);
    }
}

// Signing out, restarting or a Restart Manager's request to close (all of them this query)
// would stop the copy half done: refused, with a reason Windows shows, while the copy runs.
LRESULT FormMain::QueryEndSession() {
    if (model_.AcceptsInput()) return TRUE;
    if (!blockingShutdown_)
        if (auto create = User32Export<ShutdownBlockCreate>("ShutdownBlockReasonCreate"))
            blockingShutdown_ = create(window_, Wide(Text(TextId::ShutdownBlockedReason)).c_str()) != FALSE;
    return FALSE;
}

LRESULT FormMain::HandleGuarded(UINT message, WPARAM wparam, LPARAM lparam) {
    try {
        return Handle(message, wparam, lparam);
    } catch (...) {
        if (!pending_) pending_ = std::current_exception();
        return 0;
    }
}

void FormMain::RethrowPending() {
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

LRESULT CALLBACK FormMain::WindowProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<FormMain*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        form->window_ = wnd;
        SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<FormMain*>(GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (!form || form->window_ != wnd) return DefWindowProcW(wnd, message, wparam, lparam);
    return form->HandleGuarded(message, wparam, lparam);
}

// Pages and the notebook pass their controls' notifications up to the window, and the focus
// on to the model's control.
LRESULT CALLBACK FormMain::ContainerProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND || message == WM_NOTIFY || message == WM_SETFOCUS) {
        if (FormMain* form = FormOf(wnd); form && form->window_)
            return form->HandleGuarded(message, wparam, lparam);
    }
    return DefWindowProcW(wnd, message, wparam, lparam);
}

LRESULT CALLBACK FormMain::PictureProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(wnd, &paint);
        if (FormMain* form = FormOf(wnd)) form->picture_.Draw(dc, form->pictureRect_);
        EndPaint(wnd, &paint);
        return 0;
    }
    return DefWindowProcW(wnd, message, wparam, lparam);
}

WizardEnd FormMain::Run() {
    MSG msg;
    try {
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!Key(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            RethrowPending();
            NoticeFocus();
        }
    } catch (const std::exception& error) {
        // Shown while the window is still there: once it is gone, its WM_QUIT would close the
        // box before anyone saw it.
        platform_.ErrorBox(model_.WindowCaption(), WizardModel::ErrorBoxText(error.what()));
        ended_ = true;
    }
    return ended_ ? WizardEnd::Terminated : WizardEnd::Closed;
}

void FormMain::PaintNow() {
    Sync();
    if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    ServePendingMessages();
}

// The installation runs on this thread, so between its files the window serves what waits in
// its queue: painting, timers, the system's messages (a window that leaves them 5 s unread is
// marked "Not Responding", and closing it then would stop the copy half done). The user's
// keys and clicks are the model's to accept, and it refuses them all while the copy runs, so
// they are dropped before any control sees them; the close box and Alt+F4 reach CloseQuery's
// refusal. Moving and minimising the window stay the system's.
void FormMain::ServePendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                     (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
        if (input && !model_.AcceptsInput()) continue;
        if (Key(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        // A handler's error ends the run as the run's own errors do.
        RethrowPending();
    }
    lastServed_ = GetTickCount();
}

// Waits while serving the window's messages as they come.
void FormMain::HoldFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        ServePendingMessages();
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

void FormMain::DropPendingInput() {
    MSG msg;
    for (auto [first, last] : {std::pair<UINT, UINT>{WM_KEYFIRST, WM_KEYLAST},
                               {WM_MOUSEFIRST, WM_MOUSELAST},
                               {WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK}})
        while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
        }
}

void FormMain::RequestClose() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
}

void FormMain::Terminate() {
    ended_ = true;
    PostQuitMessage(0);
}

void FormMain::SetProgress(int position) {
    model_.SetProgress(position);
    HWND bar = controls_[Index(ControlId::CopyProgressBar)];
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(model_.State(ControlId::CopyProgressBar).position), 0);
    UpdateWindow(bar);
}

void FormMain::SetStatus(const std::string& text) {
    model_.SetStatus(text);
    HWND label = controls_[Index(ControlId::CopyStatusLabel)];
    SetText(label, text);
    FitCaption(ControlId::CopyStatusLabel);
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
    // Every status stays readable for a moment; the window answers meanwhile.
    HoldFor(kStatusHold);
}

void FormMain::StillWorking() {
    if (GetTickCount() - lastServed_ >= kServeInterval) ServePendingMessages();
}
