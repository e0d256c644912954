// The desktop behind the water on Linux, or what shows instead: which part
// of a picture goes behind a window, and the calm dusk gradient where the
// user lets no desktop show and gives no picture. Portable.
#pragma once

#include "DIB.h"
#include "ScreenLayout.h"

// The part of xscreensaver's picture of the screen that goes behind a window
// at windowOnScreen: all of a picture of the window's own size (the daemon
// saves one for each window it blanks, cut to it already), the window's
// place in a picture of the whole screen, else (a picture of another size)
// all of it, to be fitted. Empty where the window lies outside a picture of
// the whole screen.
PixelRect ScreenshotPart(int pictureWidth, int pictureHeight, const PixelRect& windowOnScreen,
                         const PixelRect& screen);

// The middle part of a picture with a window's aspect: the picture scaled
// to cover the window, its aspect kept, cut to it.
PixelRect CoverPart(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);

// Almost every pixel near black: a picture taken when the screen was
// blanked already, passed over (never a black screen).
bool MostlyBlack(const RGBImage& picture);

// A dusk sky fading into the evening: what shows where no desktop does.
RGBImage DuskGradient(int width, int height);
