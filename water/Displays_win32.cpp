// The monitors and the display mode through the system's display calls.
#include <windows.h>

#include "Displays.h"
#include "DisplaySwitch.h"
#include "Utf16.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    MONITORINFOEXW info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(handle, &info)) return TRUE;
    Monitor monitor;
    monitor.device = WideToUtf8(info.szDevice);
    monitor.rect = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
    monitor.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
    reinterpret_cast<std::vector<Monitor>*>(data)->push_back(monitor);
    return TRUE;
}

}  // namespace

std::vector<Monitor> CurrentMonitors() {
    std::vector<Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    bool primary = false;
    for (const Monitor& m : monitors) primary = primary || m.primary;
    if (!primary) {  // a system that lists none: the primary screen alone
        monitors.clear();
        Monitor screen;
        screen.rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        screen.primary = true;
        monitors.push_back(screen);
    }
    return monitors;
}

bool DisplaySwitch::Switch(int width, int height, int bits) {
    const std::lock_guard<std::mutex> held(lock_);
    if (state_ != State::Unchanged) return false;
    DEVMODEW mode = {};
    mode.dmSize = sizeof(DEVMODEW);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bits);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    if (ChangeDisplaySettingsW(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    state_ = State::Switched;
    return true;
}

void DisplaySwitch::PutBack(const std::function<void()>& closing) {
    const std::lock_guard<std::mutex> held(lock_);
    if (state_ == State::Switched) ChangeDisplaySettingsW(nullptr, 0);  // the desktop's stored mode
    state_ = State::PutBack;  // for good: a later switch would have nobody to put it back
    if (closing) closing();
}

int DisplayRefreshHz() {
    DEVMODEW mode = {};
    mode.dmSize = sizeof(DEVMODEW);
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    return static_cast<int>(mode.dmDisplayFrequency);
}
