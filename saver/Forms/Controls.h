// The controls of our forms layer: picture boxes with a persistent
// off-screen image, image controls, labels, combo boxes, rectangle shapes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Control.h"
#include "Picture.h"

namespace forms {

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
    void Paint(HDC dc) override;

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
    void Paint(HDC dc) override;
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
    // A left press and release on the label (the second press of a double
    // click does not count: a double click clicks once).
    std::function<void()> onClick;
    std::function<void(int button, int x, int y)> onMouseDown;  // any button

protected:
    void Create() override;
    void Paint(HDC dc) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void FitToText();
    std::string caption_;
    LabelStyle style_;
    bool pressed_ = false;  // a left press began on it and has not come up
};

class ComboBox : public Control {
public:
    ComboBox(Form& form, int left, int top, int width, int height, Control* container = nullptr);
    void AddItem(const std::string& item);
    int ListCount() const;
    std::string List(int index) const;
    void SetText(const std::string& text);
    std::string Text() const;
    // Its list is dropped down (it then takes Enter and Escape itself).
    bool ListOpen() const;

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
    void Paint(HDC dc) override;

private:
    COLORREF borderColor_;
};

}  // namespace forms
