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
// (inherited) handle to the saver's process, allowed to wait for it and
// nothing more; "/job N" names the job object the renderer runs in, which
// ends it when its last handle goes: kRendererJobName, the saver's process
// id, a dot and N. The renderer opens the job itself once its own code runs
// (a renderer that never gets that far holds nothing, and the job ends it
// with the saver), and uses either only when it is what it claims: the
// process its parent, the job one it is in.
constexpr const char* kSaverOption = "/saver";
constexpr const char* kJobOption = "/job";
constexpr const char* kRendererJobName = "Local\\Tavelo.Renderer.";

}  // namespace contract

// The renderer's command line: [/keep] [/saver H /job J] [SCREEN_COPY
// LIGHT_PATTERN]. With no arguments at all the renderer behaves as it always
// has: it switches the display and reads the fixed pictures.
struct RendererArguments {
    bool keepResolution = false;
    uint64_t saverProcess = 0;  // a handle value; 0: none given
    uint64_t saverJob = 0;      // the number in the job's name; 0: none given
    std::string screenCopy = contract::kScreenCopyFile;
    std::string lightPattern = contract::kLightPatternFile;
};
// From the arguments after the program's name. Anything that is not an
// option, nor exactly two paths, leaves the fixed paths. A value above
// handleLimit (the largest handle of the build) is none, never cut to fit.
RendererArguments ParseRendererArguments(const std::vector<std::string>& arguments,
                                         uint64_t handleLimit = UINTPTR_MAX);
// The argument text for them, quoted; empty for the defaults.
std::string RendererArgumentText(const RendererArguments& arguments);
// The name of the job a saver runs its renderer in, from the saver's process
// id and the number after "/job".
std::string RendererJobName(unsigned long saverProcessId, uint64_t number);
