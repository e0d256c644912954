// Drives windows of the program under test from a test program running on
// the same Wine desktop: finds windows, reads and dismisses message boxes.
#pragma once

#include <windows.h>

#include <string>

namespace windriver {

// Waits, dispatching the messages of this thread's windows meanwhile.
inline void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

// Dispatches messages until done() holds or timeoutMs passes; says whether it
// held. Input under Wine can take a while to arrive on a loaded machine, so
// tests wait for what they expect instead of for a fixed time.
template <typename Done>
bool PumpUntil(Done done, DWORD timeoutMs = 3000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        PumpFor(20);
    }
    return true;
}

// Real input through Windows' input queue, as a user's hand gives it.
inline INPUT MouseAt(int x, int y, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = (x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = (y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

inline bool SendMouseMove(int x, int y) {
    INPUT input = MouseAt(x, y, 0);
    return SendInput(1, &input, sizeof input) == 1;
}

// A button (MOUSEEVENTF_LEFTDOWN, ...) at a place. The place travels with the
// press: under Wine the program under test turns X's pointer motion into
// input only when it gets to it, so on a loaded machine a late motion from an
// earlier move could otherwise send a bare press somewhere else.
inline bool SendMouseButton(int x, int y, DWORD flags) {
    INPUT input = MouseAt(x, y, flags);
    return SendInput(1, &input, sizeof input) == 1;
}

inline bool SendKeyTap(WORD vk) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = vk;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
}

// Waits up to timeoutMs for a top-level window of that class (nullptr: any)
// and caption.
inline HWND WaitForWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowW(className, caption);
        if (window != nullptr) return window;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        PumpFor(20);
    }
}

inline std::wstring WindowText(HWND window) {
    wchar_t buffer[1024];
    const int length = GetWindowTextW(window, buffer, 1024);
    return std::wstring(buffer, length > 0 ? length : 0);
}

inline BOOL CALLBACK FindStaticText(HWND child, LPARAM found) {
    wchar_t cls[32];
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0) {
        std::wstring text = WindowText(child);
        if (!text.empty()) {
            *reinterpret_cast<std::wstring*>(found) = text;
            return FALSE;
        }
    }
    return TRUE;
}

// The message text of a message box: its one static control with text.
inline std::wstring MessageBoxText(HWND box) {
    std::wstring text;
    EnumChildWindows(box, FindStaticText, reinterpret_cast<LPARAM>(&text));
    return text;
}

// Presses the box's OK button.
// Presses OK and waits (up to 10 s) until the box is gone, so that a box
// looked for next is never this one on its way out.
inline void DismissMessageBox(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (DWORD start = GetTickCount(); IsWindow(box) && GetTickCount() - start < 10000;) PumpFor(20);
}

}  // namespace windriver
