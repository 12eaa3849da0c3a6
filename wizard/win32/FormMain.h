// The wizard window: creates the controls of the control table, scaled to the screen, copies
// the model's state onto them after every action and forwards the user's input to the model.
// It is also the installation run's progress sink.
#pragma once

#include <windows.h>

#include <array>
#include <exception>
#include <memory>
#include <string>

#include "system/Platform.h"
#include "system/ShellUtils.h"
#include "system/win32/Win32Handles.h"
#include "wizard/ControlRoom.h"
#include "wizard/WizardModel.h"
#include "wizard/win32/SidePicture.h"

// How the message loop ended: the window closed (Finish, or Cancel answered Yes), or the model
// ended the program after an error box or a refusal.
enum class WizardEnd { Closed, Terminated };

class FormMain : public IWizardHost, public ISetupProgress {
public:
    FormMain(HINSTANCE instance, Platform& platform, IWizardEngine& engine);
    FormMain(const FormMain&) = delete;
    FormMain& operator=(const FormMain&) = delete;
    ~FormMain() override;

    // Prepares the pages and creates the window, centred and shown. False, after the error box,
    // when the side picture cannot be shown: the program then ends without a window. A window
    // made hidden (a silent run with progress) shows itself for the copy page.
    bool Create(const PictureLookup& pictures, bool shown = true);
    // Runs the message loop until the window closes or the program is told to end. An error
    // that a handler raised is shown in the error box over the window, and ends the program.
    WizardEnd Run();

    WizardModel& Model() { return model_; }
    // Whether the model ended the program (after an error box or a refusal).
    bool Terminated() const { return ended_; }
    HWND Window() const { return window_; }

    // IWizardHost
    void PaintNow() override;
    ISetupProgress& Progress() override { return *this; }
    void DropPendingInput() override;
    void RequestClose() override;
    void Terminate() override;
    WindowRef Owner() override { return reinterpret_cast<WindowRef>(window_); }

    // ISetupProgress
    void SetProgress(int position) override;
    void SetStatus(const std::string& text) override;
    void StillWorking() override;

private:
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK ContainerProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK PictureProc(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
    // Handle, with an error kept for this thread's own frames: it cannot unwind through the
    // system's, which called the window procedure.
    LRESULT HandleGuarded(UINT message, WPARAM wparam, LPARAM lparam);
    void RethrowPending();
    LRESULT QueryEndSession();
    void Command(int id, int code, HWND control);
    void Notify(const NMHDR& header);
    void CreateControls();
    HWND CreateControl(ControlId id, HWND parent);
    HWND ParentOf(int page) const;
    Box DesignBox(ControlId id);
    void FitCaption(ControlId id);
    static Box PlaceOf(HWND wnd);
    void ApplyFonts();
    void Sync();
    bool Key(const MSG& msg);
    void ServePendingMessages();
    void HoldFor(DWORD milliseconds);
    void NoticeFocus();
    void GiveFocusBack();
    ControlId IdOf(HWND wnd) const;
    int S(int value) { return scale_.Scale(value); }

    HINSTANCE instance_;
    Platform& platform_;
    DesignScale scale_;
    WizardModel model_;
    SidePicture picture_;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    std::array<HWND, kPageCount> pages_{};
    FontHandle font_;
    FontHandle boldFont_;
    int dpi_ = 96;
    RECT pictureRect_{};
    int appliedFocusRequests_ = -1;
    int announcedPage_ = -1;
    bool syncing_ = false;
    bool ended_ = false;
    DWORD lastServed_ = 0;
    std::exception_ptr pending_;
    bool blockingShutdown_ = false;
};
