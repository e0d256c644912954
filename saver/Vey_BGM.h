// The music module: an audio CD (optionally repeating one track), or one MP3
// or WAV file looping, through MCI command strings and the system sound
// player. It has no timer of its own: the saver form starts the music,
// calls the repeat procedures from its timers and stops it. Nothing here is
// ever shown to the user; every failure ends in silence.
//
// Portable: the four system calls sit behind MusicDevice (Vey_BGM_win32.cpp
// binds them to winmm), so the command strings and repeat rules are tested
// natively against a scripted device.
#pragma once

#include <cstdint>
#include <string>

#include "VBTypes.h"

// Music settings (filled from the settings file, edited by the settings dialog).
extern int16_t BGM_Type;        // 0 none, 1 music CD, 2 MP3/WAV file
extern int16_t BGM_Track;       // CD track to repeat, 0 = the whole disc
extern std::string BGM_File;    // full path of the music file (UTF-8)
extern std::string BGM_Folder;  // folder of BGM_File, or the program folder
extern VBBool CD_Active;        // True while CD play is usable

// The module's reply buffers, as the device last left them: a command that
// writes no reply leaves the previous text in place.
extern std::string MCI_ReplyBuffer;   // offered size 512
extern std::string MCI_ErrorBuffer;   // offered size 256
extern std::string CD_ModeBuffer;     // offered size 255
extern std::string MP3_ModeBuffer;    // offered size 30
extern std::string MCI_Reply;         // last reply or error text of MCI_Send

constexpr uint32_t kMciReplySize = 512;
constexpr uint32_t kMciErrorSize = 256;
constexpr uint32_t kCdModeSize = 255;
constexpr uint32_t kMp3ModeSize = 30;

constexpr uint32_t kSndAsync = 0x0001;
constexpr uint32_t kSndLoop = 0x0008;

// The system calls the module makes. A reply is written into *reply only when
// the device answers with text; otherwise *reply keeps what it held.
class MusicDevice {
public:
    virtual ~MusicDevice() = default;
    // mciSendString: the MCI error code (0 = success). reply is nullptr when
    // no reply is asked for (offered size 0).
    virtual int32_t SendString(const std::string& command, std::string* reply, uint32_t offeredSize) = 0;
    // mciGetErrorString: false when there is no text for the code.
    virtual bool GetErrorString(int32_t code, std::string* text, uint32_t offeredSize) = 0;
    // PlaySound with no module handle; path nullptr stops what plays.
    virtual int32_t PlaySoundFile(const std::string* path, uint32_t flags) = 0;
    // waveOutGetNumDevs.
    virtual uint32_t WaveOutDeviceCount() = 0;
};

MusicDevice& PlatformMusicDevice();          // the system's (platform file)
void SetMusicDevice(MusicDevice* device);    // nullptr: back to the system's

int32_t MCI_Send(const std::string& command, std::string& reply);
std::string MCI_Status(const std::string& command);
int32_t MCI_Play(const std::string& device, const std::string& from, const std::string& to);

void CD_Open();
void CD_Repeat();
void CD_Close();

void MP3_Play();
VBBool MP3_IsPlaying();
void MP3_Repeat();
void MP3_Close();

void WAV_Play();
void WAV_Stop();

// Which player a run uses: by BGM_Type, and for a file by the last three
// characters of its name, upper-cased.
enum class MusicKind { None, CD, MP3, WAV };
MusicKind SelectedMusic();

// The module's internal texts.
extern const char* const kMciEmptyCommandText;  // "コマンド文字列が指定されていません"
extern const char* const kMciNoErrorText;       // "Error (文字列が取れません)"
