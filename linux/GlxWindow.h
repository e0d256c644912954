// tavelo's window on the X display and its GL context (GlxWindow_x11.cpp):
// the window it is given, the root window, or one of its own; and the
// pictures of the screen it can find there.
#pragma once

#include <memory>
#include <string>

#include "DIB.h"
#include "HackOptions.h"
#include "ScreenLayout.h"

class GlxWindow {
public:
    GlxWindow();
    ~GlxWindow();
    GlxWindow(const GlxWindow&) = delete;
    GlxWindow& operator=(const GlxWindow&) = delete;

    // The display and the window, with a GL context current in the window's
    // own visual (where that visual has no GL, in a child window of a GL
    // visual covering it). Never a top-level window of its own when given
    // one. False, with the reason on standard error, when it cannot.
    bool Open(const HackOptions& options);

    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelRect OnScreen() const;  // the window's place on the screen

    // xscreensaver's picture of the screen before it blanked: the pixmap
    // named by the window's _SCREENSAVER_SCREENSHOT property. None without it.
    std::unique_ptr<RGBImage> SaverScreenshot() const;
    // The root window as it was at the start (before a window of its own
    // showed), held by the window; none where it cannot be read.
    const RGBImage* RootPicture() const { return rootAtStart_.get(); }

    // The window's events; false once it is gone or closed (its own: the
    // close box or Escape). resized: its size changed.
    bool HandleEvents(bool& resized);
    void Swap();
    bool SetSwapInterval(int interval);
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
