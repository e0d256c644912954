// The settings dialog's seams in-process: the link goes to the shell with
// its address, and a chosen path that Shift_JIS cannot hold is stored by its
// short name.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "SaverPlatform.h"
#include "Utf16.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "Vey_P.h"
#include "support/Settings.h"
#include "support/TempDir.h"
#include "support/WinDriver.h"

TEST(SettingsDialogTest, TheLinkGoesToTheShellWithItsAddress) {
    ResetSettings();
    Vey_P dialog;
    std::vector<std::string> opened;
    dialog.openAddress = [&](const std::string& address) {
        opened.push_back(address);
        EXPECT_EQ(forms::MousePointer::Hourglass, forms::Screen::GetMousePointer());
    };
    dialog.Show();
    SendMessageW(dialog.lbl_URL.hWnd(), WM_LBUTTONUP, 0, 0);  // no press on it: no click
    EXPECT_TRUE(opened.empty());
    SendMessageW(dialog.lbl_URL.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(dialog.lbl_URL.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(std::vector<std::string>{kAuthorPage}, opened);
    EXPECT_EQ(forms::MousePointer::Default, forms::Screen::GetMousePointer());
    dialog.Unload();
}

TEST(SettingsDialogTest, APathShiftJisCannotHoldIsStoredByItsShortName) {
    ResetSettings();
    TempDir dir;
    const std::string korean = dir.File("노래.mp3");  // Hangul: not in code page 932
    std::ofstream(std::filesystem::u8path(korean)) << "x";
    Vey_P dialog;
    dialog.chooseFile = [&] { return korean; };
    dialog.Show();
    dialog.Choose(2);
    dialog.Cmd_File_Click(0);
    ASSERT_FALSE(BGM_File.empty());
    EXPECT_NE(korean, BGM_File);
    EXPECT_EQ(BGM_File, FromShiftJis(ToShiftJis(BGM_File))) << "stored as it is written";
    EXPECT_TRUE(FileExists(BGM_File)) << BGM_File;
    EXPECT_EQ(BGM_File, dialog.lbl_Fname0.Caption());
    dialog.Unload();
}
