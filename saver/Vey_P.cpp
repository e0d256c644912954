#include "Vey_P.h"

#include <commdlg.h>
#include <shellapi.h>

#include <cmath>

#include "RadioMark.h"
#include "SaverPlatform.h"
#include "Texts.h"
#include "Utf16.h"
#include "VBConvert.h"
#include "Version.h"
#include "Vey_B.h"
#include "Vey_B_win32.h"
#include "Vey_BGM.h"
#include "resource.h"

const char* const kAuthorPage = "https://tavelo.example.org/";
const char* const kCreditText = "Design: Tavelo team  Ver." TAVELO_VERSION_TEXT;

namespace {

// Design data: twips at 15 twips a pixel, as designed; scaled with the screen.
constexpr int kClientWidth = 7440, kClientHeight = 3645;
const COLORREF kDialogColour = RGB(0xC0, 0xC0, 0xC0), kPanelColour = RGB(0xE0, 0xE0, 0xE0);
const Text kChoiceCaptions[3] = {Text::NoMusic, Text::MusicCD, Text::MusicFile};
const int kChoiceTop[3] = {1140, 840, 1440};  // on screen: 音楽CD, なし, MP3、WAV
constexpr int kMarkImageTwips = 195;          // the marks' images, 13 x 13 pixels at 96 dpi
// The display group, in the free right part of the panel, drawn like the
// music group and on the rows of its first two choices.
const Text kScreenModeCaptions[2] = {Text::SwitchResolution, Text::KeepResolution};
const int kScreenModeTop[2] = {840, 1140};
constexpr int kScreenGroupLeft = 4080, kScreenMarkLeft = 4200, kScreenLabelLeft = 4440;

int X(int twips) { return forms::Screen::PixelsX(twips); }
int Y(int twips) { return forms::Screen::PixelsY(twips); }

forms::LabelStyle Transparent(bool autoSize = false, bool centred = false) {
    forms::LabelStyle s;
    s.autoSize = autoSize;
    s.centred = centred;
    return s;
}

forms::LabelStyle Bordered() {
    forms::LabelStyle s;
    s.transparent = false;
    s.backColor = RGB(0xFF, 0xFF, 0xFF);
    s.bordered = true;
    return s;
}

forms::LabelStyle White(bool underline) {
    forms::LabelStyle s;
    s.foreColor = RGB(0xFF, 0xFF, 0xFF);
    s.autoSize = true;
    s.underline = underline;
    s.pointer = underline ? forms::MousePointer::Hand : forms::MousePointer::Default;
    return s;
}

// The brightness wave: one line a pixel row, rows 0 to H both included, |sin(y / k) x 220| with k = H / 3.142.
void PaintWave(HDC dc, int width, int height, bool panel) {
    if (height <= 0) return;
    const double k = height / 3.142;
    for (int y = 0; y <= height; ++y) {
        const int v = static_cast<int>(std::lround(std::fabs(std::sin(y / k) * 220)));
        forms::FillSolid(dc, RECT{0, y, width, y + 1}, panel ? RGB(v + 30, v + 30, v + 30) : RGB(v, v, v + 30));
    }
}

}  // namespace

