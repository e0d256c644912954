// The settings back to a fresh program's values.
#pragma once

#include "SaverState.h"
#include "Vey_BGM.h"

inline void ResetSettings() {
    BGM_Type = 0;
    BGM_Track = 0;
    BGM_File.clear();
    BGM_Folder.clear();
    CD_Active = VB_False;
    Screen_Mode = 0;
}
