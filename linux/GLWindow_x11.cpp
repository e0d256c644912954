// The X11 and EGL calls of tavelo, and nothing else.
#include "GLWindow.h"

#include <X11/Xatom.h>
#include <X11/keysym.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <EGL/egl.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// An EGL configuration for a double-buffered RGB window with a depth
// buffer and desktop OpenGL; the one whose visual is `prefer` where there is
// one. Its visual id in visualId.
EGLConfig ChooseConfig(EGLDisplay display, VisualID prefer, VisualID& visualId) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE,     5,              EGL_GREEN_SIZE,      5,
                             EGL_BLUE_SIZE,    5,              EGL_DEPTH_SIZE,      16,
                             EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0) return nullptr;
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    EGLConfig chosen = nullptr;
    for (EGLint i = 0; i < count; ++i) {
        EGLint id = 0;
        if (!eglGetConfigAttrib(display, configs[size_t(i)], EGL_NATIVE_VISUAL_ID, &id) || id == 0) continue;
        if (chosen == nullptr || VisualID(id) == prefer) {
            chosen = configs[size_t(i)];
            visualId = VisualID(id);
            if (visualId == prefer) break;
        }
    }
    return chosen;
}

}  // namespace

struct GLWindow::X {
    Display* display = nullptr;
    Window target = 0;    // the window given (or the root, or our own)
    Window drawn = 0;     // the window drawn into: the target, or our child of it
    bool madeWindow = false;  // drawn is ours (our own window, or a child in EGL's visual)
    bool ownTopLevel = false;
    Colormap colormap = 0;
    EGLDisplay egl = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
    Atom deleteWindow = 0;
    Visual* screenVisual = nullptr;
    int screenDepth = 0;
    int errorsSeen = 0;  // the X errors already asked about
};

GLWindow::GLWindow() : x_(std::make_unique<X>()) {}

