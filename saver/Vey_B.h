// The saver program's start-up module: shared variables and start-up.
#pragma once

#include <cstdint>

// Result of the last system call made anywhere in the saver program. Most
// calls store their return value here whether or not anyone reads it.
extern int32_t API_Result;
