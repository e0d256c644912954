// Start-up's Windows side: the program object that Main asks for what it
// decided, which owns the forms of the run mode and the one way the program
// ends at once; and the zoom animations.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "Vey_B.h"

class Vey_P;
class Vey_R;
class Vey_S;

// The settings dialog seems to grow out of the zoom point and shrink back into it.
void ZoomOpen(HWND window);
void ZoomClose(HWND window);

class SaverProgram : public StartupServices {
public:
    // end: how the program ends at once (the process exits without running
    // the unload handlers of forms still loaded); tests hand in their own.
    explicit SaverProgram(std::function<void()> end = nullptr);
    ~SaverProgram() override;

    std::string CommandLine() override;
    bool WindowExists(const std::string& caption) override;
    void ShowMessage(const std::string& text) override;
    int32_t ShowCursor(bool show) override;
    void EndAtOnce() override;
    void ShowPreview(const std::string& commandLine) override;
    void ShowSettingsModal() override;
    void LoadSaverForm(bool pointerHidden) override;

private:
    std::function<void()> end_;
    std::unique_ptr<Vey_P> settings_;
    std::unique_ptr<Vey_R> preview_;
    std::unique_ptr<Vey_S> run_;
};