GLWindow::~GLWindow() {
    X& x = *x_;
    if (x.display == nullptr) return;
    if (x.egl != EGL_NO_DISPLAY) {
        eglMakeCurrent(x.egl, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (x.context != EGL_NO_CONTEXT) eglDestroyContext(x.egl, x.context);
        if (x.surface != EGL_NO_SURFACE) eglDestroySurface(x.egl, x.surface);
        eglTerminate(x.egl);
    }
    if (x.madeWindow && x.drawn != 0) XDestroyWindow(x.display, x.drawn);
    if (x.colormap != 0) XFreeColormap(x.display, x.colormap);
    XCloseDisplay(x.display);
}

bool GLWindow::Open(const HackOptions& options, bool grabRoot) {
    X& x = *x_;
    XSetErrorHandler(CountXError);
    x.display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (x.display == nullptr) {
        const char* name = XDisplayName(options.display.empty() ? nullptr : options.display.c_str());
        if (name == nullptr || *name == 0) {
            std::fprintf(stderr, "tavelo: cannot open a display: none is set (DISPLAY, or --display)\n");
        } else {
            std::fprintf(stderr, "tavelo: cannot open the display %s\n", name);
        }
        return false;
    }
    const int screen = DefaultScreen(x.display);
    const Window root = RootWindow(x.display, screen);
    x.screenVisual = DefaultVisual(x.display, screen);
    x.screenDepth = DefaultDepth(x.display, screen);

    // The window to draw in, and its visual.
    XWindowAttributes attributes = {};
    XWindowAttributes rootAttributes = {};
    XGetWindowAttributes(x.display, root, &rootAttributes);
    if (options.target == HackOptions::Target::OwnWindow) {
        x.target = root;  // our own is made below, over the root's picture taken first
        attributes = rootAttributes;
        attributes.width = std::min(attributes.width, 1280);
        attributes.height = std::min(attributes.height, 800);
    } else {
        x.target = options.target == HackOptions::Target::Root ? root : Window(options.window);
        const int errors = g_xErrors;
        if (!XGetWindowAttributes(x.display, x.target, &attributes) || g_xErrors != errors) {
            std::fprintf(stderr, "tavelo: no window 0x%lx\n", static_cast<unsigned long>(x.target));
            return false;
        }
    }
    if (grabRoot) {
        rootAtStart_ = ReadPicture(x.display, root, rootAttributes.width, rootAttributes.height, x.screenVisual);
    }
    width_ = attributes.width;
    height_ = attributes.height;

    // EGL on this display, in the target's own visual where it offers that.
    const VisualID targetVisual =
        options.target == HackOptions::Target::OwnWindow ? 0 : XVisualIDFromVisual(attributes.visual);
    VisualID visualId = 0;
    EGLConfig config = nullptr;
    x.egl = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(x.display));
    if (x.egl != EGL_NO_DISPLAY && !eglInitialize(x.egl, nullptr, nullptr)) x.egl = EGL_NO_DISPLAY;
    if (x.egl != EGL_NO_DISPLAY && eglBindAPI(EGL_OPENGL_API)) config = ChooseConfig(x.egl, targetVisual, visualId);
    const bool drawInTarget = options.target != HackOptions::Target::OwnWindow &&
                              (config == nullptr || visualId == targetVisual);

    if (drawInTarget) {
        x.drawn = x.target;
    } else {
        // A window of ours: the top-level one for trying it by hand, or a
        // child of the window given, in EGL's visual, covering it.
        XVisualInfo wanted = {};
        wanted.visualid = config != nullptr ? visualId : XVisualIDFromVisual(x.screenVisual);
        int count = 0;
        XVisualInfo* visual = XGetVisualInfo(x.display, VisualIDMask, &wanted, &count);
        if (visual == nullptr) {
            std::fprintf(stderr, "tavelo: no visual 0x%lx\n", static_cast<unsigned long>(wanted.visualid));
            return false;
        }
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
        XFree(visual);
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

    if (config != nullptr) {
        x.surface = eglCreateWindowSurface(x.egl, config, static_cast<EGLNativeWindowType>(x.drawn), nullptr);
        if (x.surface != EGL_NO_SURFACE) x.context = eglCreateContext(x.egl, config, EGL_NO_CONTEXT, nullptr);
        if (x.context != EGL_NO_CONTEXT && eglMakeCurrent(x.egl, x.surface, x.surface, x.context)) return true;
    }
    std::fprintf(stderr, "tavelo: no OpenGL on this display: the picture without water\n");
    return true;
}

bool GLWindow::HasGL() const { return x_->context != EGL_NO_CONTEXT && eglGetCurrentContext() == x_->context; }

PixelRect GLWindow::OnScreen() const {
    const X& x = *x_;
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(x.display, x.drawn, DefaultRootWindow(x.display), 0, 0, &left, &top, &child);
    return PixelRect{left, top, left + width_, top + height_};
}

PixelRect GLWindow::Screen() const {
    const X& x = *x_;
    const int screen = DefaultScreen(x.display);
    return PixelRect{0, 0, DisplayWidth(x.display, screen), DisplayHeight(x.display, screen)};
}

std::unique_ptr<RGBImage> GLWindow::SaverScreenshot() const {
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

bool GLWindow::HandleEvents(bool& resized) {
    X& x = *x_;
    resized = false;
    if (g_xErrors != x.errorsSeen && !x.ownTopLevel) {
        // The window given may have gone: ask once after each new error
        // whether it is still there (not every frame).
        XWindowAttributes a = {};
        const int errors = g_xErrors;
        if (!XGetWindowAttributes(x.display, x.target, &a) || g_xErrors != errors) return false;
        x.errorsSeen = g_xErrors;
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

void GLWindow::Swap() {
    if (HasGL()) eglSwapBuffers(x_->egl, x_->surface);
}

bool GLWindow::SetSwapInterval(int interval) { return HasGL() && eglSwapInterval(x_->egl, interval) == EGL_TRUE; }

void GLWindow::ShowPicture(const RGBImage& picture) {
    X& x = *x_;
    XWindowAttributes a = {};
    if (picture.width <= 0 || picture.height <= 0 || !XGetWindowAttributes(x.display, x.drawn, &a) ||
        a.visual->red_mask == 0) {
        return;
    }
    XImage* image = XCreateImage(x.display, a.visual, unsigned(a.depth), ZPixmap, 0, nullptr, unsigned(picture.width),
                                 unsigned(picture.height), 32, 0);
    if (image == nullptr) return;
    image->data = static_cast<char*>(std::malloc(size_t(image->bytes_per_line) * picture.height));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return;
    }
    const Channel r = ChannelOf(a.visual->red_mask), g = ChannelOf(a.visual->green_mask),
                  b = ChannelOf(a.visual->blue_mask);
    auto place = [](uint8_t v, const Channel& c) {
        return (static_cast<unsigned long>(v) >> (8 - std::min(8, c.bits))) << c.shift;
    };
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = &picture.data[size_t(picture.height - 1 - y) * picture.width * 3];  // bottom row first
        for (int px = 0; px < picture.width; ++px) {
            XPutPixel(image, px, y, place(row[3 * px], r) | place(row[3 * px + 1], g) | place(row[3 * px + 2], b));
        }
    }
    const GC gc = XCreateGC(x.display, x.drawn, 0, nullptr);
    XPutImage(x.display, x.drawn, gc, image, 0, 0, 0, 0, unsigned(picture.width), unsigned(picture.height));
    XFreeGC(x.display, gc);
    XDestroyImage(image);  // and its pixels
    XFlush(x.display);
}

void GLWindow::Wait(int ms) {
    X& x = *x_;
    XFlush(x.display);
    if (XPending(x.display) > 0) return;
    pollfd connection = {ConnectionNumber(x.display), POLLIN, 0};
    poll(&connection, 1, ms);  // a signal ends it early (EINTR)
}

std::string GLWindow::RendererName() const {
    const GLubyte* name = HasGL() ? glGetString(GL_RENDERER) : nullptr;
    return name != nullptr ? reinterpret_cast<const char*>(name) : "";
}