Vey_P::Vey_P()
    : Form(forms::FormStyle{kSettingsFormCaption, forms::Border::FixedSingle, kDialogColour, IDI_TAVELO}),
      Pic_C0(*this, X(180), Y(240), X(7035), Y(2475), true, kPanelColour),
      Shape3(*this, X(300), Y(300), X(1695), Y(315), RGB(0, 0, 0), &Pic_C0),
      lbl15(*this, X(300), Y(360), X(1665), Y(195), TextOf(Text::MusicGroup), Transparent(false, true),
            &Pic_C0),
      Img_BGM{{{*this, X(420), Y(kChoiceTop[0]), X(kMarkImageTwips), Y(kMarkImageTwips), &Pic_C0},
               {*this, X(420), Y(kChoiceTop[1]), X(kMarkImageTwips), Y(kMarkImageTwips), &Pic_C0},
               {*this, X(420), Y(kChoiceTop[2]), X(kMarkImageTwips), Y(kMarkImageTwips), &Pic_C0}}},
      lbl_BGM{{{*this, X(660), Y(kChoiceTop[0]), 0, 0, TextOf(kChoiceCaptions[0]), Transparent(true), &Pic_C0},
               {*this, X(660), Y(kChoiceTop[1]), 0, 0, TextOf(kChoiceCaptions[1]), Transparent(true), &Pic_C0},
               {*this, X(660), Y(kChoiceTop[2]), 0, 0, TextOf(kChoiceCaptions[2]), Transparent(true), &Pic_C0}}},
      BGM_Repeat(*this, X(1680), Y(780), X(615), Y(300), &Pic_C0),
      lbl14(*this, X(2340), Y(840), 0, 0, TextOf(Text::RepeatTrack), Transparent(true), &Pic_C0),
      Shape4(*this, X(kScreenGroupLeft), Y(300), X(1695), Y(315), RGB(0, 0, 0), &Pic_C0),
      lbl16(*this, X(kScreenGroupLeft), Y(360), X(1665), Y(195), TextOf(Text::ScreenGroup),
             Transparent(false, true), &Pic_C0),
      Img_Mode{{{*this, X(kScreenMarkLeft), Y(kScreenModeTop[0]), X(kMarkImageTwips), Y(kMarkImageTwips), &Pic_C0},
                {*this, X(kScreenMarkLeft), Y(kScreenModeTop[1]), X(kMarkImageTwips), Y(kMarkImageTwips), &Pic_C0}}},
      lbl_Mode{{{*this, X(kScreenLabelLeft), Y(kScreenModeTop[0]), 0, 0, TextOf(kScreenModeCaptions[0]),
                 Transparent(true), &Pic_C0},
                {*this, X(kScreenLabelLeft), Y(kScreenModeTop[1]), 0, 0, TextOf(kScreenModeCaptions[1]),
                 Transparent(true), &Pic_C0}}},
      Cmd_File0(*this, X(420), Y(1740), X(615), Y(315), "...", &Pic_C0),
      lbl_Fname0(*this, X(1080), Y(1740), X(5595), Y(495), "", Bordered(), &Pic_C0),
      lbl7(*this, X(180), Y(2880), 0, 0, kCreditText, White(false)),
      lbl_URL(*this, X(180), Y(3120), 0, 0, kAuthorPage, White(true)),
      Cmd_Set(*this, X(4860), Y(3000), X(1155), Y(375), TextOf(Text::Save)),
      Cmd_Can(*this, X(6060), Y(3000), X(1155), Y(375), TextOf(Text::Cancel)) {
    // The marks at the size the layout gives them (12 pixels at 96 dpi).
    const int mark = X(kRadioMarkTwips);
    markOff_ = forms::Picture::FromPixels(mark, mark, DrawRadioMark(mark, false));
    markOn_ = forms::Picture::FromPixels(mark, mark, DrawRadioMark(mark, true));
    for (int i = 0; i < 3; ++i) {
        Img_BGM[i].onMouseDown = [this, i](int, int, int) { Choose(i); };
        lbl_BGM[i].onMouseDown = [this, i](int, int, int) { Choose(i); };
    }
    for (int i = 0; i < 2; ++i) {
        Img_Mode[i].onMouseDown = [this, i](int, int, int) { ChooseScreenMode(i); };
        lbl_Mode[i].onMouseDown = [this, i](int, int, int) { ChooseScreenMode(i); };
    }
    Cmd_File0.onClick = [this] { Cmd_File_Click(0); };
    Cmd_Set.onClick = [this] { Cmd_Set_Click(); };
    Cmd_Can.onClick = [this] { Cmd_Can_Click(); };
    lbl_URL.onClick = [this] { lbl_URL_Click(); };
    openAddress = [this](const std::string& address) {
        ShellExecuteW(hWnd(), L"open", Utf8ToWide(address).c_str(), L"", L"", SW_SHOWNORMAL);
    };
    chooseFile = [this] { return OpenFileDialog(); };
}

