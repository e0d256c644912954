#include "UserPicture.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <cstring>

#include "Backdrop.h"

namespace {

// Where Debian's xscreensaver keeps its helpers.
constexpr const char* kChooser = "/usr/libexec/xscreensaver/xscreensaver-getimage-file";

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string ChooseUserPicture(const std::string& folder) {
    const std::string command = std::string(kChooser) + " " + Quoted(folder) + " 2>/dev/null";
    FILE* chooser = popen(command.c_str(), "r");
    if (chooser == nullptr) return std::string();
    std::string path;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, chooser) != nullptr) path += buffer;
    pclose(chooser);
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
    if (path.empty() || path.find('\n') != std::string::npos) return std::string();  // one file name, or nothing
    return path[0] == '/' ? path : folder + "/" + path;  // named within the folder
}

std::unique_ptr<RGBImage> ReadPictureCovering(const std::string& path, int width, int height) {
    GdkPixbuf* file = path.empty() ? nullptr : gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (file == nullptr) return nullptr;
    GdkPixbuf* upright = gdk_pixbuf_apply_embedded_orientation(file);  // a camera's picture as it was taken
    g_object_unref(file);
    const PixelRect part = CoverPart(gdk_pixbuf_get_width(upright), gdk_pixbuf_get_height(upright), width, height);
    GdkPixbuf* scaled = nullptr;
    if (!part.Empty()) {
        GdkPixbuf* middle = gdk_pixbuf_new_subpixbuf(upright, part.left, part.top, part.Width(), part.Height());
        scaled = gdk_pixbuf_scale_simple(middle, width, height, GDK_INTERP_BILINEAR);
        g_object_unref(middle);
    }
    g_object_unref(upright);
    if (scaled == nullptr) return nullptr;
    auto picture = std::make_unique<RGBImage>();
    picture->width = width;
    picture->height = height;
    picture->data.resize(size_t(width) * height * 3);
    const int channels = gdk_pixbuf_get_n_channels(scaled), stride = gdk_pixbuf_get_rowstride(scaled);
    const guchar* pixels = gdk_pixbuf_read_pixels(scaled);
    for (int y = 0; y < height; ++y) {
        const guchar* source = pixels + size_t(y) * stride;
        uint8_t* target = &picture->data[size_t(height - 1 - y) * width * 3];
        for (int x = 0; x < width; ++x) std::memcpy(target + 3 * x, source + channels * x, 3);
    }
    g_object_unref(scaled);
    return picture;
}
