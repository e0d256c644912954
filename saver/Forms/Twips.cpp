#include "Twips.h"

#include <cmath>

namespace forms {

int TwipsToPixels(double twips, int dotsPerInch) {
    return static_cast<int>(std::lround(twips / TwipsPerPixel(dotsPerInch)));
}

int PixelsToTwips(double pixels, int dotsPerInch) {
    return static_cast<int>(std::lround(pixels * TwipsPerPixel(dotsPerInch)));
}

}  // namespace forms
