// The variables the whole saver program shares (its modules and forms read
// and set them); the start-up module fills most of them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Result of the last system call made anywhere in the saver program. Most
// calls store their return value here whether or not anyone reads it.
extern int32_t API_Result;
// The point the settings dialog's zoom animations start from and end at.
extern int16_t Zoom_X;
extern int16_t Zoom_Y;
// What ShowCursor(false) returned when a full-screen run hid the pointer;
// empty until then.
extern std::optional<int32_t> Cursor_Count;
// The raw text of the last settings-file read.
extern std::string INI_Value;
// The display during a full-screen run ("画面ﾓｰﾄﾞ"): 1 keeps the display's own
// resolution; 0, or any other value, switches the primary display to
// 1024 x 768 x 32 as the saver was designed.
extern int16_t Screen_Mode;
inline bool KeepsDisplayResolution() { return Screen_Mode == 1; }
