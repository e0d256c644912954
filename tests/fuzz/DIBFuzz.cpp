// libFuzzer target for the bitmap reader: any bytes at all must be converted
// or refused, never read or written outside the buffers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "DIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RGBImage image;
    const DIBStatus status = DecodeDIBImage(data, size, image);
    if (status == DIBStatus::Ok) {
        // A converted picture is whole: every byte of it is there.
        if (image.width <= 0 || image.height <= 0 ||
            image.data.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3) {
            std::abort();
        }
        volatile uint8_t sink = 0;
        for (uint8_t b : image.data) sink = sink ^ b;
    } else if (!image.data.empty()) {
        std::abort();
    }
    return 0;
}
