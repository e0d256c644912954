// Win32 handles that give themselves back: kernel objects, device contexts,
// GDI objects and the objects selected into a context for a while. Each is
// owned by exactly one holder and released when it goes, on every way out.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

// A kernel object (process, file, mapping, event): CloseHandle. Both null
// and INVALID_HANDLE_VALUE mean "none", as the calls that make them differ.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~Handle() { Reset(); }
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(HANDLE handle = nullptr) {
        if (handle_ != nullptr) CloseHandle(handle_);
        handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// A window's (or, for no window, the screen's) device context from GetDC,
// given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
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
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A GDI object of one's own (brush, region, bitmap): DeleteObject.
template <typename T>
class GdiObject {
public:
    explicit GdiObject(T object = nullptr) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Hands the object over to a new owner (a window that keeps a region).
    T Release() { return std::exchange(object_, nullptr); }
    void Reset(T object = nullptr) {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }

private:
    T object_;
};

using Brush = GdiObject<HBRUSH>;
using Region = GdiObject<HRGN>;
using Bitmap = GdiObject<HBITMAP>;

// A window of one's own: DestroyWindow.
class Window {
public:
    explicit Window(HWND window = nullptr) : window_(window) {}
    ~Window() { Reset(); }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    void Reset(HWND window = nullptr) {
        if (window_ != nullptr) DestroyWindow(window_);
        window_ = window;
    }

private:
    HWND window_;
};

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
