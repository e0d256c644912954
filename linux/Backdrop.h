// The desktop behind the water on Linux: the picture of the screen that
// xscreensaver saves before it blanks, cropped to the window's place, or
// failing that a picture of the root window taken at the start, or failing
// that a calm dusk gradient: never nothing, never a black screen. Portable.
#pragma once

#include "DIB.h"
#include "ScreenLayout.h"

// The part of a picture of the whole screen under a window lying at
// windowOnScreen (screen coordinates): clipped to the picture, empty when
// the window lies outside it.
PixelRect PictureUnderWindow(int pictureWidth, int pictureHeight, const PixelRect& windowOnScreen);

enum class BackdropSource { Screenshot, RootPicture, Dusk };

// The first that can be shown: xscreensaver's picture of the screen, then
// the root window's picture, then the gradient. A picture that is missing
// or black all over (taken when the screen was blanked already) is passed
// over: never a black screen.
BackdropSource ChooseBackdrop(const RGBImage* screenshot, const RGBImage* rootPicture);

// Almost every pixel near black.
bool MostlyBlack(const RGBImage& picture);

// A dusk sky fading into the evening: what shows where no desktop does.
RGBImage DuskGradient(int width, int height);
