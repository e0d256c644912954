#include "Form.h"

#include <algorithm>

#include "Control.h"
#include "FormsInternal.h"
#include "Picture.h"
#include "Utf16.h"

namespace forms {

using detail::CursorFor;

Form::Form(FormStyle style) : style_(std::move(style)) {}

Form::~Form() {
    if (window_ != nullptr) {
        unloading_ = true;
        DestroyWindow(window_);
    }
}

void Form::Load() {
    if (window_ != nullptr) return;
    detail::RegisterFormClass();
    DWORD windowStyle = WS_POPUP | WS_CLIPCHILDREN;
    if (style_.border == Border::FixedSingle) windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    // Tab walks into the controls of panels too.
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, detail::kFormClass, Utf8ToWide(style_.caption).c_str(), windowStyle, CW_USEDEFAULT,
                              CW_USEDEFAULT, 320, 240, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form::WindowProc));
    if (style_.iconResource != 0) {
        HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(style_.iconResource));
        SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    ++Application::loadedForms_;
    for (Control* control : controls_) control->Create();
    for (Timer* timer : timers_) timer->Arm();
    HandlerScope scope;
    Form_Load();
}

void Form::Show(bool modal) {
    Load();
    if (window_ == nullptr) return;
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    if (!shownOnce_) {
        shownOnce_ = true;
        HandlerScope scope;
        Form_Resize();
    }
    if (!modal) return;
    MSG message;
    while (window_ != nullptr) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            PostQuitMessage(0);
            break;
        }
        // Keys meant for the form as a whole (Enter, Escape, Tab) come to it
        // first, whichever of its controls has the focus.
        if (message.message == WM_KEYDOWN && (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
            HandlerScope scope;
            if (Form_KeyPreview(static_cast<UINT>(message.wParam))) continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Form::SetClientSize(int width, int height) {
    if (window_ == nullptr) return;
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
    SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Hide() {
    if (window_ != nullptr) ShowWindow(window_, SW_HIDE);
}

void Form::Unload(int mode) {
    if (window_ == nullptr || unloading_) return;
    unloading_ = true;
    {
        HandlerScope scope;
        int cancel = 0;
        Form_QueryUnload(cancel, mode);
        if (cancel == 0) Form_Unload(cancel);
        if (cancel != 0) {
            unloading_ = false;
            return;
        }
    }
    for (Timer* timer : timers_) {
        if (timer->enabled_) KillTimer(window_, timer->id_);
    }
    if (window_ != nullptr) DestroyWindow(window_);
    unloading_ = false;
}

void Form::Destroyed() {
    if (window_ == nullptr) return;
    window_ = nullptr;
    shownOnce_ = false;
    for (Control* control : controls_) control->window_ = nullptr;
    // The last form gone: wake the message loop so that it sees it (a
    // window destroyed with its host comes as a sent message, which leaves
    // the loop waiting).
    if (--Application::loadedForms_ == 0) PostMessageW(nullptr, WM_NULL, 0, 0);
}

int Form::Left() const {
    RECT r = {};
    if (window_) GetWindowRect(window_, &r);
    return Screen::TwipsX(r.left);
}
int Form::Top() const {
    RECT r = {};
    if (window_) GetWindowRect(window_, &r);
    return Screen::TwipsY(r.top);
}
int Form::Width() const {
    RECT r = {};
    if (window_) GetWindowRect(window_, &r);
    return Screen::TwipsX(r.right - r.left);
}
int Form::Height() const {
    RECT r = {};
    if (window_) GetWindowRect(window_, &r);
    return Screen::TwipsY(r.bottom - r.top);
}

void Form::Move(int left, int top, int width, int height) {
    if (window_ == nullptr) return;
    MoveWindow(window_, Screen::PixelsX(left), Screen::PixelsY(top), Screen::PixelsX(width), Screen::PixelsY(height),
               TRUE);
}

int Form::ScaleWidth() const {
    RECT r = {};
    if (window_) GetClientRect(window_, &r);
    return r.right;
}

int Form::ScaleHeight() const {
    RECT r = {};
    if (window_) GetClientRect(window_, &r);
    return r.bottom;
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Form* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->window_ != window) return DefWindowProcW(window, message, wParam, lParam);
    return form->Handle(message, wParam, lParam);
}

LRESULT Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    detail::FollowPress(window_, message, wParam);
    LRESULT result = 0;
    if (OnMessage(message, wParam, lParam, result)) return result;
    switch (message) {
        case WM_CLOSE:
            Unload(FormControlMenu);
            return 0;
        case WM_ENDSESSION:
            if (wParam) Unload(AppWindows);
            return 0;
        case WM_DESTROY:
            Destroyed();
            return 0;
        case WM_TIMER:
            for (Timer* timer : timers_) {
                if (timer->id_ == wParam) timer->Tick();
            }
            return 0;
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(window_, &r);
            FillSolid(reinterpret_cast<HDC>(wParam), r, style_.backColor);
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            Form_Paint(dc);
            EndPaint(window_, &ps);
            return 0;
        }
        case WM_SIZE:
            if (shownOnce_ && IsWindowVisible(window_)) {
                HandlerScope scope;
                Form_Resize();
            }
            return 0;
        case WM_SETCURSOR:
            if (detail::CurrentPointer() != MousePointer::Default && LOWORD(lParam) == HTCLIENT) {
                SetCursor(CursorFor(detail::CurrentPointer()));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

Timer::Timer(Form& owner, UINT intervalMs, bool enabled, std::function<void()> onTick)
    : owner_(owner), interval_(intervalMs), enabled_(enabled), onTick_(std::move(onTick)) {
    id_ = 100 + owner_.timers_.size();
    owner_.timers_.push_back(this);
    Arm();
}

Timer::~Timer() {
    if (owner_.window_ != nullptr) KillTimer(owner_.window_, id_);
    auto& timers = owner_.timers_;
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void Timer::Arm() {
    if (owner_.window_ == nullptr) return;
    if (enabled_ && interval_ > 0) {
        SetTimer(owner_.window_, id_, interval_, nullptr);
    } else {
        KillTimer(owner_.window_, id_);
    }
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Arm();
}

void Timer::SetInterval(UINT intervalMs) {
    interval_ = intervalMs;
    Arm();
}

void Timer::Tick() {
    // A tick during a handler (a message box's own loop, say) is dropped:
    // the next one comes after the interval.
    if (!enabled_ || Application::InHandler()) return;
    HandlerScope scope;
    onTick_();
}

}  // namespace forms
