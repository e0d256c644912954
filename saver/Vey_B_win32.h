// Start-up's Windows side: the services Main uses, and the zoom animations.
#pragma once

#include <windows.h>

#include <functional>

#include "Vey_B.h"

// The settings dialog seems to grow out of the zoom point and shrink back into it.
void ZoomOpen(HWND window);
void ZoomClose(HWND window);

class WinStartupServices : public StartupServices {
public:
    std::string CommandLine() override;
    bool WindowExists(const std::string& caption) override;
    void ShowMessage(const std::string& text) override;
    int32_t ShowCursor(bool show) override;
    void EndAtOnce() override;
    void ShowPreview() override;
    void ShowSettingsModal() override;
    void LoadSaverForm() override;

    // The forms of each run mode, plugged in by the program.
    std::function<void()> showPreview;
    std::function<void()> showSettings;
    std::function<void()> loadSaver;
};
