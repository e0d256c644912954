// What the user lets xscreensaver's programs show, read as its own
// image-using programs read it (xscreensaver-getimage): the user's
// ~/.xscreensaver over the system's defaults (the app-defaults file).
// Portable, tested natively.
#pragma once

#include <string>
#include <vector>

struct ImagePreferences {
    bool grabDesktopImages = false;   // a picture of the desktop may show
    bool chooseRandomImages = false;  // a picture from imageDirectory may show
    std::string imageDirectory;
};

// Takes the three settings a resource file's text gives ("name: value"
// lines, "*name:" in the app-defaults, "!" and "#" comments, a line ending
// in a backslash going on), over those already there. A leading "~/" of the
// folder is the home folder.
void ApplyResourceText(const std::string& text, const std::string& home, ImagePreferences& preferences);

// The user's, as xscreensaver's programs read them: the system's defaults
// (/etc/X11/app-defaults/XScreenSaver), then home's .xscreensaver over them.
ImagePreferences UsersImagePreferences(const std::string& home);

// Where the backdrop may come from, in the order to try them: the desktop
// only where the user lets it be grabbed (xscreensaver's picture of the
// screen, then the root window's), then a picture from the user's folder
// where random images are chosen and a folder is set, and last the dusk.
enum class BackdropSource { Screenshot, RootPicture, ImageFile, Dusk };
std::vector<BackdropSource> BackdropSources(const ImagePreferences& preferences);
