// The X11 and GLX calls of tavelo, and nothing else.
#include "GlxWindow.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <GL/gl.h>
#include <GL/glx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

int g_xErrors = 0;  // a foreign window may go at any moment: errors are counted, not fatal
int CountXError(Display*, XErrorEvent*) {
    ++g_xErrors;
    return 0;
}

// The position of each colour channel in a pixel of that visual.
struct Channel {
    unsigned long mask;
    int shift, bits;
};
Channel ChannelOf(unsigned long mask) {
    Channel c{mask, 0, 0};
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++c.shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++c.bits;
    }
    return c;
}
uint8_t Value(unsigned long pixel, const Channel& c) {
    if (c.bits == 0) return 0;
    const unsigned long v = (pixel & c.mask) >> c.shift;
    return static_cast<uint8_t>(c.bits >= 8 ? v >> (c.bits - 8) : (v * 255) / ((1ul << c.bits) - 1));
}

// A drawable's pixels (a true-colour visual's) as RGB, bottom row first.
std::unique_ptr<RGBImage> ReadPicture(Display* display, Drawable drawable, int width, int height, Visual* visual) {
    if (width <= 0 || height <= 0 || visual == nullptr || visual->red_mask == 0) return nullptr;
    const int errors = g_xErrors;
    XImage* image = XGetImage(display, drawable, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == nullptr || g_xErrors != errors) {
        if (image != nullptr) XDestroyImage(image);
        return nullptr;
    }
    const Channel r = ChannelOf(visual->red_mask), g = ChannelOf(visual->green_mask), b = ChannelOf(visual->blue_mask);
    auto picture = std::make_unique<RGBImage>();
    picture->width = width;
    picture->height = height;
    picture->data.resize(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &picture->data[size_t(height - 1 - y) * width * 3];
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            row[3 * x] = Value(pixel, r);
            row[3 * x + 1] = Value(pixel, g);
            row[3 * x + 2] = Value(pixel, b);
        }
    }
    XDestroyImage(image);
    return picture;
}

bool UsableForGL(Display* display, XVisualInfo* info) {
    int gl = 0, rgba = 0, doubled = 0;
    return glXGetConfig(display, info, GLX_USE_GL, &gl) == 0 && gl && glXGetConfig(display, info, GLX_RGBA, &rgba) == 0 &&
           rgba && glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubled) == 0 && doubled;
}

}  // namespace

struct GlxWindow::X {
    Display* display = nullptr;
    Window target = 0;    // the window given (or the root, or our own)
    Window drawn = 0;     // the window GL draws into: the target, or our child of it
    bool madeWindow = false;  // drawn is ours (our own window, or a child with a GL visual)
    bool ownTopLevel = false;
    Colormap colormap = 0;
    GLXContext context = nullptr;
    Atom deleteWindow = 0;
    Visual* screenVisual = nullptr;
    int screenDepth = 0;
};

GlxWindow::GlxWindow() : x_(std::make_unique<X>()) {}

GlxWindow::~GlxWindow() {
    X& x = *x_;
    if (x.display == nullptr) return;
    if (x.context != nullptr) {
        glXMakeCurrent(x.display, None, nullptr);
        glXDestroyContext(x.display, x.context);
    }
    if (x.madeWindow && x.drawn != 0) XDestroyWindow(x.display, x.drawn);
    if (x.colormap != 0) XFreeColormap(x.display, x.colormap);
    XCloseDisplay(x.display);
}

