// What the files of our forms layer share inside it.
#pragma once

#include <windows.h>

#include "Application.h"

namespace forms {
namespace detail {

extern const wchar_t kFormClass[];
HCURSOR CursorFor(MousePointer pointer);
MousePointer CurrentPointer();
void RegisterFormClass();

}  // namespace detail
}  // namespace forms
