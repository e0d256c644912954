#include "Forms.h"

#include <algorithm>

#include "BmpFile.h"
#include "SaverPlatform.h"
#include "Utf16.h"
#include "VBConvert.h"

namespace forms {

int Application::loadedForms_ = 0;
int Application::handlerDepth_ = 0;

namespace {

const wchar_t kFormClass[] = L"TaveloForm";
const wchar_t kControlClass[] = L"TaveloControl";
MousePointer g_pointer = MousePointer::Default;
std::string g_title;

HCURSOR CursorFor(MousePointer pointer) {
    switch (pointer) {
        case MousePointer::Hourglass: return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
        case MousePointer::Hand: return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
        default: return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    }
}

void RegisterClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    WNDCLASSEXW form = {};
    form.cbSize = sizeof form;
    form.style = CS_DBLCLKS;
    form.lpfnWndProc = DefWindowProcW;  // each window is then given its object's procedure
    form.hInstance = GetModuleHandleW(nullptr);
    form.hCursor = CursorFor(MousePointer::Arrow);
    form.lpszClassName = kFormClass;
    WNDCLASSEXW control = form;
    control.lpszClassName = kControlClass;
    RegisterClassExW(&form);
    RegisterClassExW(&control);
}

int DotsPerInch(int index) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, index);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace

// ---- Application ----------------------------------------------------------------

void Application::Run() {
    MSG message;
    while (loadedForms_ > 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Application::EndAtOnce(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

int Application::LoadedForms() { return loadedForms_; }

bool Application::InHandler() { return handlerDepth_ > 0; }

std::string Application::CommandLine() { return ArgumentsOf(WideToUtf8(GetCommandLineW())); }

void Application::MsgBox(const std::string& text, HWND owner) {
    HandlerScope scope;  // no tick while the box is up
    MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(g_title).c_str(), MB_OK);
}

void Application::SetTitle(const std::string& title) { g_title = title; }

HANDLE Application::Shell(const std::string& path, const std::string& arguments) {
    const std::wstring program = Utf8ToWide(path);
    std::wstring commandLine = L"\"" + program + L"\"";  // a folder with blanks stays one argument
    if (!arguments.empty()) commandLine += L" " + Utf8ToWide(arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return nullptr;
    }
    AllowSetForegroundWindow(process.dwProcessId);  // its window may take the focus
    CloseHandle(process.hThread);
    return process.hProcess;
}

// ---- Screen -------------------------------------------------------------------------

int Screen::TwipsPerPixelX() { return 1440 / DotsPerInch(LOGPIXELSX); }
int Screen::TwipsPerPixelY() { return 1440 / DotsPerInch(LOGPIXELSY); }
int Screen::WidthPixels() { return GetSystemMetrics(SM_CXSCREEN); }
int Screen::HeightPixels() { return GetSystemMetrics(SM_CYSCREEN); }
int Screen::Width() { return WidthPixels() * TwipsPerPixelX(); }
int Screen::Height() { return HeightPixels() * TwipsPerPixelY(); }

void Screen::SetMousePointer(MousePointer pointer) {
    g_pointer = pointer;
    SetCursor(CursorFor(pointer == MousePointer::Default ? MousePointer::Arrow : pointer));
}

MousePointer Screen::GetMousePointer() { return g_pointer; }

// ---- Picture --------------------------------------------------------------------------

Picture::Picture(int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap_ == nullptr) return;
    bits_ = static_cast<uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
}

Picture::~Picture() {
    if (dc_ != nullptr) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

std::shared_ptr<Picture> Picture::FromBitmap(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || !GetObjectW(bitmap, sizeof info, &info)) return nullptr;
    auto picture = std::make_shared<Picture>(info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight);
    if (!picture->Valid()) return nullptr;
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, bitmap);
    BitBlt(picture->DC(), 0, 0, picture->Width(), picture->Height(), source, 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(source, old);
    DeleteDC(source);
    return picture;
}

std::shared_ptr<Picture> Picture::FromResource(int resourceId) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                                     IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    std::shared_ptr<Picture> picture = FromBitmap(bitmap);
    if (bitmap != nullptr) DeleteObject(bitmap);
    return picture;
}

