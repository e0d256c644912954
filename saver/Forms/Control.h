// The control base of our forms layer: a child window of a form (or of a
// panel inside it), positions in pixels. A new control kind is one class
// derived from it, in one file: its own window class (OwnClass), a Paint
// hook, window messages (focus, mouse) through OnMessage, timers of its
// form, and a persistent Picture.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Application.h"
#include "Form.h"

namespace forms {

// A child window of a form (or of a panel inside it); positions in pixels.
class Control {
public:
    virtual ~Control();
    HWND hWnd() const { return window_; }
    void Move(int left, int top, int width, int height);
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetVisible(bool visible);
    bool Visible() const { return visible_; }
    void SetEnabled(bool enabled);
    bool Enabled() const;
    void Refresh();

protected:
    Control(Form& form, Control* container, int left, int top, int width, int height, bool visible);
    // Creates the window once the form's window exists.
    void CreateWindowNow(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle = 0);
    HWND ParentWindow() const;
    void PaintUnderneath(HDC dc);
    // Draws the control; a control of our own classes gets no background
    // erase, and this is called between BeginPaint and EndPaint.
    virtual void Paint(HDC /*dc*/) {}
    // Raises a mouse-down event (button 1 left, 2 right, 4 middle) with the
    // position a button message carries.
    static void RaiseMouseDown(const std::function<void(int, int, int)>& handler, UINT message, LPARAM lParam);
    // The point a mouse message carries lies on the control (a release can
    // come from anywhere: the control keeps the mouse from its press on).
    bool PointerInside(LPARAM lParam) const;
    virtual void Create() = 0;
    // Window messages of a control of our own class, besides painting.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // A window class of our own, registered on first use: a control kind
    // that wants its own class (say, for a test to find it) names it.
    static const wchar_t* OwnClass(const wchar_t* name = nullptr);

    Form& form_;
    Control* container_;
    HWND window_ = nullptr;
    int left_, top_, width_, height_;
    bool visible_;
    bool enabled_ = true;

private:
    friend class Form;
};

// The font every control draws its text in: "ＭＳ Ｐゴシック" 9.75 pt in the
// Shift-JIS character set unless another is chosen before the first use.
void UseDialogFont(const std::wstring& name, int hundredthsOfPoint, BYTE charset);
HFONT DialogFont(bool underline = false);

}  // namespace forms
