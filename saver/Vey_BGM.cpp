#include "Vey_BGM.h"

#include <cctype>
#include <string>

#include "SaverState.h"

int16_t BGM_Type = 0;
int16_t BGM_Track = 0;
std::string BGM_File;
std::string BGM_Folder;
VBBool CD_Active = VB_False;

std::string MCI_ReplyBuffer;
std::string MCI_ErrorBuffer;
std::string CD_ModeBuffer;
std::string MP3_ModeBuffer;
std::string MCI_Reply;

const char* const kMciEmptyCommandText = "コマンド文字列が指定されていません";
const char* const kMciNoErrorText = "Error (文字列が取れません)";

namespace {

MusicDevice* g_device = nullptr;

MusicDevice& Device() { return g_device != nullptr ? *g_device : PlatformMusicDevice(); }

// A command whose reply nobody asks for.
void SendOnly(const std::string& command) { API_Result = Device().SendString(command, nullptr, 0); }

std::string UpperAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool IsFailure(const std::string& result) { return UpperAscii(result).find("ERR") != std::string::npos; }

// A reply read as a whole number, blanks around it allowed; false for
// anything else (the conversion failure that ends a CD check).
bool ParseTrackNumber(const std::string& text, long& value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t end = text.size();
    while (end > i && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    if (i == end) return false;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    if (i == end) return false;
    long number = 0;
    for (; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        number = number * 10 + (text[i] - '0');
        if (number > 32768) return false;  // beyond a 16-bit value
    }
    value = negative ? -number : number;
    return value >= -32768 && value <= 32767;
}

}  // namespace

void SetMusicDevice(MusicDevice* device) { g_device = device; }

int32_t MCI_Send(const std::string& command, std::string& reply) {
    if (command.empty()) {
        reply = kMciEmptyCommandText;
        return -1;
    }
    const int32_t code = Device().SendString(command, &MCI_ReplyBuffer, kMciReplySize);
    API_Result = code;
    if (code != 0) {
        if (!Device().GetErrorString(code, &MCI_ErrorBuffer, kMciErrorSize)) {
            reply = kMciNoErrorText;
        } else {
            reply = MCI_ErrorBuffer;
        }
        return code;
    }
    reply = MCI_ReplyBuffer;
    return 0;
}

std::string MCI_Status(const std::string& command) {
    const int32_t code = MCI_Send(command, MCI_Reply);
    API_Result = code;
    if (code != 0) return "Error:" + std::to_string(code);
    return MCI_Reply;
}

int32_t MCI_Play(const std::string& device, const std::string& from, const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) command += " from " + from;
    if (!to.empty()) command += " to " + to;
    return MCI_Send(command, MCI_Reply);
}

void CD_Open() {
    SendOnly("open cdaudio");
    SendOnly("set cdaudio time format tmsf");
}

void CD_Repeat() {
    CD_Active = VB_True;
    const std::string current = MCI_Status("status cdaudio current track");
    if (IsFailure(current)) {
        CD_Active = VB_False;
        return;
    }
    const std::string tracks = MCI_Status("status cdaudio number of tracks");
    if (IsFailure(tracks)) {
        CD_Active = VB_False;
        return;
    }
    API_Result = Device().SendString("status cdaudio mode", &CD_ModeBuffer, kCdModeSize);
    const bool stopped = CD_ModeBuffer.compare(0, 7, "stopped") == 0 && CD_ModeBuffer.size() >= 7;

    if (BGM_Track != 0) {
        long currentTrack = 0;
        if (!ParseTrackNumber(current, currentTrack)) {  // a reply that is no number
            CD_Active = VB_False;
            return;
        }
        if (stopped || currentTrack != BGM_Track) {
            const std::string position = MCI_Status("status cdaudio position track " + std::to_string(BGM_Track));
            MCI_Play("cdaudio", position, "");
        }
    } else if (stopped) {
        MCI_Play("cdaudio", "", "");
    }
}

void CD_Close() {
    SendOnly("stop cdaudio");
    SendOnly("close cdaudio");
}

void MP3_Play() {
    const int32_t code = Device().SendString("open \"" + BGM_File + "\" type MPEGVideo Alias MP3Play", nullptr, 0);
    API_Result = code;
    if (code == 0) SendOnly("play MP3Play");
}

VBBool MP3_IsPlaying() {
    API_Result = Device().SendString("status MP3Play mode", &MP3_ModeBuffer, kMp3ModeSize);
    return ToVBBool(MP3_ModeBuffer.size() >= 7 && MP3_ModeBuffer.compare(0, 7, "playing") == 0);
}

void MP3_Repeat() {
    if (MP3_IsPlaying() == VB_False) {
        SendOnly("stop MP3Play");
        SendOnly("play MP3Play from 0");
    }
}

void MP3_Close() {
    SendOnly("stop MP3Play");
    SendOnly("close MP3Play");
}

void WAV_Play() {
    if (Device().WaveOutDeviceCount() > 0) API_Result = Device().PlaySoundFile(&BGM_File, kSndAsync | kSndLoop);
}

void WAV_Stop() { API_Result = Device().PlaySoundFile(nullptr, 0); }

MusicKind SelectedMusic() {
    if (BGM_Type == 1) return MusicKind::CD;
    if (BGM_Type != 2) return MusicKind::None;
    const std::string ending = UpperAscii(BGM_File.size() >= 3 ? BGM_File.substr(BGM_File.size() - 3) : BGM_File);
    if (ending == "MP3") return MusicKind::MP3;
    if (ending == "WAV") return MusicKind::WAV;
    return MusicKind::None;
}
