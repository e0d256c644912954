// Our small forms layer over Win32, for the saver program: forms with
// load/show/unload and their handlers, timers whose ticks come only between
// handlers, picture boxes with a persistent off-screen image, image
// controls, labels, combo boxes, rectangle shapes, the screen, message
// boxes, starting programs, and the program's life: it ends when no form is
// loaded any more. Texts are UTF-8; windows are Unicode. It depends on
// nothing of the saver.
#pragma once

#include "Application.h"
#include "Control.h"
#include "Controls.h"
#include "Form.h"
#include "Picture.h"
