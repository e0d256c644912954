// The renderer program: its full-screen window, rendering context and
// message loop (Renderer_win32.cpp).
#pragma once

#include <windows.h>

int RendererMain();
BOOL OpenRendererWindow(const wchar_t* caption, int width, int height, int bits);
void CloseRendererWindow();
LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
