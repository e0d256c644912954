// The music module against a scripted device: each situation as the exact
// commands that go out, with the reply size offered for each.
#include <gtest/gtest.h>

#include "Vey_B.h"
#include "Vey_BGM.h"
#include "support/Settings.h"
#include "support/FakeMusicDevice.h"

namespace {

using Call = FakeMusicDevice::Call;
using Calls = std::vector<Call>;

const Call kCurrentTrack{"status cdaudio current track", 512};
const Call kNumberOfTracks{"status cdaudio number of tracks", 512};
const Call kMode{"status cdaudio mode", 255};

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMusicDevice(&device);
        ResetSettings();
        MCI_ReplyBuffer.clear();
        MCI_ErrorBuffer.clear();
        CD_ModeBuffer.clear();
        MP3_ModeBuffer.clear();
        MCI_Reply.clear();
        API_Result = 12345;
    }
    void TearDown() override { SetMusicDevice(nullptr); }

    // A drive with the disc opened, its calls forgotten.
    void OpenDisc(int currentTrack, const std::string& mode) {
        CD_Open();
        device.currentTrack = currentTrack;
        device.cdMode = mode;
        device.calls.clear();
    }

    FakeMusicDevice device;
};

}  // namespace

TEST_F(MusicTest, EmptyCommandIsNotSent) {
    std::string reply;
    EXPECT_EQ(-1, MCI_Send("", reply));
    EXPECT_EQ("コマンド文字列が指定されていません", reply);
    EXPECT_EQ("Error:-1", MCI_Status(""));
    EXPECT_EQ(-1, API_Result);
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(MusicTest, ErrorsBecomeTextsThatCallersRecognise) {
    std::string reply;
    EXPECT_EQ(FakeMusicDevice::kUnrecognizedCommand, MCI_Send("dance cdaudio", reply));
    EXPECT_EQ("MCI error 261", reply);
    EXPECT_EQ(261, API_Result);
    device.errorTexts = false;
    EXPECT_EQ(261, MCI_Send("dance cdaudio", reply));
    EXPECT_EQ("Error (文字列が取れません)", reply);
    // The status form returns "Error:" and the code, not the text.
    EXPECT_EQ("Error:261", MCI_Status("dance cdaudio"));
    EXPECT_EQ((Calls{{"dance cdaudio", 512}, {"dance cdaudio", 512}, {"dance cdaudio", 512}}), device.calls);
    // A successful reply comes back whole.
    device.errorTexts = true;
    CD_Open();
    EXPECT_EQ("10", MCI_Status("status cdaudio number of tracks"));
    EXPECT_EQ(0, API_Result);
}

TEST_F(MusicTest, PlayCommandsByGivenPositions) {
    MCI_Play("cdaudio", "03:00:00:00", "04:00:00:00");
    MCI_Play("cdaudio", "03:00:00:00", "");
    MCI_Play("cdaudio", "", "04:00:00:00");
    MCI_Play("cdaudio", "", "");
    EXPECT_EQ((std::vector<std::string>{"play cdaudio from 03:00:00:00 to 04:00:00:00", "play cdaudio from 03:00:00:00",
                                        "play cdaudio to 04:00:00:00", "play cdaudio"}),
              device.Commands());
}

TEST_F(MusicTest, OpenAndCloseAskForNoReply) {
    CD_Open();
    CD_Close();
    EXPECT_EQ((Calls{{"open cdaudio", 0}, {"set cdaudio time format tmsf", 0}, {"stop cdaudio", 0}, {"close cdaudio", 0}}),
              device.calls);
    EXPECT_EQ(0, API_Result);
}

TEST_F(MusicTest, WholeDiscStoppedStartsPlaying) {
    OpenDisc(1, "stopped");
    CD_Repeat();
    EXPECT_EQ(VB_True, CD_Active);
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode, {"play cdaudio", 512}}), device.calls);
    // Once it plays, the next tick leaves it alone.
    device.calls.clear();
    CD_Repeat();
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode}), device.calls);
}

