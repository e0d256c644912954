#include "RunRules.h"

#include "VBConvert.h"

bool RendererWatch::RunIsOver(bool windowFound, bool rendererRunning) {
    if (windowFound) {
        seen_ = true;
        return false;
    }
    return seen_ || !rendererRunning;
}

int32_t PreviewHostNumber(const std::string& commandLine) {
    // From the fourth character (not byte: the command line is UTF-8) on.
    size_t at = 0;
    for (int characters = 0; characters < 3; ++characters) {
        if (at >= commandLine.size()) return 0;
        ++at;
        while (at < commandLine.size() && (static_cast<unsigned char>(commandLine[at]) & 0xC0) == 0x80) ++at;
    }
    int32_t host = 0;
    if (!RoundToInt32(ValOf(commandLine.substr(at)), host)) return 0;
    return host;
}

int16_t PreviewTwips(long pixels, double twipsPerPixel) {
    int16_t twips = 0;
    if (!RoundToInt16(static_cast<double>(pixels) * twipsPerPixel, twips)) return 0;
    return twips;
}
