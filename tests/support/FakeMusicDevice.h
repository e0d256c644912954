// A scripted multimedia device for the music module's tests: it records
// every command with the reply size offered, and answers the way a CD
// drive, the MPEG player and the sound player would.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "Vey_BGM.h"

class FakeMusicDevice : public MusicDevice {
public:
    // MCI error codes a real system gives for these situations.
    static constexpr int32_t kUnrecognizedCommand = 261;
    static constexpr int32_t kInvalidDeviceName = 263;
    static constexpr int32_t kFileNotFound = 275;
    static constexpr int32_t kDeviceNotReady = 276;
    static constexpr int32_t kOutOfRange = 282;
    static constexpr int32_t kBadTimeFormat = 293;

    struct Call {
        std::string command;
        uint32_t offered;
        bool operator==(const Call& other) const { return command == other.command && offered == other.offered; }
    };
    struct Sound {
        bool stop;  // no sound name
        std::string path;
        uint32_t flags;
    };

    // The CD drive.
    bool hasDrive = true;
    bool discIn = true;
    int tracks = 10;
    int currentTrack = 1;
    std::string cdMode = "stopped";
    bool cdOpen = false;
    std::string currentTrackReply;  // when set, replaces the current track's number
    // The MPEG player.
    bool mp3Playable = true;
    bool mp3Open = false;
    std::string mp3Mode = "stopped";
    // Error texts and the wave device.
    bool errorTexts = true;
    uint32_t waveDevices = 1;

    std::vector<Call> calls;
    std::vector<Sound> sounds;

    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const Call& c : calls) out.push_back(c.command);
        return out;
    }

    int32_t SendString(const std::string& command, std::string* reply, uint32_t offeredSize) override {
        calls.push_back({command, offeredSize});
        std::string text;
        const int32_t code = Answer(command, text);
        if (code == 0 && reply != nullptr && offeredSize > 0) *reply = text.substr(0, offeredSize - 1);
        return code;
    }

    bool GetErrorString(int32_t code, std::string* text, uint32_t offeredSize) override {
        if (!errorTexts) return false;
        *text = ("MCI error " + std::to_string(code)).substr(0, offeredSize - 1);
        return true;
    }

    int32_t PlaySoundFile(const std::string* path, uint32_t flags) override {
        sounds.push_back({path == nullptr, path ? *path : std::string(), flags});
        return 1;
    }

    uint32_t WaveOutDeviceCount() override { return waveDevices; }

private:
    static bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

    int32_t Answer(const std::string& c, std::string& reply) {
        if (c == "open cdaudio") {
            if (!hasDrive) return kInvalidDeviceName;
            cdOpen = true;
            return 0;
        }
        if (StartsWith(c, "open \"") && c.size() > 36 &&
            c.compare(c.size() - 30, 30, "\" type MPEGVideo Alias MP3Play") == 0) {
            if (!mp3Playable) return kFileNotFound;
            mp3Open = true;
            mp3Mode = "stopped";
            return 0;
        }
        if (StartsWith(c, "set cdaudio ") || StartsWith(c, "status cdaudio") || StartsWith(c, "play cdaudio") ||
            c == "stop cdaudio" || c == "close cdaudio") {
            if (!cdOpen) return kInvalidDeviceName;
            if (c == "set cdaudio time format tmsf") return 0;
            if (c == "status cdaudio mode") {
                reply = discIn ? cdMode : "open";
                return 0;
            }
            if (c == "stop cdaudio") {
                cdMode = "stopped";
                return 0;
            }
            if (c == "close cdaudio") {
                cdOpen = false;
                return 0;
            }
            if (!discIn) return kDeviceNotReady;
            if (c == "status cdaudio current track") {
                reply = currentTrackReply.empty() ? std::to_string(currentTrack) : currentTrackReply;
                return 0;
            }
            if (c == "status cdaudio number of tracks") {
                reply = std::to_string(tracks);
                return 0;
            }
            if (StartsWith(c, "status cdaudio position track ")) {
                const int track = std::atoi(c.c_str() + 30);
                if (track < 1 || track > tracks) return kOutOfRange;
                char tmsf[16];
                std::snprintf(tmsf, sizeof tmsf, "%02d:00:00:00", track);
                reply = tmsf;
                return 0;
            }
            if (c == "play cdaudio") {
                cdMode = "playing";
                return 0;
            }
            if (StartsWith(c, "play cdaudio from ")) {
                const std::string position = c.substr(18);
                int track = 0, m = 0, s = 0, f = 0;
                if (std::sscanf(position.c_str(), "%d:%d:%d:%d", &track, &m, &s, &f) != 4 || track < 1 ||
                    track > tracks) {
                    return kBadTimeFormat;
                }
                currentTrack = track;
                cdMode = "playing";
                return 0;
            }
            return kUnrecognizedCommand;
        }
        if (c == "play MP3Play" || c == "status MP3Play mode" || c == "stop MP3Play" || c == "play MP3Play from 0" ||
            c == "close MP3Play") {
            if (!mp3Open) return kInvalidDeviceName;
            if (c == "status MP3Play mode") {
                reply = mp3Mode;
            } else if (c == "stop MP3Play") {
                mp3Mode = "stopped";
            } else if (c == "close MP3Play") {
                mp3Open = false;
            } else {
                mp3Mode = "playing";
            }
            return 0;
        }
        return kUnrecognizedCommand;
    }
};