std::vector<uint8_t> Picture::Pixels() const {
    std::vector<uint8_t> rgb;
    if (!Valid()) return rgb;
    GdiFlush();
    rgb.resize(static_cast<size_t>(width_) * height_ * 3);
    for (size_t i = 0; i < static_cast<size_t>(width_) * height_; ++i) {
        const uint32_t p = bits_[i];
        rgb[3 * i] = static_cast<uint8_t>(p >> 16);
        rgb[3 * i + 1] = static_cast<uint8_t>(p >> 8);
        rgb[3 * i + 2] = static_cast<uint8_t>(p);
    }
    return rgb;
}

bool Picture::Save(const std::string& path) const {
    if (!Valid()) return false;
    const std::string file = EncodeBmp24(width_, height_, Pixels());
    return !file.empty() && ReplaceFileContents(path, file);
}

// ---- Form -----------------------------------------------------------------------------

Form::Form(FormStyle style) : style_(std::move(style)) {}

Form::~Form() {
    if (window_ != nullptr) {
        unloading_ = true;
        DestroyWindow(window_);
    }
}

void Form::Load() {
    if (window_ != nullptr) return;
    RegisterClasses();
    DWORD windowStyle = WS_POPUP | WS_CLIPCHILDREN;
    if (style_.border == Border::FixedSingle) windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    window_ = CreateWindowExW(0, kFormClass, Utf8ToWide(style_.caption).c_str(), windowStyle, CW_USEDEFAULT,
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
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
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
    return r.left * Screen::TwipsPerPixelX();
}
int Form::Top() const {
    RECT r = {};
    if (window_) GetWindowRect(window_, &r);
    return r.top * Screen::TwipsPerPixelY();
}
int Form::Width() const {
    RECT r = {};
    if (window_) GetWindowRect(window_, &r);
    return (r.right - r.left) * Screen::TwipsPerPixelX();
}
int Form::Height() const {
    RECT r = {};
    if (window_) GetWindowRect(window_, &r);
    return (r.bottom - r.top) * Screen::TwipsPerPixelY();
}

void Form::Move(int left, int top, int width, int height) {
    if (window_ == nullptr) return;
    const int tx = Screen::TwipsPerPixelX(), ty = Screen::TwipsPerPixelY();
    MoveWindow(window_, left / tx, top / ty, width / tx, height / ty, TRUE);
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
            HBRUSH brush = CreateSolidBrush(style_.backColor);
            FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
            DeleteObject(brush);
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
            if (g_pointer != MousePointer::Default && LOWORD(lParam) == HTCLIENT) {
                SetCursor(CursorFor(g_pointer));
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// ---- Timer ------------------------------------------------------------------------------

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

// ---- Controls ------------------------------------------------------------------------

Control::Control(Form& form, Control* container, int left, int top, int width, int height, bool visible)
    : form_(form), container_(container), left_(left), top_(top), width_(width), height_(height), visible_(visible) {
    form_.controls_.push_back(this);
}

Control::~Control() {
    auto& controls = form_.controls_;
    controls.erase(std::remove(controls.begin(), controls.end(), this), controls.end());
}

HWND Control::ParentWindow() const { return container_ != nullptr ? container_->window_ : form_.window_; }

const wchar_t* Control::OwnClass() {
    RegisterClasses();
    return kControlClass;
}

void Control::CreateWindowNow(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle) {
    if (ParentWindow() == nullptr) return;
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_) style |= WS_VISIBLE;
    if (!enabled_) style |= WS_DISABLED;
    window_ = CreateWindowExW(exStyle, className, text.c_str(), style, left_, top_, width_, height_, ParentWindow(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_ != nullptr && className == kControlClass) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::ControlProc));
    }
}

