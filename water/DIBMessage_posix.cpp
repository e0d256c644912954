// The bitmap reader's messages off Windows: on standard error.
#include <cstdio>

#include "DIB.h"

void ShowPlatformDIBError(const std::string& text) { std::fprintf(stderr, "Error: %s\n", text.c_str()); }
