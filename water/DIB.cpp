#include "DIB.h"

#include "FileView.h"

#include <algorithm>
#include <new>

// Every offset, size and count in the file is checked against the file's
// length before it is used, and every size is computed in 64 bits, so that
// no file, however made, can make the reader touch memory outside the file
// or its own buffers.

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCompressionRGB = 0;
constexpr uint32_t kCompressionBitFields = 3;

DIBErrorSink* g_sink = nullptr;

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

struct Header {
    uint32_t size = 0;
    int64_t width = 0;
    int64_t height = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
};

// One colour channel described by a bit mask, widened to 8 bits by repeating
// its top bits (31 -> 255, 16 -> 132 for five bits).
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int length = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (mask == 0) return;
        while (((mask >> shift) & 1u) == 0) ++shift;
        uint32_t bits = mask >> shift;
        while (bits != 0) {
            length += static_cast<int>(bits & 1u);
            bits >>= 1;
        }
    }

    uint8_t Expand(uint32_t pixel) const {
        if (length == 0) return 0;
        const uint32_t value = (pixel & mask) >> shift;
        if (length >= 8) return static_cast<uint8_t>(value >> (length - 8));
        uint32_t wide = 0;
        int filled = 0;
        while (filled < 8) {
            wide = (wide << length) | value;
            filled += length;
        }
        return static_cast<uint8_t>(wide >> (filled - 8));
    }
};

struct Rgb {
    uint8_t r, g, b;
};

}  // namespace