void Vey_P::SetupCommands(bool init, bool enable) {
    for (Command* command : {&Cmd_File0, &Cmd_Set, &Cmd_Can}) {
        if (init) {
            command->Initialize();
        } else {
            command->SetEnabled(enable);
        }
    }
}

void Vey_P::ShowMarks() {
    for (int i = 0; i < 3; ++i) Img_BGM[i].SetPicture(markOff_);
    if (BGM_Type >= 0 && BGM_Type <= 2) Img_BGM[BGM_Type].SetPicture(markOn_);
    // Any value but 1 switches the display: its mark shows so.
    const int mode = KeepsDisplayResolution() ? 1 : 0;
    for (int i = 0; i < 2; ++i) Img_Mode[i].SetPicture(i == mode ? markOn_ : markOff_);
}

void Vey_P::Form_Load() {
    SetClientSize(X(kClientWidth), Y(kClientHeight));
    Move((forms::Screen::Width() - Width()) / 2, (forms::Screen::Height() - Height()) / 3, Width(), Height());
    SetupCommands(true, true);
    BGM_Repeat.SetEnabled(false);
    ShowMarks();
    if (BGM_Type == 1) BGM_Repeat.SetEnabled(true);
    Cmd_File0.SetEnabled(BGM_Type == 2);
    BGM_Repeat.SetText(FormatHashHash(BGM_Track));
    for (int track = 0; track <= 30; ++track) BGM_Repeat.AddItem(FormatHashHash(track));
    lbl_Fname0.SetCaption(BGM_File);
    POINT point;
    API_Result = GetCursorPos(&point);
    Zoom_X = static_cast<int16_t>(API_Result ? point.x : 0);
    Zoom_Y = static_cast<int16_t>(API_Result ? point.y : 0);
    ZoomOpen(hWnd());
    forms::Screen::SetMousePointer(forms::MousePointer::Default);
}

