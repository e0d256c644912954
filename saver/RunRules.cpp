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
    if (commandLine.size() < 3) return 0;
    int32_t host = 0;
    if (!RoundToInt32(ValOf(commandLine.substr(3)), host)) return 0;
    return host;
}

int16_t PreviewTwips(long pixels, int twipsPerPixel) {
    int16_t twips = 0;
    if (!RoundToInt16(static_cast<double>(pixels) * twipsPerPixel, twips)) return 0;
    return twips;
}
