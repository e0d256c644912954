// The settings dialog's round choice mark, drawn at the size the layout
// gives it: a sunken white disc with a dark rim on the panel's grey, and a
// dark-blue dot when chosen. 12 pixels at 96 dots per inch, as designed; a
// scaled screen gets it drawn larger, never stretched. Portable.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kRadioMarkTwips = 180;  // 12 pixels at 96 dpi, inside a 195-twip (13-pixel) image

// RGB bytes, top row first, size x size.
std::vector<uint8_t> DrawRadioMark(int size, bool chosen);
