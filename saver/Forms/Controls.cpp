#include "Controls.h"

#include <algorithm>
#include <utility>

#include "FormsInternal.h"
#include "Utf16.h"
#include "WinHandles.h"

namespace forms {

PictureBox::PictureBox(Form& form, int left, int top, int width, int height, bool visible, COLORREF backColor,
                       Control* container)
    : Control(form, container, left, top, width, height, visible), backColor_(backColor) {
    Resize(width, height);
}

// A panel: Tab walks into the controls it holds.
void PictureBox::Create() { CreateWindowNow(OwnClass(), L"", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT); }

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
        FillSolid(image->DC(), RECT{0, 0, image->Width(), image->Height()}, backColor_);
        if (image_ && image_->Valid()) BitBlt(image->DC(), 0, 0, image_->Width(), image_->Height(), image_->DC(), 0, 0, SRCCOPY);
    }
    image_ = std::move(image);
    Move(left_, top_, width, height);
}

void PictureBox::Paint(HDC dc) {
    if (image_ && image_->Valid()) BitBlt(dc, 0, 0, width_, height_, image_->DC(), 0, 0, SRCCOPY);
    if (onPaint) onPaint(dc);
}

ImageControl::ImageControl(Form& form, int left, int top, int width, int height, Control* container)
    : Control(form, container, left, top, width, height, true) {}

void ImageControl::Create() { CreateWindowNow(OwnClass(), L"", 0); }

void ImageControl::SetPicture(std::shared_ptr<Picture> picture) {
    picture_ = std::move(picture);
    if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

void ImageControl::Paint(HDC dc) {
    PaintUnderneath(dc);
    if (picture_ && picture_->Valid()) {
        BitBlt(dc, 0, 0, std::min(width_, picture_->Width()), std::min(height_, picture_->Height()), picture_->DC(),
               0, 0, SRCCOPY);
    }
}

bool ImageControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
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
        SetWindowTextW(window_, Utf8ToWide(caption_).c_str());  // what others read of it
        if (style_.autoSize) FitToText();
        InvalidateRect(window_, nullptr, TRUE);
    }
}

void Label::FitToText() {
    SIZE size = {};
    {
        const win::WindowDC dc(window_);
        const win::Selection font(dc.get(), DialogFont(style_.underline));
        const std::wstring text = Utf8ToWide(caption_);
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    Move(left_, top_, size.cx, size.cy);
}

void Label::Paint(HDC dc) {
    RECT r = {0, 0, width_, height_};
    if (style_.transparent) {
        PaintUnderneath(dc);
    } else {
        FillSolid(dc, r, style_.backColor);
    }
    if (style_.bordered) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT);
        InflateRect(&r, -2, -2);
    }
    const win::Selection font(dc, DialogFont(style_.underline));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, style_.foreColor);
    const std::wstring text = Utf8ToWide(caption_);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              (style_.centred ? DT_CENTER : DT_LEFT) | DT_WORDBREAK | DT_NOPREFIX);
}

bool Label::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_SETCURSOR:
            if (style_.pointer != MousePointer::Default) {
                SetCursor(detail::CursorFor(style_.pointer));
                result = TRUE;
                return true;
            }
            return false;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (message == WM_LBUTTONDOWN) pressed_ = true;
            RaiseMouseDown(onMouseDown, message, lParam);
            result = 0;
            return true;
        case WM_LBUTTONUP:
            if (std::exchange(pressed_, false) && PointerInside(lParam) && onClick) {
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

bool ComboBox::ListOpen() const {
    return window_ != nullptr && SendMessageW(window_, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

std::string ComboBox::Text() const {
    if (window_ == nullptr) return text_;
    wchar_t buffer[256] = {};
    GetWindowTextW(window_, buffer, 256);
    return WideToUtf8(buffer);
}

Shape::Shape(Form& form, int left, int top, int width, int height, COLORREF borderColor, Control* container)
    : Control(form, container, left, top, width, height, true), borderColor_(borderColor) {}

void Shape::Create() {
    CreateWindowNow(OwnClass(), L"", WS_DISABLED);
    if (window_ == nullptr) return;
    // Only its border is the shape: what it frames (a label, say) shows
    // through, whatever the order of the windows.
    win::Region frame(CreateRectRgn(0, 0, width_, height_));
    const win::Region inside(CreateRectRgn(1, 1, width_ - 1, height_ - 1));
    CombineRgn(frame.get(), frame.get(), inside.get(), RGN_DIFF);
    if (SetWindowRgn(window_, frame.get(), TRUE)) frame.Release();  // the window owns the region now
}

void Shape::Paint(HDC dc) {
    PaintUnderneath(dc);
    RECT r = {0, 0, width_, height_};
    const win::Brush brush(CreateSolidBrush(borderColor_));
    FrameRect(dc, &r, brush.get());
}

}  // namespace forms
