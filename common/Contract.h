// What passes between the screen saver (Tavelo.scr) and its renderer
// (Tavelo.dll): the renderer's program file and its command line, two
// picture files and the renderer's window caption.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace contract {

// The renderer's program file, beside the saver (an executable despite its
// name). The saver starts it; nothing else does.
constexpr const char* kRendererFile = "\\Tavelo.dll";

// The pictures the saver writes before it starts the renderer, and the
// renderer reads once at its start: the screen copy (backdrop and
// reflection) and the 256 x 256 sunlight pattern. When the root of drive C
// cannot be written, the saver writes them into the user's temporary folder
// instead and gives the renderer their two paths as its two arguments; with
// no arguments the renderer reads these fixed ones. The saver deletes the
// screen copy when the run ends.
constexpr const char* kScreenCopyFile = "C:\\Vey1.bmp";
constexpr const char* kLightPatternFile = "C:\\Vey2.bmp";
constexpr const char* kFallbackFolder = "Tavelo";  // under the user's temporary folder
constexpr const char* kScreenCopyName = "Vey1.bmp";
constexpr const char* kLightPatternName = "Vey2.bmp";

// The renderer's windows, one a monitor: the saver looks for the caption
// every 500 ms and ends the run once none is left.
constexpr const char* kRendererCaption = "Tavelo_VC";
constexpr const char* kRendererClass = "PCUWindowClass";

// Given first, this keeps the display's own resolution; without it the
// renderer switches the primary display to 1024 x 768 x 32.
constexpr const char* kKeepResolutionOption = "/keep";
// The run's end is tied to the saver's: "/saver H" is the renderer's own
// (inherited) handle to the saver's process, "/job J" the saver's handle to
// the job object the renderer runs in (which ends it when its last handle
// goes).
constexpr const char* kSaverOption = "/saver";
constexpr const char* kJobOption = "/job";

}  // namespace contract

// The renderer's command line: [/keep] [/saver H /job J] [SCREEN_COPY
// LIGHT_PATTERN]. With no arguments at all the renderer behaves as it always
// has: it switches the display and reads the fixed pictures.
struct RendererArguments {
    bool keepResolution = false;
    uint64_t saverProcess = 0;  // handle values; 0: none given
    uint64_t saverJob = 0;
    std::string screenCopy = contract::kScreenCopyFile;
    std::string lightPattern = contract::kLightPatternFile;
};
// From the arguments after the program's name. Anything that is not the
// option, nor exactly two paths, leaves the fixed paths.
RendererArguments ParseRendererArguments(const std::vector<std::string>& arguments);
// The argument text for them, quoted; empty for the defaults.
std::string RendererArgumentText(const RendererArguments& arguments);
