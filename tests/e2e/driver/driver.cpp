// Automation driver for the end-to-end tests: a separate Win32 process, started in the same Wine
// prefix as the program under test, that finds that program's windows by caption, reads their
// texts and answers them the way a user would. Every command prints what it found and exits 0,
// or prints why not and exits 1; usage errors exit 2. It takes its arguments and prints texts in
// UTF-8 and reads windows through the wide calls, so captions in any script come through on any
// system code page.
#include <windows.h>
// psapi.h and shellapi.h need the types of windows.h.
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "system/ShellUtils.h"
#include "system/win32/Win32Handles.h"
#include "system/win32/Win32Platform.h"
#include "system/win32/Win32Text.h"
#include "wizard/ControlTable.h"
#include "wizard/win32/CaptionExtent.h"

namespace {

struct Options {
    std::string title;
    bool titleContains = false;
    std::string className;
    std::string button;
    std::string text;
    std::string state;
    int index = 0;
    int controlId = -1;
    unsigned timeoutMs = 10000;
    std::string shots;
    bool hidden = false;
    bool focus = false;
};

[[noreturn]] void Usage(const char* why) {
    std::fprintf(stderr,
                 "driver: %s\n"
                 "usage: driver COMMAND [--title T | --title-contains T] [--class C] [--timeout SEC]\n"
                 "  list [--hidden]                       top-level windows: handle, class, caption\n"
                 "  wait-window                           wait until a matching window is shown\n"
                 "  wait-gone                             wait until no matching window is shown\n"
                 "  read-dialog [--focus]                 caption, static texts, edits and buttons, and\n"
                 "                                        which of them has the keyboard focus\n"
                 "  wait-text --text TEXT                 wait until a shown control's text contains TEXT\n"
                 "  controls                              every child control with id and state (a static\n"
                 "                                        text marked noprefix shows '&' as written)\n"
                 "  click --button CAPTION                press a button (or toggle a check box)\n"
                 "  check --button CAPTION --state on|off set a check box or radio button\n"
                 "  type --text TEXT [--index N|--id ID]  replace the text of an edit control\n"
                 "  close                                 send WM_CLOSE to the window\n"
                 "  focus [--text TEXT]                   the control with the keyboard focus, or wait\n"
                 "                                        until its description contains TEXT\n"
                 "  rect                                  left, top, width and height on the screen\n"
                 "  time-click --button CAPTION --text T  press, then print the seconds until T shows\n"
                 "  memory                                peak and current working set of its process\n"
                 "  probe                                 sends the window WM_NULL every 100 ms until it is\n"
                 "                                        gone; prints the longest wait for an answer\n"
                 "  query-end-session                     WM_QUERYENDSESSION for signing out, then for a\n"
                 "                                        request to close; prints both answers\n"
                 "  captions                              whether each shown caption fits its control (and\n"
                 "                                        would fit a font an eighth wider)\n"
                 "  walk [--shots DIR]                    captions of every page, pressing the default\n"
                 "                                        button until the window is gone; DIR gets NN.bmp\n"
                 "  focus-events [--button CAPTION]       the focus events its process raises within\n"
                 "                                        --timeout, after pressing the button if given\n",
                 why);
    std::exit(2);
}

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "driver: %s\n", why.c_str());
    std::exit(1);
}

std::string ClassOf(HWND wnd) {
    wchar_t name[256] = {};
    GetClassNameW(wnd, name, 256);
    return Utf8(name);
}

// WM_GETTEXT reaches controls of another process (GetWindowText only sees captions); the timeout
// keeps a hung program from hanging the driver too.
std::string TextOf(HWND wnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
        wchar_t buffer[1024] = {};
        GetWindowTextW(wnd, buffer, 1024);
        return Utf8(buffer);
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        2000, &copied);
    return Utf8(text.c_str());
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    std::wstring wideA = Wide(a), wideB = Wide(b);
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, wideA.data(), static_cast<int>(wideA.size()),
                          wideB.data(), static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

// "&Next >" reads as "Next >"; "&&" stands for a literal ampersand.
std::string WithoutMnemonic(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        else if (caption[i] == '&')
            continue;
        out += caption[i];
    }
    return out;
}

// One control or message per output line, so scenarios can grep for a whole message.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