bool GlxWindow::Open(const HackOptions& options) {
    X& x = *x_;
    XSetErrorHandler(CountXError);
    x.display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (x.display == nullptr) {
        std::fprintf(stderr, "tavelo: cannot open the display %s\n", XDisplayName(options.display.c_str()));
        return false;
    }
    const int screen = DefaultScreen(x.display);
    const Window root = RootWindow(x.display, screen);
    x.screenVisual = DefaultVisual(x.display, screen);
    x.screenDepth = DefaultDepth(x.display, screen);

    // The window to draw in, and its visual.
    XWindowAttributes attributes = {};
    if (options.target == HackOptions::Target::OwnWindow) {
        x.target = root;  // our own is made below, over the root's picture taken first
        XGetWindowAttributes(x.display, root, &attributes);
        rootAtStart_ = ReadPicture(x.display, root, attributes.width, attributes.height, x.screenVisual);
        attributes.width = std::min(attributes.width, 1280);
        attributes.height = std::min(attributes.height, 800);
    } else {
        x.target = options.target == HackOptions::Target::Root ? root : Window(options.window);
        const int errors = g_xErrors;
        if (!XGetWindowAttributes(x.display, x.target, &attributes) || g_xErrors != errors) {
            std::fprintf(stderr, "tavelo: no window 0x%lx\n", static_cast<unsigned long>(x.target));
            return false;
        }
        XWindowAttributes rootAttributes = {};
        XGetWindowAttributes(x.display, root, &rootAttributes);
        rootAtStart_ = ReadPicture(x.display, root, rootAttributes.width, rootAttributes.height, x.screenVisual);
    }
    width_ = attributes.width;
    height_ = attributes.height;

    XVisualInfo wanted = {};
    int count = 0;
    XVisualInfo* visual = nullptr;
    if (options.target != HackOptions::Target::OwnWindow) {
        wanted.visualid = XVisualIDFromVisual(attributes.visual);
        visual = XGetVisualInfo(x.display, VisualIDMask, &wanted, &count);
    }
    const bool drawInTarget = visual != nullptr && UsableForGL(x.display, visual);
    if (!drawInTarget) {
        if (visual != nullptr) XFree(visual);
        int glAttributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 5, GLX_GREEN_SIZE, 5, GLX_BLUE_SIZE, 5,
                              GLX_DEPTH_SIZE, 16, None};
        visual = glXChooseVisual(x.display, screen, glAttributes);
        if (visual == nullptr) {
            std::fprintf(stderr, "tavelo: this display has no OpenGL visual\n");
            return false;
        }
    }

    if (drawInTarget) {
        x.drawn = x.target;
    } else {
        // A window of ours: the top-level one for trying it by hand, or a
        // child of the window given, in a GL visual, covering it.
        x.ownTopLevel = options.target == HackOptions::Target::OwnWindow;
        const Window parent = x.ownTopLevel ? root : x.target;
        x.colormap = XCreateColormap(x.display, parent, visual->visual, AllocNone);
        XSetWindowAttributes set = {};
        set.colormap = x.colormap;
        set.background_pixel = BlackPixel(x.display, screen);
        set.border_pixel = 0;
        set.event_mask = StructureNotifyMask | KeyPressMask;
        x.drawn = XCreateWindow(x.display, parent, 0, 0, unsigned(width_), unsigned(height_), 0, visual->depth,
                                InputOutput, visual->visual, CWColormap | CWBackPixel | CWBorderPixel | CWEventMask,
                                &set);
        x.madeWindow = true;
        if (x.ownTopLevel) {
            XStoreName(x.display, x.drawn, "Tavelo");
            x.deleteWindow = XInternAtom(x.display, "WM_DELETE_WINDOW", False);
            XSetWMProtocols(x.display, x.drawn, &x.deleteWindow, 1);
        }
        XMapRaised(x.display, x.drawn);
    }
    // The given window's size changes and its going are followed.
    if (!x.ownTopLevel) XSelectInput(x.display, x.target, StructureNotifyMask);

    x.context = glXCreateContext(x.display, visual, nullptr, True);
    XFree(visual);
    if (x.context == nullptr || !glXMakeCurrent(x.display, x.drawn, x.context)) {
        std::fprintf(stderr, "tavelo: no OpenGL context for the window\n");
        return false;
    }
    return true;
}

PixelRect GlxWindow::OnScreen() const {
    const X& x = *x_;
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(x.display, x.drawn, DefaultRootWindow(x.display), 0, 0, &left, &top, &child);
    return PixelRect{left, top, left + width_, top + height_};
}

