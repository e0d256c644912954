// Resource numbers of the saver program's pictures.
#pragma once

#define IDB_SUNLIGHT 101  // 256 x 256 sunlight through water, the renderer's surface pattern
#define IDB_PREVIEW 102   // 152 x 112 still picture for the display settings' preview
