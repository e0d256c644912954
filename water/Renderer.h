// The renderer program: its full-screen window, rendering context and
// message loop (Renderer_win32.cpp).
#pragma once

#include <windows.h>

extern BOOL g_fullscreen;  // the display mode was changed and must be restored
extern BOOL g_active;      // the window is not minimised: frames are drawn
extern bool g_keys[256];   // key-down state by virtual-key code
extern bool g_escapePressed;  // Escape went down since the start, even if it is up again

int RendererMain();
BOOL OpenRendererWindow(const wchar_t* caption, int width, int height, int bits);
void CloseRendererWindow();
LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
