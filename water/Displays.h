// The displays the renderer covers: the monitors as they lie now, and the
// primary's mode switch (Displays_win32.cpp).
#pragma once

#include <vector>

#include "ScreenLayout.h"

// Every monitor on the virtual screen; at least the primary.
std::vector<Monitor> CurrentMonitors();

// Switches the primary display for the run (false: the display refused and
// nothing changed), and puts the desktop's stored mode back.
bool SwitchPrimaryDisplay(int width, int height, int bits);
void RestoreDisplayMode();

// The primary display's refresh rate now; 0 when it does not say.
int DisplayRefreshHz();
