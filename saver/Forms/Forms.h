// Our small forms layer over Win32, for the saver program: forms with
// load/show/unload and their handlers, timers whose ticks come only between
// handlers, picture boxes with a persistent off-screen image, image
// controls, labels, combo boxes, rectangle shapes, the screen, message
// boxes, starting programs, and the program's life: it ends when no form is
// loaded any more. Texts are UTF-8; windows are Unicode.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class Form;

// ---- The program ----------------------------------------------------------

class Application {
public:
    // Dispatches messages until no form is loaded (or WM_QUIT arrives).
    static void Run();
    // Ends the process at once: no unload handler runs.
    [[noreturn]] static void EndAtOnce(int exitCode = 0);
    static int LoadedForms();
    // The argument text after the program's file name.
    static std::string CommandLine();
    // OK-only message box captioned with the program's title; returns when closed.
    static void MsgBox(const std::string& text, HWND owner = nullptr);
    // Starts a program file as a new process, its window shown normally and
    // given the focus; the process's handle (the caller closes it), or
    // nullptr when it cannot be started.
    // The caption of the program's message boxes.
    static void SetTitle(const std::string& title);
    static HANDLE Shell(const std::string& path, const std::string& arguments = std::string());
    // True while an event handler runs (ticks wait for the next gap).
    static bool InHandler();

private:
    friend class Form;
    friend class HandlerScope;
    static int loadedForms_;
    static int handlerDepth_;
};

// Marks the time an event handler runs.
class HandlerScope {
public:
    HandlerScope() { ++Application::handlerDepth_; }
    ~HandlerScope() { --Application::handlerDepth_; }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

// ---- The screen -----------------------------------------------------------

enum class MousePointer { Default, Arrow, Hourglass, Hand };

struct Screen {
    static int TwipsPerPixelX();  // 15 at 96 dots per inch
    static int TwipsPerPixelY();
    static int Width();           // twips
    static int Height();
    static int WidthPixels();
    static int HeightPixels();
    static void SetMousePointer(MousePointer pointer);
    static MousePointer GetMousePointer();
};

// ---- Pictures ---------------------------------------------------------------

// A picture held by a control: a 32-bit top-down DIB section.
class Picture {
public:
    Picture() = default;
    Picture(int width, int height);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    static std::shared_ptr<Picture> FromResource(int resourceId);
    static std::shared_ptr<Picture> FromBitmap(HBITMAP bitmap);  // takes a copy

    int Width() const { return width_; }
    int Height() const { return height_; }
    HDC DC() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    bool Valid() const { return dc_ != nullptr; }
    // The picture as a 24-bit BMP file; false when it cannot be written.
    bool Save(const std::string& path) const;
    // RGB bytes, top row first.
    std::vector<uint8_t> Pixels() const;

private:
    int width_ = 0, height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

// ---- Forms and controls ---------------------------------------------------------

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
    // Raises a mouse-down event (button 1 left, 2 right, 4 middle) with the
    // position a button message carries.
    static void RaiseMouseDown(const std::function<void(int, int, int)>& handler, UINT message, LPARAM lParam);
    virtual void Create() = 0;
    // Window messages of a control of our own class.
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static const wchar_t* OwnClass();

    Form& form_;
    Control* container_;
    HWND window_ = nullptr;
    int left_, top_, width_, height_;
    bool visible_;
    bool enabled_ = true;

private:
    friend class Form;
};

// A picture box whose image persists off-screen: drawing goes into DC(), a
// refresh shows it, and the image can be saved as a bitmap file.
class PictureBox : public Control {
public:
    PictureBox(Form& form, int left, int top, int width, int height, bool visible = true,
               COLORREF backColor = RGB(0, 0, 0), Control* container = nullptr);
    HDC DC();                          // the off-screen image's device context
    Picture& Image();
    void SetPicture(std::shared_ptr<Picture> picture);  // a design-time picture
    const std::shared_ptr<Picture>& PictureOf() const { return picture_; }
    bool SavePicture(const std::string& path) const;    // the design-time picture, else the image
    void Resize(int width, int height);  // keeps what was drawn
    int ScaleWidth() const { return width_; }
    int ScaleHeight() const { return height_; }
    std::function<void(HDC)> onPaint;  // draws over the image when shown

protected:
    void Create() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    COLORREF backColor_;
    std::unique_ptr<Picture> image_;
    std::shared_ptr<Picture> picture_;
};

// An image control: its picture drawn at its own size from the top-left corner.
class ImageControl : public Control {
public:
    ImageControl(Form& form, int left, int top, int width, int height, Control* container = nullptr);
    void SetPicture(std::shared_ptr<Picture> picture);
    const std::shared_ptr<Picture>& PictureOf() const { return picture_; }
    std::function<void(int button, int x, int y)> onMouseDown;

protected:
    void Create() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    std::shared_ptr<Picture> picture_;
};

struct LabelStyle {
    COLORREF foreColor = RGB(0, 0, 0);
    bool transparent = true;
    COLORREF backColor = RGB(0xC0, 0xC0, 0xC0);
    bool centred = false;
    bool bordered = false;
    bool underline = false;
    bool autoSize = false;
    MousePointer pointer = MousePointer::Default;
};

class Label : public Control {
public:
    Label(Form& form, int left, int top, int width, int height, std::string caption, LabelStyle style = {},
          Control* container = nullptr);
    void SetCaption(const std::string& caption);
    const std::string& Caption() const { return caption_; }
    std::function<void()> onClick;
    std::function<void(int button, int x, int y)> onMouseDown;

protected:
    void Create() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FitToText();
    std::string caption_;
    LabelStyle style_;
};

class ComboBox : public Control {
public:
    ComboBox(Form& form, int left, int top, int width, int height, Control* container = nullptr);
    void AddItem(const std::string& item);
    int ListCount() const;
    std::string List(int index) const;
    void SetText(const std::string& text);
    std::string Text() const;

protected:
    void Create() override;

private:
    std::vector<std::string> pending_;
    std::string text_;
};

// A rectangle drawn with a border colour.
class Shape : public Control {
public:
    Shape(Form& form, int left, int top, int width, int height, COLORREF borderColor, Control* container = nullptr);

protected:
    void Create() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    COLORREF borderColor_;
};

// The font the saver's dialog uses ("ＭＳ Ｐゴシック" 9.75 pt, Shift-JIS character set).
HFONT DialogFont(bool underline = false);

}  // namespace forms
