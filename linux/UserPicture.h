// A picture from the user's own folder, chosen the way xscreensaver's
// image-using programs choose one (its xscreensaver-getimage-file helper:
// the folder searched through, pictures smaller than 500 x 500 left out),
// read with gdk-pixbuf (UserPicture_gdk.cpp).
#pragma once

#include <memory>
#include <string>

#include "DIB.h"

// The file the helper chooses in the folder; empty where it chooses none
// (or is not installed).
std::string ChooseUserPicture(const std::string& folder);

// The picture in the file scaled to cover width x height, its aspect kept
// and its middle shown (bottom row first, like every RGBImage); none where
// the file cannot be read.
std::unique_ptr<RGBImage> ReadPictureCovering(const std::string& path, int width, int height);