LRESULT CALLBACK Control::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* control = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (control != nullptr && control->window_ == window) {
        LRESULT result = 0;
        if (control->OnMessage(message, wParam, lParam, result)) return result;
        if (message == WM_SETCURSOR && g_pointer != MousePointer::Default) {
            SetCursor(CursorFor(g_pointer));
            return TRUE;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Control::Move(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (window_ != nullptr) MoveWindow(window_, left, top, width, height, TRUE);
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (window_ != nullptr) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (window_ != nullptr) EnableWindow(window_, enabled ? TRUE : FALSE);
}

bool Control::Enabled() const { return enabled_; }

void Control::Refresh() {
    if (window_ != nullptr) {
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
    }
}

// What lies under a control that draws no background of its own: the
// panel's image, or the form's colour and painting.
void Control::PaintUnderneath(HDC dc) {
    if (auto* panel = dynamic_cast<PictureBox*>(container_)) {
        BitBlt(dc, 0, 0, width_, height_, panel->DC(), left_, top_, SRCCOPY);
        return;
    }
    RECT r = {0, 0, width_, height_};
    HBRUSH brush = CreateSolidBrush(form_.BackColor());
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    POINT old;
    SetViewportOrgEx(dc, -left_, -top_, &old);
    form_.Form_Paint(dc);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

// ---- PictureBox -----------------------------------------------------------------------

PictureBox::PictureBox(Form& form, int left, int top, int width, int height, bool visible, COLORREF backColor,
                       Control* container)
    : Control(form, container, left, top, width, height, visible), backColor_(backColor) {
    Resize(width, height);
}

void PictureBox::Create() { CreateWindowNow(OwnClass(), L"", WS_CLIPCHILDREN); }

HDC PictureBox::DC() { return image_ ? image_->DC() : nullptr; }

Picture& PictureBox::Image() { return *image_; }

void PictureBox::SetPicture(std::shared_ptr<Picture> picture) {
    picture_ = std::move(picture);
    if (picture_ && image_ && image_->Valid()) {
        BitBlt(image_->DC(), 0, 0, picture_->Width(), picture_->Height(), picture_->DC(), 0, 0, SRCCOPY);
    }
    Refresh();
}

bool PictureBox::SavePicture(const std::string& path) const {
    if (picture_) return picture_->Save(path);
    return image_ && image_->Save(path);
}

void PictureBox::Resize(int width, int height) {
    auto image = std::make_unique<Picture>(std::max(width, 1), std::max(height, 1));
    if (image->Valid()) {
        RECT r = {0, 0, image->Width(), image->Height()};
        HBRUSH brush = CreateSolidBrush(backColor_);
        FillRect(image->DC(), &r, brush);
        DeleteObject(brush);
        if (image_ && image_->Valid()) BitBlt(image->DC(), 0, 0, image_->Width(), image_->Height(), image_->DC(), 0, 0, SRCCOPY);
    }
    image_ = std::move(image);
    Move(left_, top_, width, height);
}

bool PictureBox::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (image_ && image_->Valid()) BitBlt(dc, 0, 0, width_, height_, image_->DC(), 0, 0, SRCCOPY);
        if (onPaint) onPaint(dc);
        EndPaint(window_, &ps);
        result = 0;
        return true;
    }
    (void)wParam;
    return false;
}

// ---- ImageControl ------------------------------------------------------------------------

void Control::RaiseMouseDown(const std::function<void(int, int, int)>& handler, UINT message, LPARAM lParam) {
    if (!handler) return;
    HandlerScope scope;
    const int button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
    handler(button, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

ImageControl::ImageControl(Form& form, int left, int top, int width, int height, Control* container)
    : Control(form, container, left, top, width, height, true) {}

void ImageControl::Create() { CreateWindowNow(OwnClass(), L"", 0); }

void ImageControl::SetPicture(std::shared_ptr<Picture> picture) {
    picture_ = std::move(picture);
    if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

bool ImageControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            PaintUnderneath(dc);
            if (picture_ && picture_->Valid()) {
                BitBlt(dc, 0, 0, std::min(width_, picture_->Width()), std::min(height_, picture_->Height()),
                       picture_->DC(), 0, 0, SRCCOPY);
            }
            EndPaint(window_, &ps);
            result = 0;
            return true;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            RaiseMouseDown(onMouseDown, message, lParam);
            result = 0;
            return true;
        default:
            (void)wParam;
            return false;
    }
}

// ---- Label -----------------------------------------------------------------------------------

Label::Label(Form& form, int left, int top, int width, int height, std::string caption, LabelStyle style,
             Control* container)
    : Control(form, container, left, top, width, height, true), caption_(std::move(caption)), style_(style) {}

void Label::Create() {
    CreateWindowNow(OwnClass(), Utf8ToWide(caption_), 0);
    if (style_.autoSize) FitToText();
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (window_ != nullptr) {
        if (style_.autoSize) FitToText();
        InvalidateRect(window_, nullptr, TRUE);
    }
}

void Label::FitToText() {
    HDC dc = GetDC(window_);
    HGDIOBJ old = SelectObject(dc, DialogFont(style_.underline));
    const std::wstring text = Utf8ToWide(caption_);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
    Move(left_, top_, size.cx, size.cy);
}

bool Label::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window_, &ps);
            RECT r = {0, 0, width_, height_};
            if (style_.transparent) {
                PaintUnderneath(dc);
            } else {
                HBRUSH brush = CreateSolidBrush(style_.backColor);
                FillRect(dc, &r, brush);
                DeleteObject(brush);
            }
            if (style_.bordered) {
                DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
                InflateRect(&r, -2, -2);
            }
            HGDIOBJ old = SelectObject(dc, DialogFont(style_.underline));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, style_.foreColor);
            const std::wstring text = Utf8ToWide(caption_);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      (style_.centred ? DT_CENTER : DT_LEFT) | DT_WORDBREAK | DT_NOPREFIX);
            SelectObject(dc, old);
            EndPaint(window_, &ps);
            result = 0;
            return true;
        }
        case WM_SETCURSOR:
            if (style_.pointer != MousePointer::Default) {
                SetCursor(CursorFor(style_.pointer));
                result = TRUE;
                return true;
            }
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            RaiseMouseDown(onMouseDown, message, lParam);
            result = 0;
            return true;
        case WM_LBUTTONUP:
            if (onClick) {
                HandlerScope scope;
                onClick();
            }
            result = 0;
            return true;
        default:
            (void)wParam;
            return false;
    }
}

