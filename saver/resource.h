// Resource numbers of the saver program's pictures.
#pragma once

#define IDB_SUNLIGHT 101  // 256 x 256 sunlight through water, the renderer's surface pattern
#define IDB_PREVIEW 102   // 152 x 112 still picture for the display settings' preview
// The button control's state pictures, 64 x 25 (HighLightSelect is HighLight).
#define IDB_BUTTON_NORMAL 111
#define IDB_BUTTON_HIGHLIGHT 112
#define IDB_BUTTON_PRESSED 113
#define IDB_BUTTON_DISABLE 114
#define IDB_BUTTON_SELECTED 115
// The program's icon.
#define IDI_TAVELO 131
