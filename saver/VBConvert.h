// Number and text conversions of the saver program, with the rules its
// settings file and command lines have always followed.
#pragma once

#include <cstdint>
#include <string>

// A text read as a number from its start: blanks (spaces, tabs, line feeds)
// are skipped anywhere, reading stops at the first character that cannot
// continue the number, "&H" and "&O" introduce hexadecimal and octal whole
// numbers, and a text without a number gives 0.
double ValOf(const std::string& text);

// The whole text as a number, blanks around it allowed (a sign, digits with
// an optional fraction and exponent); false when it is not one.
bool ParseWholeNumber(const std::string& text, double& value);

// Rounding to 16 and 32 bits with halves to even; false when out of range.
bool RoundToInt16(double value, int16_t& out);
bool RoundToInt32(double value, int32_t& out);

// Floor to 16 bits; false when out of range or not a number.
bool FloorToInt16(double value, int16_t& out);

// A number written with a blank in place of the sign when not negative (" 2", "-3").
std::string SignedText(long value);

// The "##" format: the number without padding, and 0 as an empty text.
std::string FormatHashHash(long value);
