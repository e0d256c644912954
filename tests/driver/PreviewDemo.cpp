// The preview as the display settings would show it, for the demo: a window
// with a drawn monitor whose screen is the host of the saver's preview form.
// Wine draws no child window of another process, so under Wine the preview
// is hosted here, in the same process, with the saver's own code.
//   preview_demo [SECONDS]     (default 10; closing the window ends it sooner)
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

#include "Forms/Forms.h"
#include "Vey_R.h"

namespace {

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        // The monitor: a dark bezel around the screen, on a small stand.
        HBRUSH bezel = CreateSolidBrush(RGB(50, 52, 60));
        RECT outer = {84, 24, 84 + 152 + 32, 24 + 112 + 32};
        FillRect(dc, &outer, bezel);
        RECT neck = {84 + 76, outer.bottom, 84 + 76 + 32, outer.bottom + 16};
        FillRect(dc, &neck, bezel);
        RECT foot = {84 + 46, neck.bottom, 84 + 46 + 92, neck.bottom + 8};
        FillRect(dc, &foot, bezel);
        DeleteObject(bezel);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const DWORD seconds = argc >= 2 ? static_cast<DWORD>(_wtoi(argv[1])) : 10;
    LocalFree(argv);

    WNDCLASSW cls = {};
    cls.lpfnWndProc = FrameProc;
    cls.hInstance = instance;
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    cls.lpszClassName = L"TaveloPreviewDemo";
    RegisterClassW(&cls);
    RECT frame = {0, 0, 384, 216};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowW(L"TaveloPreviewDemo", L"画面のプロパティ - スクリーン セーバー",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, 320, 220,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    // The monitor's screen: the host the display settings would pass with "/p".
    HWND host = CreateWindowW(L"Static", L"", WS_CHILD | WS_VISIBLE, 84 + 16, 24 + 16, 152, 112, window, nullptr,
                              instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    Vey_R preview;
    ShowPreview(preview, "/p " + std::to_string(reinterpret_cast<intptr_t>(host)), [] { ExitProcess(0); });

    SetTimer(window, 1, seconds * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == window) DestroyWindow(window);
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
