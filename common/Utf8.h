// UTF-8 text inside the programs, walked a character at a time.
#pragma once

#include <cstddef>

// How many bytes the character starting with this byte takes (a stray
// continuation byte counts as one).
inline size_t Utf8Length(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }
