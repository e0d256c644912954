// libFuzzer target for the command-line and number helpers, each against a
// plain reference written here another way: ValOf on the text with every
// blank taken out first, rounding and floor by hand, the mode letter and the
// preview host number on decoded characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "RunRules.h"
#include "VBConvert.h"
#include "Vey_B.h"

namespace {


bool Digit(char c, int radix) {
    if (radix == 16) return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    return c >= '0' && c < '0' + radix;
}

double ReferenceVal(const std::string& text) {
    std::string s;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') s += c;
    }
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'h' || s[1] == 'H' || s[1] == 'o' || s[1] == 'O')) {
        const int radix = (s[1] == 'h' || s[1] == 'H') ? 16 : 8;
        unsigned long long value = 0;
        for (size_t i = 2; i < s.size() && Digit(s[i], radix); ++i) {
            const unsigned long long next = value * radix + std::stoi(std::string(1, s[i]), nullptr, 16);
            if (next > 0xFFFFFFFFull) break;
            value = next;
        }
        return static_cast<double>(value);
    }
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    const size_t intStart = i;
    while (i < s.size() && Digit(s[i], 10)) ++i;
    size_t digits = i - intStart;
    if (i < s.size() && s[i] == '.') {
        const size_t fracStart = ++i;
        while (i < s.size() && Digit(s[i], 10)) ++i;
        digits += i - fracStart;
    }
    if (digits == 0) return 0.0;
    std::string number = s.substr(0, i);
    if (i < s.size() && s[i] != 0 && std::strchr("eEdD", s[i]) != nullptr) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const size_t expStart = j;
        while (j < s.size() && Digit(s[j], 10)) ++j;
        if (j > expStart) number += "e" + s.substr(i + 1, j - i - 1);
    }
    return std::strtod(number.c_str(), nullptr);
}

bool ReferenceRound(double v, double low, double high, double& out) {
    if (!std::isfinite(v)) return false;
    const double f = std::floor(v), rest = v - f;
    double r = rest > 0.5 ? f + 1 : rest < 0.5 ? f : (std::fmod(f, 2.0) == 0 ? f : f + 1);
    if (r < low || r > high) return false;
    out = r;
    return true;
}

std::vector<std::string> Characters(const std::string& utf8) {
    std::vector<std::string> out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80 && !out.empty()) {
            out.back() += utf8[i];
        } else {
            out.push_back(std::string(1, utf8[i]));
        }
    }
    return out;
}

// Valid UTF-8 made of the code points the input gives (a command line
// comes from UTF-16 text, so it is always valid).
std::string Utf8Of(FuzzedDataProvider& input) {
    std::string out;
    const size_t count = input.ConsumeIntegralInRange<size_t>(0, 24);
    for (size_t k = 0; k < count && input.remaining_bytes() > 0; ++k) {
        uint32_t c = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0x20, 0x7E)
                                         : input.ConsumeIntegralInRange<uint32_t>(0x80, 0x10FFFF);
        if (c >= 0xD800 && c <= 0xDFFF) c = 0xFF50;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                    static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const double number = input.ConsumeFloatingPoint<double>();
    const std::string text = input.ConsumeRandomLengthString(64);
    const std::string commandLine = Utf8Of(input);

    const double val = ValOf(text), reference = ReferenceVal(text);
    if (std::getenv("FUZZ_SHOW") != nullptr) std::fprintf(stderr, "[%s] %.17g %.17g\n", text.c_str(), val, reference);
    Check(std::memcmp(&val, &reference, sizeof val) == 0);

    for (const double v : {number, val, std::floor(number) + 0.5}) {
        int16_t r16 = 0;
        int32_t r32 = 0;
        double expected = 0;
        const bool ok16 = RoundToInt16(v, r16);
        Check(ok16 == ReferenceRound(v, -32768, 32767, expected) && (!ok16 || r16 == expected));
        const bool ok32 = RoundToInt32(v, r32);
        Check(ok32 == ReferenceRound(v, -2147483648.0, 2147483647.0, expected) && (!ok32 || r32 == expected));
        int16_t f16 = 0;
        const bool inRange = std::isfinite(v) && std::floor(v) >= -32768 && std::floor(v) <= 32767;
        Check(FloorToInt16(v, f16) == inRange && (!inRange || f16 == std::floor(v)));
    }

    const std::vector<std::string> chars = Characters(commandLine);
    std::string letter = chars.size() >= 2 ? chars[1] : std::string();
    if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z') letter[0] = static_cast<char>(letter[0] - 32);
    Check(ModeLetter(commandLine) == letter);

    std::string rest;
    for (size_t i = 3; i < chars.size(); ++i) rest += chars[i];
    double host = 0;
    const int32_t expectedHost = ReferenceRound(ReferenceVal(rest), -2147483648.0, 2147483647.0, host)
                                     ? static_cast<int32_t>(host) : 0;
    Check(PreviewHostNumber(commandLine) == expectedHost);
    return 0;
}