// ---- ComboBox ---------------------------------------------------------------------------------

ComboBox::ComboBox(Form& form, int left, int top, int width, int height, Control* container)
    : Control(form, container, left, top, width, height, true) {}

void ComboBox::Create() {
    const int listHeight = height_ * 8;
    const int shownHeight = height_;
    height_ = listHeight;
    CreateWindowNow(L"COMBOBOX", L"", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP);
    height_ = shownHeight;
    if (window_ == nullptr) return;
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), TRUE);
    for (const std::string& item : pending_) SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
    SetWindowTextW(window_, Utf8ToWide(text_).c_str());
}

void ComboBox::AddItem(const std::string& item) {
    pending_.push_back(item);
    if (window_ != nullptr) SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(item).c_str()));
}

int ComboBox::ListCount() const { return static_cast<int>(pending_.size()); }

std::string ComboBox::List(int index) const {
    return index >= 0 && index < ListCount() ? pending_[static_cast<size_t>(index)] : std::string();
}

void ComboBox::SetText(const std::string& text) {
    text_ = text;
    if (window_ != nullptr) SetWindowTextW(window_, Utf8ToWide(text).c_str());
}

std::string ComboBox::Text() const {
    if (window_ == nullptr) return text_;
    wchar_t buffer[256] = {};
    GetWindowTextW(window_, buffer, 256);
    return WideToUtf8(buffer);
}

// ---- Shape ------------------------------------------------------------------------------------

Shape::Shape(Form& form, int left, int top, int width, int height, COLORREF borderColor, Control* container)
    : Control(form, container, left, top, width, height, true), borderColor_(borderColor) {}

void Shape::Create() {
    CreateWindowNow(OwnClass(), L"", WS_DISABLED);
    // Below its siblings, so what it frames stays visible.
    if (window_ != nullptr) SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool Shape::OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        PaintUnderneath(dc);
        RECT r = {0, 0, width_, height_};
        HBRUSH brush = CreateSolidBrush(borderColor_);
        FrameRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(window_, &ps);
        result = 0;
        return true;
    }
    return false;
}

HFONT DialogFont(bool underline) {
    static HFONT plain = nullptr, underlined = nullptr;
    HFONT& font = underline ? underlined : plain;
    if (font == nullptr) {
        HDC screen = GetDC(nullptr);
        const int height = -MulDiv(975, GetDeviceCaps(screen, LOGPIXELSY), 7200);  // 9.75 pt
        ReleaseDC(nullptr, screen);
        font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");  // ＭＳ Ｐゴシック
    }
    return font;
}

}  // namespace forms