std::unique_ptr<RGBImage> GlxWindow::SaverScreenshot() const {
    const X& x = *x_;
    const Atom property = XInternAtom(x.display, "_SCREENSAVER_SCREENSHOT", True);
    if (property == None || x.ownTopLevel) return nullptr;
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const int errors = g_xErrors;
    if (XGetWindowProperty(x.display, x.target, property, 0, 1, False, XA_PIXMAP, &type, &format, &items, &after,
                           &data) != Success || g_xErrors != errors || data == nullptr) {
        return nullptr;
    }
    const Pixmap pixmap = items == 1 && format == 32 ? *reinterpret_cast<Pixmap*>(data) : 0;
    XFree(data);
    if (pixmap == 0) return nullptr;
    Window root = 0;
    int px = 0, py = 0;
    unsigned int width = 0, height = 0, border = 0, depth = 0;
    if (!XGetGeometry(x.display, pixmap, &root, &px, &py, &width, &height, &border, &depth) ||
        int(depth) != x.screenDepth) {
        return nullptr;
    }
    return ReadPicture(x.display, pixmap, int(width), int(height), x.screenVisual);
}

bool GlxWindow::HandleEvents(bool& resized) {
    X& x = *x_;
    resized = false;
    if (g_xErrors > 0 && !x.ownTopLevel) {
        // The window given may have gone: ask once whether it is still there.
        XWindowAttributes a = {};
        const int errors = g_xErrors;
        if (!XGetWindowAttributes(x.display, x.target, &a) || g_xErrors != errors) return false;
    }
    while (XPending(x.display) > 0) {
        XEvent event;
        XNextEvent(x.display, &event);
        switch (event.type) {
            case ConfigureNotify:
                if ((event.xconfigure.window == x.target && !x.ownTopLevel) ||
                    (event.xconfigure.window == x.drawn && x.ownTopLevel)) {
                    if (event.xconfigure.width != width_ || event.xconfigure.height != height_) {
                        width_ = event.xconfigure.width;
                        height_ = event.xconfigure.height;
                        resized = true;
                        if (x.madeWindow && !x.ownTopLevel) {
                            XResizeWindow(x.display, x.drawn, unsigned(width_), unsigned(height_));
                        }
                    }
                }
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == x.target || event.xdestroywindow.window == x.drawn) {
                    if (event.xdestroywindow.window == x.drawn) x.drawn = 0, x.madeWindow = false;
                    return false;
                }
                break;
            case KeyPress:
                if (x.ownTopLevel && XLookupKeysym(&event.xkey, 0) == XK_Escape) return false;
                break;
            case ClientMessage:
                if (x.ownTopLevel && static_cast<Atom>(event.xclient.data.l[0]) == x.deleteWindow) return false;
                break;
            default:
                break;
        }
    }
    return true;
}

void GlxWindow::Swap() { glXSwapBuffers(x_->display, x_->drawn); }

bool GlxWindow::SetSwapInterval(int interval) {
    X& x = *x_;
    using Ext = void (*)(Display*, GLXDrawable, int);
    using Mesa = int (*)(unsigned int);
    using Sgi = int (*)(int);
    if (auto ext = reinterpret_cast<Ext>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")))) {
        ext(x.display, x.drawn, interval);
        return true;
    }
    if (auto mesa = reinterpret_cast<Mesa>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")))) {
        return mesa(unsigned(interval)) == 0;
    }
    if (auto sgi = reinterpret_cast<Sgi>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalSGI")))) {
        return sgi(interval) == 0;
    }
    return false;
}

void GlxWindow::Wait(int ms) {
    X& x = *x_;
    XFlush(x.display);
    if (XPending(x.display) > 0) return;
    pollfd connection = {ConnectionNumber(x.display), POLLIN, 0};
    poll(&connection, 1, ms);  // a signal ends it early (EINTR)
}

std::string GlxWindow::RendererName() const {
    const GLubyte* name = glGetString(GL_RENDERER);
    return name != nullptr ? reinterpret_cast<const char*>(name) : "";
}