bool Matches(HWND wnd, const Options& opt) {
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == GetCurrentProcessId()) return false;
    if (!opt.hidden && !IsWindowVisible(wnd)) return false;
    if (!opt.className.empty() && !EqualNoCase(ClassOf(wnd), opt.className)) return false;
    if (opt.title.empty()) return true;
    std::string caption = TextOf(wnd);
    return opt.titleContains ? caption.find(opt.title) != std::string::npos : caption == opt.title;
}

struct WindowSearch {
    const Options* opt;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (Matches(wnd, *search->opt)) search->found.push_back(wnd);
    return TRUE;
}

BOOL CALLBACK CollectControl(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (search->opt->hidden || IsWindowVisible(wnd)) search->found.push_back(wnd);
    return TRUE;
}

// Top-level windows in Z order, so a message box comes before the window that owns it.
std::vector<HWND> TopLevelWindows(const Options& opt) {
    WindowSearch search{&opt, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// All descendants, in creation order: a wizard page's controls may sit inside a panel.
std::vector<HWND> Controls(HWND parent, bool hidden) {
    Options visibility;
    visibility.hidden = hidden;
    WindowSearch search{&visibility, {}};
    EnumChildWindows(parent, CollectControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Seconds(unsigned ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", ms / 1000.0);
    return text;
}

std::string Describe(const Options& opt) {
    std::string what = opt.className.empty() ? "window" : "window of class \"" + opt.className + "\"";
    if (!opt.title.empty())
        what += (opt.titleContains ? " with caption containing \"" : " captioned \"") + opt.title + "\"";
    return what;
}

// Polls until `found` returns true or the timeout runs out; the program under test starts and
// answers asynchronously, so every lookup waits a little.
template <typename F>
bool Poll(unsigned timeoutMs, F found, DWORD intervalMs = 100) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (found()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(intervalMs);
    }
}

HWND WaitWindow(const Options& opt) {
    HWND wnd = nullptr;
    if (!Poll(opt.timeoutMs, [&] {
            auto all = TopLevelWindows(opt);
            wnd = all.empty() ? nullptr : all.front();
            return wnd != nullptr;
        }))
        Fail("no " + Describe(opt) + " appeared within " + Seconds(opt.timeoutMs));
    return wnd;
}

bool IsButton(HWND wnd) {
    return EqualNoCase(ClassOf(wnd), "Button");
}

bool IsEdit(HWND wnd) {
    return EqualNoCase(ClassOf(wnd), "Edit");
}

bool IsCheckable(HWND wnd) {
    switch (GetWindowLongW(wnd, GWL_STYLE) & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

// Finds a shown button with the given caption in any matching window (a caption may match both
// a main window and its message box; the one holding the button is meant).
HWND WaitButton(const Options& opt) {
    if (opt.button.empty()) Usage("--button is required");
    HWND button = nullptr;
    if (!Poll(opt.timeoutMs, [&] {
            for (HWND top : TopLevelWindows(opt))
                for (HWND control : Controls(top, false))
                    if (IsButton(control) && EqualNoCase(WithoutMnemonic(TextOf(control)), opt.button)) {
                        button = control;
                        return true;
                    }
            return false;
        }))
        Fail("no button \"" + opt.button + "\" in a " + Describe(opt) + " within " + Seconds(opt.timeoutMs));
    return button;
}

int CmdList(const Options& opt) {
    for (HWND wnd : TopLevelWindows(opt))
        std::printf("0x%08lx\t%s\t%s\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(wnd)),
                    ClassOf(wnd).c_str(), Escaped(TextOf(wnd)).c_str());
    return 0;
}

int CmdWaitWindow(const Options& opt) {
    std::printf("%s\n", Escaped(TextOf(WaitWindow(opt))).c_str());
    return 0;
}

int CmdWaitGone(const Options& opt) {
    if (!Poll(opt.timeoutMs, [&] { return TopLevelWindows(opt).empty(); }))
        Fail("a " + Describe(opt) + " is still shown after " + Seconds(opt.timeoutMs));
    return 0;
}

// The control with the keyboard focus in the thread of the window, as GetGUIThreadInfo reports
// it, described the way read-dialog prints controls ("button: Next >", "edit: C:\\Folder");
// message boxes belong to that thread too.
std::string ControlDescription(HWND control) {
    std::string text = TextOf(control);
    if (IsButton(control)) return "button: " + Escaped(WithoutMnemonic(text));
    if (IsEdit(control)) return "edit: " + Escaped(text);
    return ClassOf(control) + ": " + Escaped(text);
}

std::string FocusOf(HWND wnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(wnd, nullptr), &info)) return "unknown";
    if (!info.hwndFocus) return "none";
    return ControlDescription(info.hwndFocus);
}

int CmdReadDialog(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    std::printf("caption: %s\n", Escaped(TextOf(wnd)).c_str());
    for (HWND control : Controls(wnd, opt.hidden)) {
        std::string text = TextOf(control);
        if (IsButton(control))
            std::printf("button: %s\n", Escaped(WithoutMnemonic(text)).c_str());
        else if (IsEdit(control))
            std::printf("edit: %s\n", Escaped(text).c_str());
        else if (!text.empty())
            std::printf("text: %s\n", Escaped(text).c_str());
    }
    if (opt.focus) std::printf("focus: %s\n", FocusOf(wnd).c_str());
    return 0;
}

// Page changes show up as new texts: a scenario waits for the one it expects.
// The text of the first shown control of a matching window that contains opt.text.
bool FindText(const Options& opt, std::string& found) {
    for (HWND top : TopLevelWindows(opt))
        for (HWND control : Controls(top, false)) {
            std::string text = TextOf(control);
            if (text.find(opt.text) != std::string::npos) {
                found = text;
                return true;
            }
        }
    return false;
}

int CmdWaitText(const Options& opt) {
    if (opt.text.empty()) Usage("--text is required");
    std::string found;
    if (!Poll(opt.timeoutMs, [&] { return FindText(opt, found); }))
        Fail("no control showing \"" + opt.text + "\" in a " + Describe(opt) + " within " +
             Seconds(opt.timeoutMs));
    std::printf("%s\n", Escaped(found).c_str());
    return 0;
}

int CmdControls(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    for (HWND control : Controls(wnd, true)) {
        std::string state = IsWindowVisible(control) ? "visible" : "hidden";
        state += IsWindowEnabled(control) ? ",enabled" : ",disabled";
        if (IsButton(control) && IsCheckable(control))
            state += SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? ",checked" : ",unchecked";
        // A static text that shows its '&' as written, not as a mnemonic.
        if (EqualNoCase(ClassOf(control), "Static") && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX))
            state += ",noprefix";
        std::printf("%d\t%s\t%s\t%s\n", GetDlgCtrlID(control), ClassOf(control).c_str(), state.c_str(),
                    Escaped(TextOf(control)).c_str());
    }
    return 0;
}

// Posted, not sent: a click may start a long run in the program (or end it), and the driver must
// not wait for that. Check boxes toggle themselves on BM_CLICK; push buttons get the same
// WM_COMMAND a real click sends to their parent.
void Press(HWND button) {
    if (!IsWindowEnabled(button)) Fail("button \"" + WithoutMnemonic(TextOf(button)) + "\" is disabled");
    if (IsCheckable(button)) {
        PostMessageW(button, BM_CLICK, 0, 0);
    } else {
        WPARAM command = MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED);
        PostMessageW(GetParent(button), WM_COMMAND, command, reinterpret_cast<LPARAM>(button));
    }
}

int CmdClick(const Options& opt) {
    Press(WaitButton(opt));
    return 0;
}

// For the benchmark: presses a button and measures, polling every 10 ms, until a control shows
// the text; prints the seconds.
int CmdTimeClick(const Options& opt) {
    if (opt.text.empty()) Usage("--text is required");
    HWND button = WaitButton(opt);
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    Press(button);
    std::string found;
    ULONGLONG deadline = GetTickCount64() + opt.timeoutMs;
    while (!FindText(opt, found)) {
        if (GetTickCount64() >= deadline)
            Fail("no control showing \"" + opt.text + "\" within " + Seconds(opt.timeoutMs));
        Sleep(10);
    }
    QueryPerformanceCounter(&now);
    std::printf("%.3f\n",
                static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return 0;
}

// The working set of the process that owns the window, as the system counts it.
int CmdMemory(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) Fail("cannot open the window's process");
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    BOOL ok = GetProcessMemoryInfo(process, &counters, sizeof counters);
    CloseHandle(process);
    if (!ok) Fail("cannot read the process's memory counters");
    std::printf("peak_working_set_bytes %lu\nworking_set_bytes %lu\n",
                static_cast<unsigned long>(counters.PeakWorkingSetSize),
                static_cast<unsigned long>(counters.WorkingSetSize));
    return 0;
}

// For the benchmark: how long the window leaves the system waiting. Every 100 ms it is sent
// WM_NULL, as the system does to tell a hung window; the longest wait for its answer and the
// number of messages are printed once the window has gone (or --timeout has passed).
int CmdProbe(const Options& opt) {
    constexpr double kIntervalMs = 100;
    HWND wnd = WaitWindow(opt);
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    auto elapsedMs = [&] {
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    };
    double longest = 0;
    unsigned messages = 0;
    ULONGLONG deadline = GetTickCount64() + opt.timeoutMs;
    while (IsWindow(wnd) && GetTickCount64() < deadline) {
        QueryPerformanceCounter(&start);
        DWORD_PTR result = 0;
        LRESULT answered = SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, opt.timeoutMs, &result);
        double waited = elapsedMs();
        // A window destroyed meanwhile gives no answer either; that wait is no hang.
        if (!answered && !IsWindow(wnd)) break;
        ++messages;
        if (waited > longest) longest = waited;
        if (waited < kIntervalMs) Sleep(static_cast<DWORD>(kIntervalMs - waited));
    }
    std::printf("longest_wait_ms %.1f\nmessages %u\n", longest, messages);
    return 0;
}

