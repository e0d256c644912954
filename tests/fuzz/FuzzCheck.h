// A fuzz target's check: a failure names its line, then aborts, so that
// libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define Check(condition)                                                                      \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "check failed at line %d: %s\n", __LINE__, #condition);      \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)