TEST_F(MusicTest, WholeDiscPausedIsLeftAlone) {
    OpenDisc(5, "paused");
    CD_Repeat();
    EXPECT_EQ(VB_True, CD_Active);
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode}), device.calls);
}

TEST_F(MusicTest, ChosenTrackIsSoughtWhenAnotherPlays) {
    BGM_Track = 3;
    OpenDisc(4, "playing");
    CD_Repeat();
    EXPECT_EQ(VB_True, CD_Active);
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode, {"status cdaudio position track 3", 512},
                     {"play cdaudio from 03:00:00:00", 512}}),
              device.calls);
    EXPECT_EQ(3, device.currentTrack);
}

TEST_F(MusicTest, ChosenTrackPlayingNeedsNothingMore) {
    BGM_Track = 3;
    OpenDisc(3, "playing");
    CD_Repeat();
    EXPECT_EQ(VB_True, CD_Active);
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode}), device.calls);
}

TEST_F(MusicTest, ChosenTrackStoppedIsStartedAgain) {
    BGM_Track = 3;
    OpenDisc(3, "stopped");
    CD_Repeat();
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode, {"status cdaudio position track 3", 512},
                     {"play cdaudio from 03:00:00:00", 512}}),
              device.calls);
}

TEST_F(MusicTest, ChosenTrackTheDiscLacksIsTriedEveryTick) {
    BGM_Track = 12;
    OpenDisc(1, "playing");
    for (int tick = 0; tick < 2; ++tick) {
        device.calls.clear();
        CD_Repeat();
        EXPECT_EQ(VB_True, CD_Active);
        // The failed position query's text goes into the play command, which the device rejects.
        EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode, {"status cdaudio position track 12", 512},
                         {"play cdaudio from Error:282", 512}}),
                  device.calls);
    }
    EXPECT_EQ(FakeMusicDevice::kBadTimeFormat, API_Result);
}

TEST_F(MusicTest, NoDriveOrNoDiscEndsCdPlay) {
    device.hasDrive = false;
    CD_Open();
    device.calls.clear();
    CD_Repeat();
    EXPECT_EQ(VB_False, CD_Active);
    EXPECT_EQ((Calls{kCurrentTrack}), device.calls);

    FakeMusicDevice empty;
    empty.discIn = false;
    SetMusicDevice(&empty);
    CD_Open();
    CD_Repeat();
    EXPECT_EQ(VB_False, CD_Active);
    EXPECT_EQ(FakeMusicDevice::kDeviceNotReady, API_Result);
}

TEST_F(MusicTest, ATrackReplyThatIsNoNumberEndsCdPlay) {
    BGM_Track = 2;
    OpenDisc(2, "playing");
    device.currentTrackReply = "two";
    CD_Repeat();
    EXPECT_EQ(VB_False, CD_Active);
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode}), device.calls);
    // Blanks around a number are fine: " 2 " is track 2.
    device.currentTrackReply = " 2 ";
    device.calls.clear();
    CD_Repeat();
    EXPECT_EQ(VB_True, CD_Active);
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode}), device.calls);
}

TEST_F(MusicTest, ModeBufferKeepsItsLastReply) {
    // A mode query that writes nothing leaves the last reply in place:
    // after "stopped", a failing query still reads as stopped.
    OpenDisc(1, "stopped");
    CD_Repeat();
    EXPECT_EQ("stopped", CD_ModeBuffer);

    class NoModeReply : public FakeMusicDevice {
    public:
        int32_t SendString(const std::string& command, std::string* reply, uint32_t offered) override {
            if (command == "status cdaudio mode") {
                calls.push_back({command, offered});
                return kDeviceNotReady;
            }
            return FakeMusicDevice::SendString(command, reply, offered);
        }
    } silent;
    SetMusicDevice(&silent);
    CD_Open();
    silent.cdMode = "playing";
    silent.calls.clear();
    CD_Repeat();
    EXPECT_EQ((Calls{kCurrentTrack, kNumberOfTracks, kMode, {"play cdaudio", 512}}), silent.calls);
}

