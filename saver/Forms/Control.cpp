#include "Control.h"

#include <algorithm>
#include <set>

#include "Controls.h"
#include "FormsInternal.h"
#include "Picture.h"
#include "WinHandles.h"

namespace forms {

Control::Control(Form& form, Control* container, int left, int top, int width, int height, bool visible)
    : form_(form), container_(container), left_(left), top_(top), width_(width), height_(height), visible_(visible) {
    form_.controls_.push_back(this);
}

Control::~Control() {
    auto& controls = form_.controls_;
    controls.erase(std::remove(controls.begin(), controls.end(), this), controls.end());
}

HWND Control::ParentWindow() const { return container_ != nullptr ? container_->window_ : form_.window_; }

const wchar_t* Control::OwnClass(const wchar_t* name) {
    static std::set<std::wstring> registered;
    const std::wstring className = name != nullptr ? name : L"TaveloControl";
    auto at = registered.find(className);
    if (at == registered.end()) {
        WNDCLASSEXW cls = {};
        cls.cbSize = sizeof cls;
        cls.style = CS_DBLCLKS;
        cls.lpfnWndProc = &Control::ControlProc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hCursor = detail::CursorFor(MousePointer::Arrow);
        cls.lpszClassName = className.c_str();
        RegisterClassExW(&cls);
        at = registered.insert(className).first;
    }
    return at->c_str();
}

void Control::CreateWindowNow(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle) {
    if (ParentWindow() == nullptr) return;
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (visible_) style |= WS_VISIBLE;
    if (!enabled_) style |= WS_DISABLED;
    window_ = CreateWindowExW(exStyle, className, text.c_str(), style, left_, top_, width_, height_, ParentWindow(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    // Our own classes find their object here (the system's classes ignore it).
    if (window_ != nullptr) SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK Control::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Control* control = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (control != nullptr && control->window_ == window) {
        detail::FollowPress(window, message, wParam);
        if (message == WM_ERASEBKGND) return 1;  // Paint draws everything
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            control->Paint(dc);
            EndPaint(window, &ps);
            return 0;
        }
        LRESULT result = 0;
        if (control->OnMessage(message, wParam, lParam, result)) return result;
        if (message == WM_SETCURSOR && detail::CurrentPointer() != MousePointer::Default) {
            SetCursor(detail::CursorFor(detail::CurrentPointer()));
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
    FillSolid(dc, RECT{0, 0, width_, height_}, form_.BackColor());
    POINT old;
    SetViewportOrgEx(dc, -left_, -top_, &old);
    form_.Form_Paint(dc);
    SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

bool Control::PointerInside(LPARAM lParam) const {
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    return x >= 0 && y >= 0 && x < width_ && y < height_;
}

void Control::RaiseMouseDown(const std::function<void(int, int, int)>& handler, UINT message, LPARAM lParam) {
    if (!handler) return;
    HandlerScope scope;
    const int button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
    handler(button, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

namespace {

struct FontChoice {
    std::wstring name = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // ＭＳ Ｐゴシック
    int hundredthsOfPoint = 975;
    BYTE charset = SHIFTJIS_CHARSET;
};

FontChoice& ChosenFont() {
    static FontChoice choice;
    return choice;
}

}  // namespace

void UseDialogFont(const std::wstring& name, int hundredthsOfPoint, BYTE charset) {
    ChosenFont() = FontChoice{name, hundredthsOfPoint, charset};
}

HFONT DialogFont(bool underline) {
    static HFONT plain = nullptr, underlined = nullptr;
    HFONT& font = underline ? underlined : plain;
    if (font == nullptr) {
        const FontChoice& choice = ChosenFont();
        const win::WindowDC screen(nullptr);
        const int height = -MulDiv(choice.hundredthsOfPoint, GetDeviceCaps(screen.get(), LOGPIXELSY), 7200);
        font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE, choice.charset,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           choice.name.c_str());
    }
    return font;
}

}  // namespace forms
