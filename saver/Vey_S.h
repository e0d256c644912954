// The hidden form of a full-screen run ("Vey_Main"): it copies the screen,
// writes the renderer's two pictures, starts the renderer and the music,
// watches for the renderer's window every 500 ms and ends the run once the
// window is gone, or gives the renderer up when it has not shown its window
// 10 s after its start.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Forms/Forms.h"
#include "RunRules.h"
#include "WinHandles.h"

// Design data of the form.
constexpr UINT kMp3WatchInterval = 1000;    // Timer1
constexpr UINT kCdWatchInterval = 200;      // Timer2
constexpr UINT kRendererWatchInterval = 500;  // Timer3
constexpr int kLightPatternSide = 256;      // Display(1)

class Vey_S : public forms::Form {
public:
    // endRun: how the run ends the program at last; ending the process at
    // once unless a test hands in its own. pointerHidden: start-up hid the
    // pointer for this run (an "S" run), so its end gives it back.
    explicit Vey_S(std::function<void()> endRun = nullptr, bool pointerHidden = false);

    forms::PictureBox Display0;  // Display(0): the screen copy
    forms::PictureBox Display1;  // Display(1): the light pattern
    forms::Timer Timer1;         // MP3 watch
    forms::Timer Timer2;         // CD watch
    forms::Timer Timer3;         // renderer watch
    std::string RendererPath;
    // Where this run's pictures went (empty until written).
    std::string ScreenCopyPath;
    std::string LightPatternPath;

    forms::PictureBox& Display(int index) { return index == 0 ? Display0 : Display1; }

protected:
    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int mode) override;

private:
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    bool WritePictures();
    void StartRenderer();
    void GiveUpRenderer();
    void RemovePictures();

    std::function<void()> endRun_;
    bool pointerHidden_;
    win::Handle renderer_;  // the renderer's process
    // The job the renderer runs in: it ends the renderer when its last
    // handle goes, this one, whichever way the saver ends.
    win::Handle rendererJob_;
    // The screen copy's file, which goes when this handle goes (the end of
    // the run, or this process, however it ends).
    win::Handle screenCopyHeld_;
    RendererWatch watch_;
    DWORD startTick_ = 0;
    bool fallback_ = false;  // the pictures are in the temporary folder
};