TEST_F(MusicTest, Mp3PlaysQuotedAndRestartsWhenItEnds) {
    BGM_File = "C:\\My Music\\海の 音.mp3";
    MP3_Play();
    EXPECT_EQ((Calls{{"open \"C:\\My Music\\海の 音.mp3\" type MPEGVideo Alias MP3Play", 0}, {"play MP3Play", 0}}),
              device.calls);
    EXPECT_EQ(VB_True, MP3_IsPlaying());

    device.calls.clear();
    MP3_Repeat();  // playing: nothing to do
    EXPECT_EQ((Calls{{"status MP3Play mode", 30}}), device.calls);

    for (const char* mode : {"stopped", "paused"}) {
        device.mp3Mode = mode;
        device.calls.clear();
        MP3_Repeat();
        EXPECT_EQ((Calls{{"status MP3Play mode", 30}, {"stop MP3Play", 0}, {"play MP3Play from 0", 0}}), device.calls)
            << mode;
        EXPECT_EQ("playing", device.mp3Mode);
    }

    device.calls.clear();
    MP3_Close();
    EXPECT_EQ((Calls{{"stop MP3Play", 0}, {"close MP3Play", 0}}), device.calls);
    EXPECT_FALSE(device.mp3Open);
}

TEST_F(MusicTest, Mp3NeverOpenedRetriesSilentlyEveryTick) {
    device.mp3Playable = false;
    BGM_File = "C:\\gone.mp3";
    MP3_Play();
    EXPECT_EQ((Calls{{"open \"C:\\gone.mp3\" type MPEGVideo Alias MP3Play", 0}}), device.calls);  // no play
    EXPECT_EQ(FakeMusicDevice::kFileNotFound, API_Result);
    for (int tick = 0; tick < 3; ++tick) {
        device.calls.clear();
        MP3_Repeat();
        EXPECT_EQ((Calls{{"status MP3Play mode", 30}, {"stop MP3Play", 0}, {"play MP3Play from 0", 0}}), device.calls);
        EXPECT_EQ(FakeMusicDevice::kInvalidDeviceName, API_Result);
    }
    EXPECT_EQ(VB_False, MP3_IsPlaying());
}

TEST_F(MusicTest, WavLoopsOnlyWithAWaveDevice) {
    BGM_File = "C:\\Sounds\\波.WAV";
    WAV_Play();
    WAV_Stop();
    ASSERT_EQ(2u, device.sounds.size());
    EXPECT_FALSE(device.sounds[0].stop);
    EXPECT_EQ("C:\\Sounds\\波.WAV", device.sounds[0].path);
    EXPECT_EQ(9u, device.sounds[0].flags);  // asynchronous, looping
    EXPECT_TRUE(device.sounds[1].stop);
    EXPECT_EQ(0u, device.sounds[1].flags);

    device.sounds.clear();
    device.waveDevices = 0;
    API_Result = 777;
    WAV_Play();
    EXPECT_TRUE(device.sounds.empty());
    EXPECT_EQ(777, API_Result);
}

TEST_F(MusicTest, PlayerChosenBySourceAndUpperCasedEnding) {
    struct Case {
        int16_t type;
        const char* file;
        MusicKind kind;
    };
    const Case cases[] = {
        {0, "C:\\a.mp3", MusicKind::None}, {1, "", MusicKind::CD},           {1, "C:\\a.wav", MusicKind::CD},
        {2, "C:\\a.mp3", MusicKind::MP3},  {2, "C:\\a.Mp3", MusicKind::MP3}, {2, "C:\\b.WAV", MusicKind::WAV},
        {2, "C:\\b.wav", MusicKind::WAV},  {2, "C:\\c.mid", MusicKind::None}, {2, "", MusicKind::None},
        {2, "wav", MusicKind::WAV},        {2, "av", MusicKind::None},       {3, "C:\\a.mp3", MusicKind::None},
        {-1, "C:\\a.mp3", MusicKind::None}, {2, "C:\\音楽.mp3", MusicKind::MP3},
    };
    for (const Case& c : cases) {
        BGM_Type = c.type;
        BGM_File = c.file;
        EXPECT_EQ(c.kind, SelectedMusic()) << c.type << " " << c.file;
    }
}
