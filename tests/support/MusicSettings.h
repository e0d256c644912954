// The music settings back to a fresh program's values.
#pragma once

#include "Vey_BGM.h"

inline void ResetMusicSettings() {
    BGM_Type = 0;
    BGM_Track = 0;
    BGM_File.clear();
    BGM_Folder.clear();
    CD_Active = VB_False;
}
