// tavelo's window on the X display and its OpenGL context through EGL, as
// xscreensaver's own GL programs draw (GLWindow_x11.cpp): the window it is
// given, the root window, or one of its own; and the pictures of the screen
// it can find there. A display with no OpenGL at all still gets a window,
// for a picture without water.
#pragma once

#include <memory>
#include <string>

#include "DIB.h"
#include "HackOptions.h"
#include "ScreenLayout.h"

class GLWindow {
public:
    GLWindow();
    ~GLWindow();
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;

    // The display and the window, with a GL context current in the window's
    // own visual where EGL offers one (else in a child window of an EGL
    // visual covering it). Never a top-level window of its own when given
    // one. grabRoot: the root window's picture is taken first (only where
    // the user lets programs grab the desktop). False, with the reason on
    // standard error, when there is no display or window; without GL it is
    // true and HasGL() false.
    bool Open(const HackOptions& options, bool grabRoot);
    bool HasGL() const;

    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelRect OnScreen() const;  // the window's place on the screen
    PixelRect Screen() const;    // the whole screen (the root window)

    // xscreensaver's picture of the screen before it blanked: the pixmap
    // named by the window's _SCREENSAVER_SCREENSHOT property. None without it.
    std::unique_ptr<RGBImage> SaverScreenshot() const;
    // The root window as it was at the start (before a window of its own
    // showed), held by the window; none where it was not taken or cannot be
    // read.
    const RGBImage* RootPicture() const { return rootAtStart_.get(); }

    // The window's events; false once it is gone or closed (its own: the
    // close box or Escape). resized: its size changed.
    bool HandleEvents(bool& resized);
    void Swap();
    // True only where the display takes the interval.
    bool SetSwapInterval(int interval);
    // Without GL: the picture (the window's size) put in the window as it is.
    void ShowPicture(const RGBImage& picture);
    // For the window's events or ms milliseconds, whichever comes first; a
    // signal cuts it short.
    void Wait(int ms);
    std::string RendererName() const;

private:
    struct X;
    std::unique_ptr<X> x_;
    int width_ = 0, height_ = 0;
    std::unique_ptr<RGBImage> rootAtStart_;
};
