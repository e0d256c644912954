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
// The mouse stays with the window a button was pressed on until every
// button is up again (as Windows' own controls have it): a press on the
// form released on a button does not reach the button.
void FollowPress(HWND window, UINT message, WPARAM wParam);

}  // namespace detail
}  // namespace forms
