// The saver program's start-up module: the run modes, the settings file, the
// path helpers and the variables shared by the whole program.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "SaverState.h"


// The settings file's section and keys, and the start-up texts.
extern const char* const kSettingsFileName;   // "\Tavelo.ini"
extern const char* const kSettingsSection;    // "Section"
extern const char* const kKeyMusicSource;     // "BGM区分"
extern const char* const kKeyRepeatTrack;     // "BGMﾘﾋﾟｰﾄ"
extern const char* const kKeyMusicFile;       // "BGMﾌｧｲﾙ"
extern const char* const kKeyScreenMode;      // "画面ﾓｰﾄﾞ"
extern const char* const kProgramTitle;       // "Tavelo (ScreenSaver)"
extern const char* const kSaverFormCaption;     // "Vey_Main"
extern const char* const kSettingsFormCaption;  // "<Tavelo>"

std::string SettingsFilePath();  // program folder + "\Tavelo.ini"

void ReadSettings();
std::string GetIni(const std::string& section, const std::string& key, const std::string& file);
// False (and API_Result 0) when the file could not be read or replaced; the
// file is then as it was.
bool WriteIni(const std::string& section, const std::string& key, const std::string& value, const std::string& file);
// Several keys of one section in one replacement of the file, in the order
// given: a program that dies meanwhile leaves the old file or the new one,
// never half of the keys.
bool WriteIniKeys(const std::string& section, const std::vector<std::pair<std::string, std::string>>& keys,
                  const std::string& file);
bool FileExists(const std::string& path);
// A value the settings file holds and gives back unchanged: every character
// in Shift_JIS, and no more than the 255 bytes a read returns.
bool SettingsFileCanHold(const std::string& value);
std::string FolderOf(const std::string& path);

// The mode letter: the second character of the upper-cased command line,
// empty when the command line is shorter.
std::string ModeLetter(const std::string& commandLine);

// What start-up asks of the system and of the forms. Main decides; these do.
class StartupServices {
public:
    virtual ~StartupServices() = default;
    virtual std::string CommandLine() = 0;                         // read afresh each time
    virtual bool WindowExists(const std::string& caption) = 0;     // a top-level window, any class
    virtual void ShowMessage(const std::string& text) = 0;         // OK only, the program's title
    virtual int32_t ShowCursor(bool show) = 0;
    virtual void EndAtOnce() = 0;                                  // no unload handlers run
    // The forms of each run mode, given what Main read and decided.
    virtual void ShowPreview(const std::string& commandLine) = 0;  // the preview inside the host window
    virtual void ShowSettingsModal() = 0;                          // the settings dialog, until it closes
    virtual void LoadSaverForm(bool pointerHidden) = 0;            // the hidden full-screen run form
};

// Start-up: the single-instance rule, the run mode, the settings, the
// renderer check, then the form for the mode. Returns when the program goes
// on with its forms, or right after EndAtOnce.
void Main(StartupServices& services);
