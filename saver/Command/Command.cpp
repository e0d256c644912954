#include "Command.h"

#include <cstdio>

#include "CommandGeometry.h"
#include "Texts.h"
#include "Utf16.h"
#include "WinHandles.h"
#include "resource.h"

namespace {

constexpr int kLabelHeightTwips = 195;  // LblMsg's design height
// The dialog's font, stored whole as one text: name, size, weight, italic,
// character set ("ＭＳ Ｐゴシック,9.75,400,0,128" on a Japanese system).
std::string DesignFont() {
    const DialogFontFace& face = DialogFace();
    char size[16];
    std::snprintf(size, sizeof size, "%g", face.hundredthsOfPoint / 100.0);
    return std::string(face.name) + "," + size + ",400,0," + std::to_string(face.charset);
}

int PictureOf(Face face) {
    switch (face) {
        case Face::Normal: return IDB_BUTTON_NORMAL;
        case Face::HighLight:
        case Face::HighLightSelect: return IDB_BUTTON_HIGHLIGHT;
        case Face::Pressed: return IDB_BUTTON_PRESSED;
        case Face::Disable: return IDB_BUTTON_DISABLE;
        case Face::Selected: return IDB_BUTTON_SELECTED;
    }
    return IDB_BUTTON_NORMAL;
}

TRIVERTEX Vertex(LONG x, LONG y, const char* colourText) {
    const VertexColour c = VertexColourOf(colourText);
    TRIVERTEX v = {};
    v.x = x;
    v.y = y;
    v.Red = c.red;
    v.Green = c.green;
    v.Blue = c.blue;
    v.Alpha = 0;
    return v;
}

}  // namespace

Command::Command(forms::Form& form, int left, int top, int width, int height, const std::string& caption,
                 forms::Control* container)
    : Control(form, container, left, top, width, height, true),
      logic_(*this),
      hover_(form, 100, false, [this] { HoverTick(); }) {
    properties.Write("Caption", caption, "Command");
    properties.Write("Font", DesignFont(), "");
}

Command::~Command() = default;

void Command::Create() {
    CreateWindowNow(OwnClass(L"TaveloCommand"), L"", WS_TABSTOP);
    if (window_ == nullptr) return;
    for (Face face : {Face::Normal, Face::HighLight, Face::Pressed, Face::Disable, Face::Selected,
                      Face::HighLightSelect}) {
        pictures_[static_cast<int>(face)] = forms::Picture::FromResource(PictureOf(face));
    }
    face_ = std::make_unique<forms::Picture>(width_, height_);
    // The container creates the control, reads its properties, sizes it.
    logic_.ReadProperties(properties, "");
    logic_.Resize();
    ShowCaptionToOthers();
}

// The caption as the window's text too: what screen readers and other
// programs read of a button.
void Command::ShowCaptionToOthers() {
    if (window_ != nullptr) SetWindowTextW(window_, Utf8ToWide(logic_.Caption()).c_str());
}

void Command::SetEnabled(bool enabled) {
    if (!enabled && window_ != nullptr && GetFocus() == window_) {
        HWND form = GetAncestor(window_, GA_ROOT);
        HWND next = GetNextDlgTabItem(form, window_, FALSE);
        SetFocus(next != nullptr && next != window_ ? next : form);
    }
    logic_.SetEnabled(enabled);
    forms::Control::SetEnabled(enabled);
}

