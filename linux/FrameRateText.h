// The frame rate in the bottom-left corner ("--fps"): "29.9 fps" in a small
// bitmap font of its own (GL 1.1 only: no font of the system is needed).
#pragma once

#include <string>

// The text for a rate in frames a second.
std::string FrameRateText(double framesPerSecond);
// Draws it over the frame in a viewport of width x height pixels.
void DrawFrameRate(const std::string& text, int width, int height);
