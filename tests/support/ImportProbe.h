// A static initialiser that calls one function of each system library the
// programs reach through their own import tables (ImportProbe.cpp). Linked
// after the tables, as the renderer's own initialisers are, so that it comes
// after them in the program's list of initialisers: run in the list's order
// from the end, it would run before their fills.
#pragma once

#include "GLHeaders.h"
#include <mmsystem.h>

// The libraries it called, set only if none jumped to an empty table entry
// (which would have ended the process).
extern int g_importProbeCalls;

// One call of each library. Made inline by the test too, which puts their
// tables ahead of the probe in the program.
inline int CallEachSystemLibrary() {
    timeGetTime();
    gluErrorString(GLU_INVALID_ENUM);
    glGetString(GL_VENDOR);  // no context: null
    GradientFill(nullptr, nullptr, 0, nullptr, 0, GRADIENT_FILL_RECT_H);
    return 4;
}
