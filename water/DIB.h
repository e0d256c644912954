// The bitmap reader: Windows device-independent bitmaps (".bmp" files with
// their 14-byte file header, or bare packed bitmaps) into tightly packed RGB.
// Parsing and conversion are our own portable code; opening the file and
// showing a message are the only platform calls (FileView_*.cpp, DIBMessage_*.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct RGBImage {
    int32_t width = 0;
    int32_t height = 0;          // always positive: rows are returned bottom row first
    std::vector<uint8_t> data;   // width * height * 3 bytes, red, green, blue, no row padding
};

enum class DIBStatus {
    Ok,
    UnknownFormat,      // header size neither 12 nor 40
    OutOfMemory,        // an allocation failed, or the picture is too large to hold
    ConversionError,    // an encoding we cannot convert, or a file that does not hold its pixels
};

// Largest picture the reader accepts: 64 Mi pixels (192 MiB of RGB), and no
// side longer than this. Larger ones are refused as "Out of memory.".
constexpr uint64_t kDIBMaxPixels = uint64_t(1) << 26;
constexpr int64_t kDIBMaxSide = 65535;

// Colour table entries named by a bitmap header (12-byte core or 40-byte
// information header at `header`, `available` bytes readable there): colours
// used when set (saturated to 16 bits), else 2, 16 or 256 for 1, 4 or 8 bits
// per pixel, else 0.
uint16_t DIBColorCount(const uint8_t* header, size_t available);

// Converts a bitmap held in memory. Nothing is shown; `out` is filled only
// on success.
DIBStatus DecodeDIBImage(const uint8_t* bytes, size_t size, RGBImage& out);

// Reads a bitmap file (path in UTF-8). On failure the reason is shown to
// the user once, and nothing is returned.
std::unique_ptr<RGBImage> LoadDIBImage(const std::string& path);

// The text shown for a failure.
std::string DIBStatusMessage(DIBStatus status);
std::string DIBOpenFailedMessage(const std::string& path);

// Where the reader's messages go. By default to the platform: a message box
// captioned "Error" owned by the focus window on Windows, standard error
// elsewhere. Tests put their own sink in.
class DIBErrorSink {
public:
    virtual ~DIBErrorSink() = default;
    virtual void ShowError(const std::string& text) = 0;
};
void SetDIBErrorSink(DIBErrorSink* sink);  // nullptr: back to the platform

// Platform side (DIBMessage_win32.cpp / DIBMessage_posix.cpp).
void ShowPlatformDIBError(const std::string& text);
