#include "Texts.h"

#include <cstddef>

namespace {

struct Entry {
    Text text;
    const char* japanese;
    const char* english;
};

// In the order of Text, each entry naming its own: the table is checked at
// compile time below.
constexpr Entry kTexts[] = {
    {Text::MusicGroup, "BGM", "Music"},
    {Text::NoMusic, "なし", "None"},
    {Text::MusicCD, "音楽CD", "Music CD"},
    {Text::MusicFile, "MP3、WAV", "MP3 or WAV"},
    {Text::RepeatTrack, "曲目をﾘﾋﾟｰﾄ", "Repeat track"},
    {Text::ScreenGroup, "画面", "Screen"},
    {Text::SwitchResolution, "1024×768 に切り替える", "Switch to 1024 × 768"},
    {Text::KeepResolution, "今の解像度のまま", "Keep my resolution"},
    {Text::Save, "設定", "OK"},
    {Text::Cancel, "ｷｬﾝｾﾙ", "Cancel"},
    {Text::FileDialogTitle, "ﾌｧｲﾙを開く", "Choose the music"},
    {Text::FileDialogFilter, "BGMﾌｧｲﾙ (MP3 WAV)", "Music files (MP3, WAV)"},
    {Text::SaveFailed,
     "設定を保存できませんでした。\nTavelo.ini に書き込めません（読み取り専用か、ほかのプログラムが使用中です）。",
     "The settings could not be saved.\nTavelo.ini cannot be written (it is read-only, or another program is "
     "using it)."},
    {Text::FileNotStorable,
     "このファイル名は設定ファイルに保存できません（使えない文字があるか、長すぎます）。\n"
     "別の名前か、短い場所のファイルを選んでください。",
     "This file's name cannot be kept in the settings file (it has characters the file cannot hold, or it is "
     "too long).\nPlease choose a file with another name, or in a shorter place."},
    {Text::RendererMissing, "Tavelo.dll が同じﾌｫﾙﾀﾞに見つかりません！", "Tavelo.dll was not found in Tavelo's folder."},
};

constexpr bool InOrder() {
    for (std::size_t i = 0; i < sizeof kTexts / sizeof kTexts[0]; ++i) {
        if (static_cast<std::size_t>(kTexts[i].text) != i) return false;
    }
    return static_cast<std::size_t>(Text::RendererMissing) + 1 == sizeof kTexts / sizeof kTexts[0];
}
static_assert(InOrder(), "every text once, in the order of Text");

// Japanese in the design's font; English in Tahoma 8 pt, the classic dialog font that every Windows has
// (and Wine), with a Western character set.
constexpr DialogFontFace kJapaneseFace = {"ＭＳ Ｐゴシック", 975, 128};
constexpr DialogFontFace kEnglishFace = {"Tahoma", 800, 0};

Language g_language = Language::Japanese;

}  // namespace

void UseLanguage(Language language) { g_language = language; }

const char* TextOf(Text text) {
    const Entry& entry = kTexts[static_cast<std::size_t>(text)];
    return g_language == Language::Japanese ? entry.japanese : entry.english;
}

const DialogFontFace& DialogFace() { return g_language == Language::Japanese ? kJapaneseFace : kEnglishFace; }