void Command::SetCaption(const std::string& caption) {
    logic_.SetCaption(caption);
    ShowCaptionToOthers();
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

// The face: cleared, the gradient, the eight frame pieces, then shown.
void Command::DrawButton(Face face, bool inverted) {
    if (!face_ || !face_->Valid()) return;
    HDC dc = face_->DC();
    forms::FillSolid(dc, RECT{0, 0, width_, height_}, GetSysColor(COLOR_BTNFACE));

    TRIVERTEX vertices[2] = {Vertex(0, 0, inverted ? kGradientDark : kGradientLight),
                             Vertex(width_ - 1, height_ - 1, inverted ? kGradientLight : kGradientDark)};
    GRADIENT_RECT mesh = {0, 1};
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);

    // The frame: cut from the picture in its own pixels, stretched into the
    // face's, nearest pixel (no colour of one strip is blended into another).
    std::array<PixelPiece, 8> pieces;
    const std::shared_ptr<forms::Picture>& picture = pictures_[static_cast<int>(face)];
    if (picture && picture->Valid() && FramePiecesInPixels(width_, height_, forms::Screen::DotsPerInchY(), pieces)) {
        const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
        for (const PixelPiece& p : pieces) {
            StretchBlt(dc, p.destination.x, p.destination.y, p.destination.width, p.destination.height, picture->DC(),
                       p.source.x, p.source.y, p.source.width, p.source.height, SRCCOPY);
        }
        SetStretchBltMode(dc, oldMode);
    }
    GdiFlush();
    Refresh();
}

void Command::Paint(HDC dc) {
    if (backStyle_ != 0 && face_ && face_->Valid()) {
        BitBlt(dc, 0, 0, width_, height_, face_->DC(), 0, 0, SRCCOPY);
    } else {
        PaintUnderneath(dc);  // transparent: the face does not show
    }
    // The caption label across the face, 10 twips above the middle.
    RECT r = {0, forms::Screen::PixelsY(CaptionTop(forms::Screen::TwipsY(height_), kLabelHeightTwips)), width_, height_};
    const win::Selection font(dc, forms::DialogFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, captionEnabled_ ? static_cast<COLORREF>(captionColour_) : GetSysColor(COLOR_GRAYTEXT));
    const std::wstring text = Utf8ToWide(logic_.Caption());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void Command::SetCaptionEnabled(bool enabled) {
    captionEnabled_ = enabled;
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

void Command::SetCaptionColour(uint32_t colour) {
    captionColour_ = colour;
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

void Command::SetBackStyle(int style) {
    backStyle_ = style;
    if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

void Command::StartHoverTimer(unsigned intervalMs) {
    hover_.SetInterval(intervalMs);
    hover_.SetEnabled(true);
}

void Command::Click() {
    if (onClick) {
        forms::HandlerScope scope;
        onClick();
    }
}

// TmrMouse: the pointer is over the button exactly while the window under
// it is the button's own.
void Command::HoverTick() {
    POINT point;
    if (window_ == nullptr || !GetCursorPos(&point)) return;
    logic_.HoverTick(WindowFromPoint(point) == window_);
}

bool Command::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_MOUSEMOVE:
            logic_.MouseMove();
            return true;
        case WM_LBUTTONDOWN:
            // The press first, then the focus it brings (2 to 4, Pressed).
            logic_.MouseDown(1);
            if (GetFocus() != window_) SetFocus(window_);
            return true;
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            logic_.MouseDown(message == WM_RBUTTONDOWN ? 2 : 4);
            return true;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            logic_.MouseUp(message == WM_LBUTTONUP ? 1 : message == WM_RBUTTONUP ? 2 : 4, PointerInside(lParam));
            return true;
        case WM_SETFOCUS:
            logic_.GotFocus();
            return true;
        case WM_KILLFOCUS:
            logic_.LostFocus();
            return true;
        case WM_GETDLGCODE:
            result = DLGC_WANTALLKEYS;
            return true;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) logic_.KeyClick();
            if (wParam == VK_TAB) {
                // Through the form's tab order.
                HWND next = GetNextDlgTabItem(GetAncestor(window_, GA_ROOT), window_, GetKeyState(VK_SHIFT) < 0);
                if (next != nullptr) SetFocus(next);
            }
            return true;
        case WM_KEYUP:
            if (wParam == VK_SPACE) logic_.KeyClick();
            return true;
        default:
            return false;
    }
}