int CmdCheck(const Options& opt) {
    if (opt.state != "on" && opt.state != "off") Usage("--state must be on or off");
    HWND button = WaitButton(opt);
    if (!IsCheckable(button)) Fail("\"" + opt.button + "\" is not a check box or radio button");
    bool checked = SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != (opt.state == "on")) Press(button);
    if (!Poll(opt.timeoutMs, [&] {
            return (SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) == (opt.state == "on");
        }))
        Fail("\"" + opt.button + "\" did not change its check state");
    return 0;
}

int CmdType(const Options& opt) {
    HWND edit = nullptr;
    if (!Poll(opt.timeoutMs, [&] {
            for (HWND top : TopLevelWindows(opt)) {
                int seen = 0;
                for (HWND control : Controls(top, false)) {
                    if (!IsEdit(control)) continue;
                    bool wanted =
                        opt.controlId >= 0 ? GetDlgCtrlID(control) == opt.controlId : seen == opt.index;
                    ++seen;
                    if (wanted) {
                        edit = control;
                        return true;
                    }
                }
            }
            return false;
        }))
        Fail("no such edit control in a " + Describe(opt));
    // WM_SETTEXT on a single-line edit notifies the parent with EN_CHANGE, as typing does.
    DWORD_PTR result = 0;
    std::wstring text = Wide(opt.text);
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &result);
    if (TextOf(edit) != opt.text) Fail("the edit control did not take the text");
    return 0;
}

