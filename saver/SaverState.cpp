#include "SaverState.h"

int32_t API_Result = 0;
int16_t Zoom_X = 0;
int16_t Zoom_Y = 0;
std::optional<int32_t> Cursor_Count;
std::string INI_Value;
int16_t Screen_Mode = 0;
