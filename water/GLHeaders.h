// OpenGL 1.1 and GLU. The Windows headers want <windows.h> first for their
// calling conventions; nothing else of Windows is used by the scene code.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>