uint16_t DIBColorCount(const uint8_t* header, size_t available) {
    if (header == nullptr || available < 4) return 0;
    const uint32_t size = ReadU32(header);
    uint16_t bits = 0;
    if (size == kCoreHeaderSize && available >= kCoreHeaderSize) {
        bits = ReadU16(header + 10);
    } else if (size == kInfoHeaderSize && available >= kInfoHeaderSize) {
        const uint32_t used = ReadU32(header + 32);
        if (used != 0) return static_cast<uint16_t>(std::min<uint32_t>(used, 0xFFFF));
        bits = ReadU16(header + 14);
    } else {
        return 0;
    }
    switch (bits) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

DIBStatus DecodeDIBImage(const uint8_t* bytes, size_t size, RGBImage& out) {
    if (bytes == nullptr) return DIBStatus::ConversionError;
    const uint64_t fileSize = size;

    // File header, when the file starts with "BM".
    const bool hasFileHeader = fileSize >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    const uint64_t headerPos = hasFileHeader ? kFileHeaderSize : 0;
    if (headerPos + 4 > fileSize) return DIBStatus::UnknownFormat;

    Header h;
    const uint8_t* hp = bytes + headerPos;
    h.size = ReadU32(hp);
    if (h.size != kCoreHeaderSize && h.size != kInfoHeaderSize) return DIBStatus::UnknownFormat;
    if (headerPos + h.size > fileSize) return DIBStatus::ConversionError;

    uint64_t entrySize;
    if (h.size == kCoreHeaderSize) {
        h.width = ReadU16(hp + 4);
        h.height = ReadU16(hp + 6);
        h.bitsPerPixel = ReadU16(hp + 10);
        h.compression = kCompressionRGB;
        entrySize = 3;
    } else {
        h.width = static_cast<int32_t>(ReadU32(hp + 4));
        h.height = static_cast<int32_t>(ReadU32(hp + 8));
        h.bitsPerPixel = ReadU16(hp + 14);
        h.compression = ReadU32(hp + 16);
        h.colorsUsed = ReadU32(hp + 32);
        entrySize = 4;
    }
    const uint16_t count = DIBColorCount(hp, static_cast<size_t>(fileSize - headerPos));

    // Encodings we convert: 1, 4, 8, 16, 24, 32 bits uncompressed, 16 and 32
    // bits with colour masks. Anything else is refused.
    const uint16_t bpp = h.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return DIBStatus::ConversionError;
    const bool bitFields = h.compression == kCompressionBitFields;
    if (h.compression != kCompressionRGB && !(bitFields && (bpp == 16 || bpp == 32))) {
        return DIBStatus::ConversionError;
    }
    if (h.colorsUsed > 0xFFFF) return DIBStatus::ConversionError;  // no real file names that many colours

    // Dimensions. A negative height is a top-down picture, returned flipped.
    if (h.width <= 0 || h.height == 0) return DIBStatus::ConversionError;
    const bool topDown = h.height < 0;
    const int64_t rows = topDown ? -h.height : h.height;
    if (h.width > kDIBMaxSide || rows > kDIBMaxSide) return DIBStatus::OutOfMemory;
    const uint64_t pixels = static_cast<uint64_t>(h.width) * static_cast<uint64_t>(rows);
    if (pixels > kDIBMaxPixels) return DIBStatus::OutOfMemory;

    // Masks (behind a 40-byte header), then the colour table.
    uint64_t tablePos = headerPos + h.size;
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // 16 bits: 5-5-5
    if (bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (bitFields) {
        if (tablePos + 12 > fileSize) return DIBStatus::ConversionError;
        for (int i = 0; i < 3; ++i) masks[i] = ReadU32(bytes + tablePos + 4 * i);
        tablePos += 12;
    }
    const uint64_t tableBytes = static_cast<uint64_t>(count) * entrySize;
    if (tablePos + tableBytes > fileSize) return DIBStatus::ConversionError;

    std::vector<Rgb> palette;
    if (bpp <= 8) {
        const uint32_t entries = std::min<uint32_t>(count, 1u << bpp);
        try {
            palette.assign(1u << bpp, Rgb{0, 0, 0});  // indices beyond the table come out black
        } catch (const std::bad_alloc&) {
            return DIBStatus::OutOfMemory;
        }
        for (uint32_t i = 0; i < entries; ++i) {
            const uint8_t* e = bytes + tablePos + i * entrySize;
            palette[i] = Rgb{e[2], e[1], e[0]};
        }
    }

    // Pixel data: where the file header says, or right behind the table.
    const uint64_t pixelPos = hasFileHeader ? ReadU32(bytes + 10) : tablePos + tableBytes;
    const uint64_t stride = (static_cast<uint64_t>(h.width) * bpp + 31) / 32 * 4;
    if (pixelPos > fileSize || stride * static_cast<uint64_t>(rows) > fileSize - pixelPos) {
        return DIBStatus::ConversionError;
    }

    RGBImage image;
    image.width = static_cast<int32_t>(h.width);
    image.height = static_cast<int32_t>(rows);
    try {
        image.data.resize(static_cast<size_t>(pixels * 3));
    } catch (const std::bad_alloc&) {
        return DIBStatus::OutOfMemory;
    }

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    const uint32_t width = static_cast<uint32_t>(h.width);
    for (int64_t fileRow = 0; fileRow < rows; ++fileRow) {
        const uint8_t* src = bytes + pixelPos + static_cast<uint64_t>(fileRow) * stride;
        const int64_t outRow = topDown ? rows - 1 - fileRow : fileRow;
        uint8_t* dst = image.data.data() + static_cast<uint64_t>(outRow) * width * 3;
        for (uint32_t x = 0; x < width; ++x, dst += 3) {
            switch (bpp) {
                case 1:
                case 4:
                case 8: {
                    const uint32_t bitPos = x * bpp;
                    const uint32_t shift = 8 - bpp - (bitPos & 7);
                    const uint32_t index = (src[bitPos >> 3] >> shift) & ((1u << bpp) - 1);
                    dst[0] = palette[index].r;
                    dst[1] = palette[index].g;
                    dst[2] = palette[index].b;
                    break;
                }
                case 16: {
                    const uint32_t p = ReadU16(src + 2 * x);
                    dst[0] = red.Expand(p);
                    dst[1] = green.Expand(p);
                    dst[2] = blue.Expand(p);
                    break;
                }
                case 24: {
                    const uint8_t* p = src + 3 * x;
                    dst[0] = p[2];
                    dst[1] = p[1];
                    dst[2] = p[0];
                    break;
                }
                default: {  // 32
                    const uint32_t p = ReadU32(src + 4 * x);
                    dst[0] = red.Expand(p);
                    dst[1] = green.Expand(p);
                    dst[2] = blue.Expand(p);
                    break;
                }
            }
        }
    }
    out = std::move(image);
    return DIBStatus::Ok;
}

std::string DIBStatusMessage(DIBStatus status) {
    switch (status) {
        case DIBStatus::UnknownFormat: return "Unknown DIB file format.";
        case DIBStatus::OutOfMemory: return "Out of memory.";
        case DIBStatus::ConversionError: return "Image file conversion error.";
        case DIBStatus::Ok: break;
    }
    return std::string();
}

std::string DIBOpenFailedMessage(const std::string& path) { return "Failed to open DIB file " + path + ".\n"; }

void SetDIBErrorSink(DIBErrorSink* sink) { g_sink = sink; }

namespace {
void ShowDIBError(const std::string& text) {
    if (g_sink != nullptr) {
        g_sink->ShowError(text);
    } else {
        ShowPlatformDIBError(text);
    }
}
}  // namespace

std::unique_ptr<RGBImage> LoadDIBImage(const std::string& path) {
    std::unique_ptr<FileView> view = OpenFileView(path);
    if (!view) {
        ShowDIBError(DIBOpenFailedMessage(path));
        return nullptr;
    }
    std::unique_ptr<RGBImage> image(new (std::nothrow) RGBImage);
    if (!image) {
        ShowDIBError(DIBStatusMessage(DIBStatus::OutOfMemory));
        return nullptr;
    }
    const DIBStatus status = DecodeDIBImage(view->Data(), view->Size(), *image);
    if (status != DIBStatus::Ok) {
        ShowDIBError(DIBStatusMessage(status));
        return nullptr;
    }
    return image;
}