// Read-only. With --text, waits until the focused control's description contains it.
int CmdFocus(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    std::string focus;
    if (!Poll(opt.text.empty() ? 0 : opt.timeoutMs, [&] {
            focus = FocusOf(wnd);
            return focus.find(opt.text) != std::string::npos;
        }))
        Fail("the focus is on " + focus + ", not on \"" + opt.text + "\"");
    std::printf("%s\n", focus.c_str());
    return 0;
}

// Where the window lies on the screen: left, top, width and height, in pixels.
int CmdRect(const Options& opt) {
    RECT rect{};
    if (!GetWindowRect(WaitWindow(opt), &rect)) Fail("cannot read the window's position");
    std::printf("%ld %ld %ld %ld\n", static_cast<long>(rect.left), static_cast<long>(rect.top),
                static_cast<long>(rect.right - rect.left), static_cast<long>(rect.bottom - rect.top));
    return 0;
}

int CmdClose(const Options& opt) {
    PostMessageW(WaitWindow(opt), WM_CLOSE, 0, 0);
    return 0;
}

// Asks the window whether the session may end, as signing out does, then as a Restart Manager
// asks a program to close (ENDSESSION_CLOSEAPP); prints both answers, TRUE or FALSE.
int CmdQueryEndSession(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    for (LPARAM reason : {LPARAM{0}, LPARAM{ENDSESSION_CLOSEAPP}}) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(wnd, WM_QUERYENDSESSION, 0, reason, SMTO_ABORTIFHUNG, 5000, &result))
            Fail("the window did not answer the query");
        std::printf(reason ? "%s\n" : "%s ", result ? "TRUE" : "FALSE");
    }
    return 0;
}

