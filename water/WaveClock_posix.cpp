// The animation's tick count off Windows: milliseconds of the monotonic clock,
// wrapping at 2^32 like GetTickCount.
#include <time.h>

#include "WaveField.h"

uint32_t SystemTickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000);
}
