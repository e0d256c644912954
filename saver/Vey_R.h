// The preview form ("Preview Window"): a still picture of the saver's look,
// made a child of the window that the display settings pass on the command
// line, and sized to it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Forms/Forms.h"
#include "WinHandles.h"

// Design data of the form.
constexpr int kPreviewWidth = 152;   // Img_Prev, pixels
constexpr int kPreviewHeight = 112;
constexpr UINT kHostWatchInterval = 500;  // how often the preview looks for its host

extern const char* const kPreviewFormCaption;  // "Preview Window"

class Vey_R : public forms::Form {
public:
    Vey_R();
    ~Vey_R() override;

    forms::ImageControl Img_Prev;
    HWND host = nullptr;

    // Ends the preview once its host is gone, however it goes: its window
    // destroyed, its process ended (then the preview's own window may go
    // without a word to it, and its timers with it: the watch is the
    // message loop's). Unloads the form while its window lives, else ends
    // the program at once.
    void WatchHost(std::function<void()> endAtOnce);

protected:
    void Form_Unload(int& cancel) override;

private:
    win::Handle hostProcess_;
};

// The preview branch of start-up: the form inside the host window named by
// the command line, shown; the program then lives as long as the form does.
// When the number names no window the program ends at once (endAtOnce),
// since no host would ever close an invisible preview.
void ShowPreview(Vey_R& form, const std::string& commandLine, const std::function<void()>& endAtOnce);
