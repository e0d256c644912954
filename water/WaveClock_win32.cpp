// The animation's tick count on Windows: milliseconds since the system started.
#include <windows.h>

#include "WaveField.h"

uint32_t SystemTickCount() { return GetTickCount(); }
