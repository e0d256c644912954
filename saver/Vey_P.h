// The settings dialog "<Tavelo>": the music source (none, music CD with a
// track to repeat, or an MP3/WAV file) and the display during a run (switch
// to 1024 x 768, or keep the resolution), saved to "Tavelo.ini" by "設定".
// Its design data (positions and sizes in twips, texts) stands below.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "Command.h"
#include "Forms/Forms.h"

extern const char* const kAuthorPage;     // the address behind the link label
extern const char* const kCreditText;     // the designer credit and the version

class Vey_P : public forms::Form {
public:
    Vey_P();

    forms::PictureBox Pic_C0;             // Pic_C(0), the panel
    forms::Shape Shape3;                  // frames the title "BGM"
    forms::Label lbl15;                   // "BGM"
    std::array<forms::ImageControl, 3> Img_BGM;  // the choices' marks, by BGM_Type
    std::array<forms::Label, 3> lbl_BGM;         // "なし", "音楽CD", "MP3、WAV"
    forms::ComboBox BGM_Repeat;           // the CD track to repeat
    forms::Label lbl14;                   // "曲目をﾘﾋﾟｰﾄ"
    forms::Shape Shape4;                  // frames the title "画面"
    forms::Label lbl16;                   // "画面"
    std::array<forms::ImageControl, 2> Img_Mode;  // the display choices' marks, by Screen_Mode
    std::array<forms::Label, 2> lbl_Mode;         // "1024×768 に切り替える", "今の解像度のまま"
    Command Cmd_File0;                    // Cmd_File(0), "..."
    forms::Label lbl_Fname0;              // lbl_Fname(0), the music file
    forms::Label lbl7;                    // the credit
    forms::Label lbl_URL;                 // the link
    Command Cmd_Set;                      // "設定"
    Command Cmd_Can;                      // "ｷｬﾝｾﾙ"

    // The platform seams the tests replace: the shell's "open" of the link,
    // the open-file dialog (the chosen path, or empty when cancelled).
    std::function<void(const std::string& address)> openAddress;
    std::function<std::string()> chooseFile;

    void Choose(int index);  // Img_BGM_MouseDown / lbl_BGM_MouseDown
    void ChooseScreenMode(int index);  // Img_Mode_MouseDown / lbl_Mode_MouseDown
    void Cmd_File_Click(int index);
    void Cmd_Set_Click();
    void Cmd_Can_Click();
    void lbl_URL_Click();

protected:
    void Form_Load() override;
    void Form_Resize() override;
    void Form_Unload(int& cancel) override;
    void Form_Paint(HDC dc) override;
    bool Form_KeyPreview(UINT virtualKey) override;

private:
    void SetupCommands(bool init, bool enable);
    void ShowMarks();
    std::string OpenFileDialog();
    std::shared_ptr<forms::Picture> markOff_, markOn_;
    std::unique_ptr<forms::Picture> background_;  // the form's wave
};
