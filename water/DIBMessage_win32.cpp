// The bitmap reader's messages on Windows: a message box captioned "Error",
// owned by the window that has the keyboard focus, with an OK button.
#include <windows.h>

#include "DIB.h"
#include "Utf16.h"

void ShowPlatformDIBError(const std::string& text) {
    MessageBoxW(GetFocus(), Utf8ToWide(text).c_str(), L"Error", MB_OK);
}