// --- Captions against their controls ----------------------------------------------------------
// The wizard's two fonts made again from the choice the window makes: its font handles mean
// nothing in this process, and under Wine WM_GETFONT does not even answer another process. A
// control of the wizard is bold when its row of the control table says so (the window's control
// ids are the table's); every other text is in the normal font.
struct WindowFonts {
    FontHandle normal, bold;
};

HFONT FontOf(HWND control, const WindowFonts& fonts) {
    ControlId id = FromCommandId(GetDlgCtrlID(control));
    bool bold = id != ControlId::None && (Control(id).flags & kBold) != 0;
    return bold ? fonts.bold.Get() : fonts.normal.Get();
}

bool IsPushButton(HWND wnd) {
    LONG type = GetWindowLongW(wnd, GWL_STYLE) & BS_TYPEMASK;
    return IsButton(wnd) && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// A static text or a button with a caption: what the wizard shows text in.
bool HasCaption(HWND control) {
    LONG style = GetWindowLongW(control, GWL_STYLE);
    if (IsButton(control)) return (style & BS_TYPEMASK) != BS_GROUPBOX;
    if (!EqualNoCase(ClassOf(control), "Static")) return false;
    LONG type = style & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_LEFTNOWORDWRAP || type == SS_CENTER || type == SS_RIGHT;
}

// Prints one line per shown caption of the window: "fits", "tight" (it would not fit a font an
// eighth wider, as Windows' own fonts may be) or "CUT", what it needs and the control's client
// size, and the caption. False when one is cut.
bool CheckCaptions(HWND top, const WindowFonts& fonts, int dpi) {
    bool all = true;
    for (HWND control : Controls(top, false)) {
        std::string text = TextOf(control);
        if (text.empty() || !HasCaption(control)) continue;
        HFONT font = FontOf(control, fonts);
        std::wstring caption = Wide(text);
        SIZE needs = CaptionExtent(control, font, caption, dpi);
        SIZE wider = CaptionExtent(control, font, caption, dpi, true);
        RECT client{};
        GetClientRect(control, &client);
        auto within = [&](SIZE size) { return size.cx <= client.right && size.cy <= client.bottom; };
        const char* verdict = !within(needs) ? "CUT" : !within(wider) ? "tight" : "fits";
        all = all && within(needs);
        std::printf("%s\t%ldx%ld (%ldx%ld wider) in %ldx%ld\t%s\n", verdict, static_cast<long>(needs.cx),
                    static_cast<long>(needs.cy), static_cast<long>(wider.cx), static_cast<long>(wider.cy),
                    static_cast<long>(client.right), static_cast<long>(client.bottom), Escaped(text).c_str());
    }
    return all;
}

WindowFonts FontsFor(int dpi) {
    Win32Platform platform;
    UiFontChoice choice = ChooseUiFont(platform);
    WindowFonts fonts;
    fonts.normal.Reset(CreateWizardFont(choice, dpi, false));
    fonts.bold.Reset(CreateWizardFont(choice, dpi, true));
    return fonts;
}

int CmdCaptions(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    int dpi = ScreenDpi();
    return CheckCaptions(wnd, FontsFor(dpi), dpi) ? 0 : 1;
}

// What the window shows: its shown controls' texts, which change with the page (and with the
// status line of the copy page).
std::string Showing(HWND top) {
    std::string shown;
    for (HWND control : Controls(top, false)) shown += TextOf(control) + '\n';
    return shown;
}

// The window as on the screen, into a 24-bit BMP file.
void SaveShot(HWND top, const std::string& path) {
    RECT rect{};
    GetWindowRect(top, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<char> pixels(stride * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof file + sizeof info};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    FILE* out = _wfopen(Wide(path).c_str(), L"wb");
    if (!out) Fail("cannot write " + path);
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
}

// The shown, enabled push button drawn as the default one: what Enter would press.
HWND DefaultButton(HWND top) {
    for (HWND control : Controls(top, false))
        if (IsPushButton(control) && IsWindowEnabled(control) &&
            (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return control;
    return nullptr;
}

// Every page from the one shown: its captions checked, a screenshot, then its default button
// pressed (or, on a page without one, the wait for the next), until the window is gone.
int CmdWalk(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    int dpi = ScreenDpi();
    WindowFonts fonts = FontsFor(dpi);
    bool all = true;
    for (int page = 1; IsWindowVisible(wnd); ++page) {
        std::string shown = Showing(wnd);
        std::printf("page %d\n", page);
        all = CheckCaptions(wnd, fonts, dpi) && all;
        if (!opt.shots.empty()) {
            // The window has handled what came before this message; its painting follows.
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
            Sleep(150);
            char name[16];
            std::snprintf(name, sizeof name, "\\%02d.bmp", page);
            SaveShot(wnd, opt.shots + name);
        }
        if (HWND button = DefaultButton(wnd)) Press(button);
        if (!Poll(
                opt.timeoutMs, [&] { return !IsWindowVisible(wnd) || Showing(wnd) != shown; }, 20))
            Fail("the window stays on page " + std::to_string(page));
    }
    std::fflush(stdout);
    return all ? 0 : 1;
}

// What a screen reader hears of a page change: EVENT_OBJECT_FOCUS of the window's process,
// taken out of context (the system queues each event to this thread, which must pump messages
// for it), one "focus: <control>" line each, until --timeout has passed.
void CALLBACK PrintFocusEvent(HWINEVENTHOOK, DWORD event, HWND control, LONG object, LONG child, DWORD,
                              DWORD) {
    if (event != EVENT_OBJECT_FOCUS || !control) return;
    const bool self = object == OBJID_CLIENT && child == CHILDID_SELF;
    std::printf("focus: %s%s\n", ControlDescription(control).c_str(), self ? "" : " (a part of it)");
    std::fflush(stdout);
}

int CmdFocusEvents(const Options& opt) {
    HWND wnd = WaitWindow(opt);
    HWND button = opt.button.empty() ? nullptr : WaitButton(opt);
    DWORD process = 0;
    GetWindowThreadProcessId(wnd, &process);
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, PrintFocusEvent,
                                         process, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook) Fail("cannot listen for the window's events");
    if (button) Press(button);
    const ULONGLONG deadline = GetTickCount64() + opt.timeoutMs;
    for (ULONGLONG now; (now = GetTickCount64()) < deadline;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    return 0;
}

struct Command {
    const char* name;
    int (*run)(const Options&);
};

const Command kCommands[] = {
    {"list", CmdList},
    {"wait-window", CmdWaitWindow},
    {"wait-gone", CmdWaitGone},
    {"read-dialog", CmdReadDialog},
    {"wait-text", CmdWaitText},
    {"controls", CmdControls},
    {"click", CmdClick},
    {"check", CmdCheck},
    {"type", CmdType},
    {"close", CmdClose},
    {"time-click", CmdTimeClick},
    {"memory", CmdMemory},
    {"probe", CmdProbe},
    {"focus", CmdFocus},
    {"rect", CmdRect},
    {"query-end-session", CmdQueryEndSession},
    {"captions", CmdCaptions},
    {"walk", CmdWalk},
    {"focus-events", CmdFocusEvents},
};

// The command line as UTF-8, whatever the system's code page.
std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) arguments.push_back(Utf8(wide[i]));
    if (wide) LocalFree(wide);
    return arguments;
}

}  // namespace

int main() {
    const std::vector<std::string> argv = Arguments();
    const int argc = static_cast<int>(argv.size());
    if (argc < 2) Usage("missing command");
    std::string command = argv[1];
    Options opt;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--hidden" || arg == "--focus") {
            (arg == "--hidden" ? opt.hidden : opt.focus) = true;
            continue;
        }
        if (i + 1 >= argc) Usage(("missing value for " + arg).c_str());
        std::string value = argv[++i];
        if (arg == "--title")
            opt.title = value;
        else if (arg == "--title-contains")
            opt.title = value, opt.titleContains = true;
        else if (arg == "--class")
            opt.className = value;
        else if (arg == "--button")
            opt.button = value;
        else if (arg == "--text")
            opt.text = value;
        else if (arg == "--state")
            opt.state = value;
        else if (arg == "--shots")
            opt.shots = value;
        else if (arg == "--index")
            opt.index = std::atoi(value.c_str());
        else if (arg == "--id")
            opt.controlId = std::atoi(value.c_str());
        else if (arg == "--timeout")
            opt.timeoutMs = static_cast<unsigned>(std::atof(value.c_str()) * 1000);
        else
            Usage(("unknown option " + arg).c_str());
    }
    for (const Command& known : kCommands) {
        if (command != known.name) continue;
        int status = known.run(opt);
        std::fflush(stdout);
        return status;
    }
    Usage(("unknown command " + command).c_str());
}
