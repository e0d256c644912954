// Every text the saver shows the user, in Japanese and in English side by
// side (Texts.cpp), and the dialog font each language is drawn in. The
// language is chosen once at start from the user's display language; what
// is stored (the settings file's keys) never depends on it.
#pragma once

enum class Language { Japanese, English };

enum class Text {
    MusicGroup,        // the music group's title
    NoMusic,           // the three music choices
    MusicCD,
    MusicFile,
    RepeatTrack,       // beside the track box
    ScreenGroup,       // the display group's title
    SwitchResolution,  // the two display choices
    KeepResolution,
    Save,              // the two buttons
    Cancel,
    FileDialogTitle,   // "..."'s file dialog
    FileDialogFilter,
    SaveFailed,        // the messages
    FileNotStorable,
    RendererMissing,
};

void UseLanguage(Language language);

// The text in the language in use (UTF-8).
const char* TextOf(Text text);

// The font the dialog's texts are drawn in.
struct DialogFontFace {
    const char* name;      // UTF-8
    int hundredthsOfPoint;
    int charset;           // a Windows character set number
};
const DialogFontFace& DialogFace();
