// A short tone as a WAV file, for the sound player's tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

inline std::vector<uint8_t> ToneWav(double seconds = 0.5, int rate = 22050, double hertz = 440.0) {
    const uint32_t samples = static_cast<uint32_t>(seconds * rate);
    const uint32_t dataBytes = samples * 2;
    std::vector<uint8_t> w;
    auto put = [&w](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) w.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto tag = [&w](const char* t) { w.insert(w.end(), t, t + 4); };
    tag("RIFF");
    put(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate) * 2, 4);
    put(2, 2);
    put(16, 2);
    tag("data");
    put(dataBytes, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        const double v = 8000.0 * std::sin(2.0 * 3.14159265358979 * hertz * i / rate);
        put(static_cast<uint16_t>(static_cast<int16_t>(v)), 2);
    }
    return w;
}

// A second of silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, mono).
inline std::vector<uint8_t> SilentMp3() {
    std::vector<uint8_t> frame(417, 0);
    frame[0] = 0xFF;
    frame[1] = 0xFB;
    frame[2] = 0x90;
    frame[3] = 0xC0;
    std::vector<uint8_t> file;
    for (int i = 0; i < 40; ++i) file.insert(file.end(), frame.begin(), frame.end());
    return file;
}