// Both waves go into persistent images (the form's own, the panel's), so a
// paint after the window was covered, or of a transparent label, only
// copies them.
void Vey_P::Form_Resize() {
    background_ = std::make_unique<forms::Picture>(ScaleWidth(), ScaleHeight());
    if (background_->Valid()) PaintWave(background_->DC(), ScaleWidth(), ScaleHeight(), false);
    PaintWave(Pic_C0.DC(), Pic_C0.ScaleWidth(), Pic_C0.ScaleHeight(), true);
    // The form and every control on it again, over the new background.
    RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Vey_P::Form_Paint(HDC dc) {
    if (background_ && background_->Valid()) {
        BitBlt(dc, 0, 0, background_->Width(), background_->Height(), background_->DC(), 0, 0, SRCCOPY);
    }
}

void Vey_P::Form_Unload(int& /*cancel*/) { ZoomClose(hWnd()); }

bool Vey_P::Form_KeyPreview(UINT key) {
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (alt) return false;
    // As in every dialog: with the track list open, Escape closes the list
    // and Enter takes its highlighted entry; only then do they act here.
    if ((key == VK_ESCAPE || key == VK_RETURN) && BGM_Repeat.ListOpen()) return false;
    switch (key) {
        case VK_RETURN:
            // A focused button other than "設定" takes its own Enter.
            if (GetFocus() == Cmd_Can.hWnd() || GetFocus() == Cmd_File0.hWnd()) return false;
            Cmd_Set_Click();
            return true;
        case VK_ESCAPE:
            Cmd_Can_Click();
            return true;
        case VK_TAB: {
            // From no control (the form itself has the focus): the first tab
            // stop, or with Shift the last.
            const bool back = GetKeyState(VK_SHIFT) < 0;
            const HWND focus = GetFocus();
            HWND next = nullptr;
            if (focus != nullptr && IsChild(hWnd(), focus)) {
                next = GetNextDlgTabItem(hWnd(), focus, back);
            } else {
                next = GetNextDlgTabItem(hWnd(), nullptr, FALSE);
                if (next != nullptr && back) next = GetNextDlgTabItem(hWnd(), next, TRUE);  // before the first: the last
            }
            if (next != nullptr) SetFocus(next);
            return true;
        }
        default:
            return false;
    }
}

void Vey_P::ChooseScreenMode(int index) {
    Screen_Mode = static_cast<int16_t>(index);
    ShowMarks();
}

void Vey_P::Choose(int index) {
    BGM_Type = static_cast<int16_t>(index);
    ShowMarks();
    // Each set once, to what it ends as: disabling a control that has the
    // focus hands the focus on (to 設定, where Enter would save), so "..."
    // chosen again must not be disabled on the way.
    BGM_Repeat.SetEnabled(BGM_Type == 1);
    Cmd_File0.SetEnabled(BGM_Type == 2);
}

std::string Vey_P::OpenFileDialog() {
    wchar_t file[256] = {}, title[256] = {};
    const std::wstring filter = Utf8ToWide(TextOf(Text::FileDialogFilter)) + L'\0' + L"*.MP3;*.WAV" + L'\0' + L'\0';
    const std::wstring folder = Utf8ToWide(BGM_Folder);
    const std::wstring caption = Utf8ToWide(TextOf(Text::FileDialogTitle));
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = hWnd();
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = 255;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = 255;
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = caption.c_str();
    API_Result = GetOpenFileNameW(&dialog);
    return API_Result > 0 ? WideToUtf8(file) : std::string();
}

void Vey_P::Cmd_File_Click(int /*index*/) {
    std::string chosen = chooseFile();
    if (chosen.empty()) return;
    // The settings file is Shift_JIS and a read gives back 255 bytes: a path
    // it cannot hold whole is stored by its short name where the volume has
    // one, else not at all (the previous file stays).
    if (!SettingsFileCanHold(chosen)) {
        wchar_t shortPath[MAX_PATH] = {};
        const DWORD n = GetShortPathNameW(Utf8ToWide(chosen).c_str(), shortPath, MAX_PATH);
        const std::string candidate = n > 0 && n < MAX_PATH ? WideToUtf8(shortPath) : std::string();
        if (candidate.empty() || !SettingsFileCanHold(candidate)) {
            forms::Application::MsgBox(TextOf(Text::FileNotStorable), hWnd());
            return;
        }
        chosen = candidate;
    }
    BGM_File = chosen;
    lbl_Fname0.SetCaption(BGM_File);
    BGM_Folder = FolderOf(BGM_File);
}

// The four keys in one replacement of the file; a failed write is said,
// and the dialog stays open with the user's choice.
void Vey_P::Cmd_Set_Click() {
    double number = 0;
    int16_t track = 0;
    if (ParseWholeNumber(BGM_Repeat.Text(), number) && RoundToInt16(number, track) && track >= 0 && track <= 30) {
        BGM_Track = track;
    } else {
        BGM_Track = 0;
    }
    const bool saved = WriteIniKeys(kSettingsSection,
                                    {{kKeyMusicSource, SignedText(BGM_Type)},
                                     {kKeyRepeatTrack, SignedText(BGM_Track)},
                                     {kKeyMusicFile, BGM_File},
                                     {kKeyScreenMode, SignedText(KeepsDisplayResolution() ? 1 : 0)}},
                                    SettingsFilePath());
    if (!saved) {
        forms::Application::MsgBox(TextOf(Text::SaveFailed), hWnd());
        return;
    }
    Unload();
}

void Vey_P::Cmd_Can_Click() { Unload(); }

void Vey_P::lbl_URL_Click() {
    forms::Screen::SetMousePointer(forms::MousePointer::Hourglass);
    openAddress(lbl_URL.Caption());
    forms::Screen::SetMousePointer(forms::MousePointer::Default);
}
