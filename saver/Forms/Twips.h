// Twips (1/1440 inch) and pixels on a screen of some dots per inch: 15
// twips a pixel at 96, 12 at 120, 10 at 144, 8.57 at 168, 7.5 at 192 —
// exact, never rounded to a whole number, so a layout scales with its fonts.
// Portable, so the rules are tested natively.
#pragma once

namespace forms {

constexpr int kTwipsPerInch = 1440;

inline double TwipsPerPixel(int dotsPerInch) { return double(kTwipsPerInch) / (dotsPerInch > 0 ? dotsPerInch : 96); }

// To the nearest pixel (halves away from zero).
int TwipsToPixels(double twips, int dotsPerInch);
// To the nearest twip.
int PixelsToTwips(double pixels, int dotsPerInch);

}  // namespace forms
