// Forms of our forms layer, with load/show/unload and their handlers, and
// their timers, whose ticks come only between handlers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Application.h"

namespace forms {

enum class Border { None, FixedSingle };

struct FormStyle {
    std::string caption;
    Border border = Border::FixedSingle;
    COLORREF backColor = RGB(0xC0, 0xC0, 0xC0);
    int iconResource = 0;  // 0: the system's
};

// Why a form is being unloaded (the unload mode of Form_QueryUnload).
enum UnloadMode { FormControlMenu = 0, FormCode = 1, AppWindows = 2 };

class Control;

class Form {
public:
    explicit Form(FormStyle style);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    void Load();                     // creates the window, hidden; Form_Load
    void Show(bool modal = false);   // loads first if needed; modal returns once unloaded
    void Hide();
    void Unload(int mode = FormCode);  // Form_QueryUnload, then Form_Unload, then the window goes
    bool IsLoaded() const { return window_ != nullptr; }
    HWND hWnd() const { return window_; }

    std::string Caption() const { return style_.caption; }
    // Outer position and size in twips.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void Move(int left, int top, int width, int height);
    void SetClientSize(int width, int height);  // pixels
    // The inner area, in pixels.
    int ScaleWidth() const;
    int ScaleHeight() const;
    COLORREF BackColor() const { return style_.backColor; }

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(int& /*cancel*/, int /*mode*/) {}
    virtual void Form_Unload(int& /*cancel*/) {}
    virtual void Form_Resize() {}
    // Paints what the form draws itself; the background is already filled.
    virtual void Form_Paint(HDC /*dc*/) {}
    // A key going down while the form is shown modally, before the control
    // with the focus sees it; true when the form took it.
    virtual bool Form_KeyPreview(UINT /*virtualKey*/) { return false; }
    // Messages the form wants besides the ones the layer handles.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) { return false; }

private:
    friend class Control;
    friend class Timer;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Destroyed();

    FormStyle style_;
    HWND window_ = nullptr;
    bool unloading_ = false;
    bool shownOnce_ = false;
    std::vector<class Timer*> timers_;
    std::vector<Control*> controls_;
};

class Timer {
public:
    Timer(Form& owner, UINT intervalMs, bool enabled, std::function<void()> onTick);
    ~Timer();
    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetInterval(UINT intervalMs);
    UINT Interval() const { return interval_; }

private:
    friend class Form;
    void Arm();  // sets or kills the system timer to match
    void Tick();

    Form& owner_;
    UINT interval_;
    bool enabled_;
    std::function<void()> onTick_;
    UINT_PTR id_;
};

}  // namespace forms
