// What passes between the screen saver (Tavelo.scr) and its renderer
// (Tavelo.dll): nothing but the renderer's program file, two picture files
// and the renderer's window caption.
#pragma once

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

// The renderer's window: the saver looks for the caption every 500 ms and
// ends the run once it has gone.
constexpr const char* kRendererCaption = "Tavelo_VC";
constexpr const char* kRendererClass = "PCUWindowClass";

}  // namespace contract
