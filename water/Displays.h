// The displays the renderer covers: the monitors as they lie now and the
// primary's refresh rate (Displays_win32.cpp; its mode switch: DisplaySwitch.h).
#pragma once

#include <vector>

#include "ScreenLayout.h"

// Every monitor on the virtual screen; at least the primary.
std::vector<Monitor> CurrentMonitors();

// The primary display's refresh rate now; 0 when it does not say.
int DisplayRefreshHz();
