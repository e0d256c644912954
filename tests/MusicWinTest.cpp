// The music module on the real winmm binding under Wine: no CD drive, a WAV
// file of our own on the (silent) wave device, an MP3 path with blanks and
// Japanese characters.
#include <windows.h>

#include <gtest/gtest.h>

#include "Vey_B.h"
#include "Vey_BGM.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

namespace {

// Passes everything to the system and remembers the commands.
class RecordingDevice : public MusicDevice {
public:
    int32_t SendString(const std::string& command, std::string* reply, uint32_t offered) override {
        commands.push_back(command);
        const int32_t code = PlatformMusicDevice().SendString(command, reply, offered);
        codes.push_back(code);
        return code;
    }
    bool GetErrorString(int32_t code, std::string* text, uint32_t offered) override {
        return PlatformMusicDevice().GetErrorString(code, text, offered);
    }
    int32_t PlaySoundFile(const std::string* path, uint32_t flags) override {
        return PlatformMusicDevice().PlaySoundFile(path, flags);
    }
    uint32_t WaveOutDeviceCount() override { return PlatformMusicDevice().WaveOutDeviceCount(); }

    std::vector<std::string> commands;
    std::vector<int32_t> codes;
};

class MusicWinTest : public ::testing::Test {
protected:
    void SetUp() override { SetMusicDevice(nullptr); }
    void TearDown() override { SetMusicDevice(nullptr); }
    TempDir dir;
};

}  // namespace

TEST_F(MusicWinTest, WithoutACdDriveTheFirstCheckEndsCdPlay) {
    BGM_Track = 0;
    CD_Open();
    EXPECT_NE(0, API_Result);  // no drive to open
    CD_Repeat();
    EXPECT_EQ(VB_False, CD_Active);
    EXPECT_NE(0, API_Result);
    CD_Close();  // harmless on a device that never opened
}

TEST_F(MusicWinTest, ErrorTextsComeFromTheSystem) {
    std::string reply;
    const int32_t code = MCI_Send("status nosuchdevice mode", reply);
    EXPECT_NE(0, code);
    EXPECT_FALSE(reply.empty());
    EXPECT_NE(kMciNoErrorText, reply);
    EXPECT_EQ("Error:" + std::to_string(code), MCI_Status("status nosuchdevice mode"));
}

TEST_F(MusicWinTest, WavFileLoopsAndStops) {
    ASSERT_GT(PlatformMusicDevice().WaveOutDeviceCount(), 0u) << "the harness gives Wine a silent wave device";
    BGM_File = dir.Write("波の 音.wav", ToneWav());
    API_Result = 0;
    WAV_Play();
    EXPECT_EQ(1, API_Result);  // PlaySound accepted it
    Sleep(300);
    WAV_Stop();
    EXPECT_EQ(1, API_Result);
}

TEST_F(MusicWinTest, Mp3PathWithBlanksAndJapaneseIsSentQuoted) {
    RecordingDevice device;
    SetMusicDevice(&device);
    BGM_File = dir.Write("夜の 海 music.mp3", SilentMp3());
    MP3_Play();
    ASSERT_FALSE(device.commands.empty());
    EXPECT_EQ("open \"" + BGM_File + "\" type MPEGVideo Alias MP3Play", device.commands[0]);
    // The harness installs the decoders Wine's MPEG player needs: it opens and plays.
    ASSERT_EQ(0, device.codes[0]) << "the MPEG player could not open the file";
    EXPECT_EQ("play MP3Play", device.commands.at(1));
    EXPECT_EQ(0, device.codes.at(1));
    EXPECT_EQ(VB_True, MP3_IsPlaying());

    // A second of silence ends; the next tick starts it again from the beginning.
    const DWORD start = GetTickCount();
    while (MP3_IsPlaying() == VB_True && GetTickCount() - start < 10000) Sleep(100);
    EXPECT_EQ(VB_False, MP3_IsPlaying()) << MP3_ModeBuffer;
    device.commands.clear();
    MP3_Repeat();
    EXPECT_EQ((std::vector<std::string>{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}), device.commands);
    EXPECT_EQ(VB_True, MP3_IsPlaying());
    MP3_Close();
    EXPECT_EQ("close MP3Play", device.commands.back());
    EXPECT_EQ(0, device.codes.back());
}

TEST_F(MusicWinTest, Mp3ThatCannotBeOpenedIsRetriedSilently) {
    RecordingDevice device;
    SetMusicDevice(&device);
    BGM_File = dir.File("ない.mp3");
    MP3_Play();
    EXPECT_NE(0, device.codes.at(0));
    EXPECT_EQ(1u, device.commands.size());  // no play command
    for (int tick = 0; tick < 2; ++tick) MP3_Repeat();
    EXPECT_EQ(7u, device.commands.size());
    MP3_Close();
}
