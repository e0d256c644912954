#include "VBConvert.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

double ValOf(const std::string& text) {
    std::string digits;  // the number's characters with the blanks taken out
    size_t i = 0;
    auto skip = [&]() {
        while (i < text.size() && IsBlank(text[i])) ++i;
    };
    skip();
    if (i < text.size() && text[i] == '&') {
        // "&H" and "&O", blanks allowed between them as anywhere else.
        size_t j = i + 1;
        while (j < text.size() && IsBlank(text[j])) ++j;
        const char base = j < text.size() ? static_cast<char>(std::toupper(static_cast<unsigned char>(text[j]))) : 0;
        if (base == 'H' || base == 'O') {
            i = j + 1;
            const long long radix = base == 'H' ? 16 : 8;
            long long value = 0;
            for (; i < text.size(); ++i) {
                if (IsBlank(text[i])) continue;
                const int c = std::toupper(static_cast<unsigned char>(text[i]));
                int d;
                if (c >= '0' && c <= '9') {
                    d = c - '0';
                } else if (base == 'H' && c >= 'A' && c <= 'F') {
                    d = c - 'A' + 10;
                } else {
                    break;
                }
                if (d >= radix) break;
                // Reading stops before a digit that would take it past 32 bits.
                if (value * radix + d > 0xFFFFFFFFLL) break;
                value = value * radix + d;
            }
            return static_cast<double>(value);
        }
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) digits += text[i++];
    bool seenDigit = false, seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsBlank(c)) continue;
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            digits += c;
            seenPoint = true;
        } else {
            break;
        }
    }
    if (seenDigit && i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::string exponent = "e";
        size_t j = i + 1;
        while (j < text.size() && IsBlank(text[j])) ++j;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        bool expDigit = false;
        for (; j < text.size(); ++j) {
            if (IsBlank(text[j])) continue;
            if (!std::isdigit(static_cast<unsigned char>(text[j]))) break;
            exponent += text[j];
            expDigit = true;
        }
        if (expDigit) digits += exponent;
    }
    if (!seenDigit) return 0.0;
    return std::strtod(digits.c_str(), nullptr);
}

bool ParseWholeNumber(const std::string& text, double& value) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    if (begin == end) return false;
    const std::string core = text.substr(begin, end - begin);
    size_t i = 0;
    if (core[i] == '+' || core[i] == '-') ++i;
    bool digits = false;
    while (i < core.size() && std::isdigit(static_cast<unsigned char>(core[i]))) ++i, digits = true;
    if (i < core.size() && core[i] == '.') {
        ++i;
        while (i < core.size() && std::isdigit(static_cast<unsigned char>(core[i]))) ++i, digits = true;
    }
    if (!digits) return false;
    if (i < core.size() && (core[i] == 'e' || core[i] == 'E')) {
        ++i;
        if (i < core.size() && (core[i] == '+' || core[i] == '-')) ++i;
        bool expDigits = false;
        while (i < core.size() && std::isdigit(static_cast<unsigned char>(core[i]))) ++i, expDigits = true;
        if (!expDigits) return false;
    }
    if (i != core.size()) return false;
    value = std::strtod(core.c_str(), nullptr);
    return std::isfinite(value);
}

namespace {

bool RoundHalfEven(double value, double low, double high, double& out) {
    if (!std::isfinite(value)) return false;
    const double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
    if (rounded < low || rounded > high) return false;
    out = rounded;
    return true;
}

}  // namespace

bool RoundToInt16(double value, int16_t& out) {
    double r;
    if (!RoundHalfEven(value, -32768.0, 32767.0, r)) return false;
    out = static_cast<int16_t>(r);
    return true;
}

bool RoundToInt32(double value, int32_t& out) {
    double r;
    if (!RoundHalfEven(value, -2147483648.0, 2147483647.0, r)) return false;
    out = static_cast<int32_t>(r);
    return true;
}

bool FloorToInt16(double value, int16_t& out) {
    if (!std::isfinite(value)) return false;
    const double f = std::floor(value);
    if (f < -32768.0 || f > 32767.0) return false;
    out = static_cast<int16_t>(f);
    return true;
}

std::string SignedText(long value) { return value < 0 ? std::to_string(value) : " " + std::to_string(value); }

std::string FormatHashHash(long value) { return value == 0 ? std::string() : std::to_string(value); }
