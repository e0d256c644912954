// The saver's booleans are 16-bit values with True = -1 and False = 0, as
// its settings and callers have always seen them.
#pragma once

#include <cstdint>

using VBBool = int16_t;
constexpr VBBool VB_True = -1;
constexpr VBBool VB_False = 0;

inline VBBool ToVBBool(bool value) { return value ? VB_True : VB_False; }
