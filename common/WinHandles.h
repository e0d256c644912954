// Win32 handles that give themselves back: kernel objects, device contexts,
// GDI objects, OpenGL contexts and the objects selected into a context for a
// while. Each is owned by exactly one holder and released when it goes, on
// every way out.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

// A handle owned by one holder and closed when it goes. Traits give the
// value meaning "none", whether a value is a real handle, and how to close it.
template <typename T, typename Traits>
class Owned {
public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    ~Owned() { Reset(); }
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, Traits::None())) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            Reset();
            value_ = std::exchange(other.value_, Traits::None());
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T get() const { return value_; }
    explicit operator bool() const { return Traits::Valid(value_); }
    // Hands the handle over to a new owner (a window that keeps a region).
    T Release() { return std::exchange(value_, Traits::None()); }
    void Reset(T value = Traits::None()) {
        if (Traits::Valid(value_)) Traits::Close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::None();
};

// A kernel object (process, file, mapping, event): CloseHandle. Both null
// and INVALID_HANDLE_VALUE mean "none", as the calls that make them differ.
struct KernelHandleTraits {
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
using Handle = Owned<HANDLE, KernelHandleTraits>;

// A GDI object of one's own (brush, region, bitmap): DeleteObject.
template <typename T>
struct GdiObjectTraits {
    static T None() { return nullptr; }
    static bool Valid(T object) { return object != nullptr; }
    static void Close(T object) { DeleteObject(object); }
};
using Brush = Owned<HBRUSH, GdiObjectTraits<HBRUSH>>;
using Region = Owned<HRGN, GdiObjectTraits<HRGN>>;
using Bitmap = Owned<HBITMAP, GdiObjectTraits<HBITMAP>>;

// A window of one's own: DestroyWindow.
struct WindowTraits {
    static HWND None() { return nullptr; }
    static bool Valid(HWND window) { return window != nullptr; }
    static void Close(HWND window) { DestroyWindow(window); }
};
using Window = Owned<HWND, WindowTraits>;

// A window's (or, for a null window, the screen's) device context from
// GetDC, given back with ReleaseDC. Made without a window it holds none.
class WindowDC {
public:
    WindowDC() : window_(nullptr), dc_(nullptr) {}
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDC(WindowDC&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC& operator=(WindowDC&& other) noexcept {
        if (this != &other) {
            if (dc_ != nullptr) ReleaseDC(window_, dc_);
            window_ = other.window_;
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context (CreateCompatibleDC), deleted with DeleteDC.
struct MemoryDCTraits {
    static HDC None() { return nullptr; }
    static bool Valid(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};
using MemoryDC = Owned<HDC, MemoryDCTraits>;

// An OpenGL rendering context of one's own: no longer current, then deleted
// (the textures and lists it holds go with it).
struct GLContextTraits {
    static HGLRC None() { return nullptr; }
    static bool Valid(HGLRC context) { return context != nullptr; }
    static void Close(HGLRC context) {
        if (wglGetCurrentContext() == context) wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context);
    }
};
using GLContext = Owned<HGLRC, GLContextTraits>;

// An object selected into a device context for a scope; the one it replaced
// goes back when the scope ends (a context must never be deleted, nor an
// object deleted, while it is selected).
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (dc_ != nullptr && old_ != nullptr) SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace win
