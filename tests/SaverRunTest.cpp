// The full-screen run's form driven on a real Windows desktop against the
// recording music device: the pictures it writes, the music it starts and
// stops by the settings, and its end when the renderer's window goes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "Contract.h"
#include "DIB.h"
#include "SaverPlatform.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "Utf16.h"
#include "Vey_S.h"
#include "support/Settings.h"
#include "support/FakeMusicDevice.h"
#include "support/TempDir.h"
#include "support/WinDriver.h"

namespace {

// Stands in for the renderer: a window captioned "Tavelo_VC" of our own.
class FakeRendererWindow {
public:
    FakeRendererWindow() {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.lpszClassName = L"FakeRenderer";
        RegisterClassW(&cls);
        window_ = CreateWindowW(L"FakeRenderer", Utf8ToWide(contract::kRendererCaption).c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    }
    ~FakeRendererWindow() { Close(); }
    void Close() {
        if (window_ != nullptr) DestroyWindow(window_);
        window_ = nullptr;
    }

private:
    HWND window_ = nullptr;
};

// A device that also notes whether the MP3 watch still ran when the file was closed.
class WatchingDevice : public FakeMusicDevice {
public:
    Vey_S* form = nullptr;
    bool mp3TimerAtClose = true;
    int32_t SendString(const std::string& command, std::string* reply, uint32_t offeredSize) override {
        if (command == "close MP3Play" && form != nullptr) mp3TimerAtClose = form->Timer1.Enabled();
        return FakeMusicDevice::SendString(command, reply, offeredSize);
    }
};

class SaverRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No renderer beside the program: the run's own ending is what we watch.
        SetProgramFolder(folder.Path().u8string());
        SetMusicDevice(&device);
        ResetSettings();
    }
    void TearDown() override {
        SetMusicDevice(nullptr);
        SetProgramFolder("");
    }
    // Loads the form and lets it run until it ends the program.
    void RunToTheEnd(Vey_S& form) {
        form.Load();
        forms::Application::Run();
        EXPECT_FALSE(form.IsLoaded());
    }

    TempDir folder;
    WatchingDevice device;
    int ends = 0;
};

}  // namespace

TEST_F(SaverRunTest, WritesTheScreenAndTheLightPatternThenEndsWithoutARenderer) {
    const std::wstring screenCopy = Utf8ToWide(contract::kScreenCopyFile);
    const std::wstring lightPattern = Utf8ToWide(contract::kLightPatternFile);
    DeleteFileW(screenCopy.c_str());
    DeleteFileW(lightPattern.c_str());
    Vey_S form([&] { ++ends; });
    form.Load();  // the pictures are on disk before the renderer starts
    std::unique_ptr<RGBImage> screen = LoadDIBImage(contract::kScreenCopyFile);
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen->width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen->height);
    std::unique_ptr<RGBImage> light = LoadDIBImage(contract::kLightPatternFile);
    ASSERT_NE(nullptr, light);
    ASSERT_EQ(256, light->width);
    ASSERT_EQ(256, light->height);
    // The sunlight pattern: grey, never black, with bright lines.
    uint8_t darkest = 255, brightest = 0;
    for (size_t i = 0; i < light->data.size(); i += 3) {
        EXPECT_EQ(light->data[i], light->data[i + 1]);
        darkest = std::min(darkest, light->data[i]);
        brightest = std::max(brightest, light->data[i]);
    }
    EXPECT_GT(darkest, 60);
    EXPECT_GT(brightest, 230);

    forms::Application::Run();
    EXPECT_EQ(1, ends);
    EXPECT_EQ(folder.Path().u8string() + contract::kRendererFile, form.RendererPath);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_TRUE(device.sounds.empty());
    // The screen copy does not stay on disk for others to read.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(screenCopy.c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(lightPattern.c_str()));
}

TEST_F(SaverRunTest, WhereNoPlaceCanBeWrittenTheRendererIsNotStarted) {
    // "C:\Vey1.bmp" is a folder and the temporary folder names no folder.
    const std::wstring screenCopy = Utf8ToWide(contract::kScreenCopyFile);
    DeleteFileW(screenCopy.c_str());
    ASSERT_TRUE(CreateDirectoryW(screenCopy.c_str(), nullptr));
    wchar_t tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", L"C:\\no such folder\\at all");
    SetEnvironmentVariableW(L"TEMP", L"C:\\no such folder\\at all");
    Vey_S form([&] { ++ends; });
    RunToTheEnd(form);
    SetEnvironmentVariableW(L"TMP", tmp);
    SetEnvironmentVariableW(L"TEMP", temp);
    RemoveDirectoryW(screenCopy.c_str());
    EXPECT_EQ(1, ends);
    EXPECT_EQ("", form.RendererPath) << "the renderer was started";
    EXPECT_EQ("", form.ScreenCopyPath);
}

TEST_F(SaverRunTest, TheEndOfAnSRunShowsThePointerAgainAndNoOtherRunTouchesIt) {
    for (const bool hidden : {true, false}) {
        Cursor_Count = ShowCursor(FALSE);  // as start-up hides it for an "S" run
        Vey_S form([&] { ++ends; }, hidden);
        RunToTheEnd(form);
        // ShowCursor(TRUE) gives the count after it: 1 where the run gave the
        // pointer back, 0 where it is still hidden.
        EXPECT_EQ(hidden ? 1 : 0, ShowCursor(TRUE)) << (hidden ? "S run" : "empty command line");
        ShowCursor(FALSE);
        if (!hidden) ShowCursor(TRUE);
    }
}

TEST_F(SaverRunTest, AWavFileLoopsByItselfAndStopsAtTheEnd) {
    BGM_Type = 2;
    BGM_File = "C:\\音楽\\波.Wav";
    Vey_S form([&] { ++ends; });
    RunToTheEnd(form);
    ASSERT_EQ(2u, device.sounds.size());
    EXPECT_FALSE(device.sounds[0].stop);
    EXPECT_EQ(BGM_File, device.sounds[0].path);
    EXPECT_EQ(kSndAsync | kSndLoop, device.sounds[0].flags);
    EXPECT_TRUE(device.sounds[1].stop);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_FALSE(form.Timer1.Enabled());
    EXPECT_EQ(1, ends);
}

TEST_F(SaverRunTest, AnMp3IsWatchedEverySecondAndClosedAfterItsWatchStops) {
    BGM_Type = 2;
    BGM_File = "C:\\My Music\\海 の 歌.mp3";
    device.form = nullptr;
    FakeRendererWindow renderer;
    Vey_S form([&] { ++ends; });
    device.form = &form;
    form.Load();
    EXPECT_TRUE(form.Timer1.Enabled());
    // Two ticks of the MP3 watch while the renderer's window is there.
    EXPECT_TRUE(windriver::PumpUntil([&] {
        const std::vector<std::string> sent = device.Commands();
        return std::count(sent.begin(), sent.end(), "status MP3Play mode") == 2;
    }));
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(0, ends);
    renderer.Close();
    forms::Application::Run();
    EXPECT_EQ(1, ends);

    const std::vector<std::string> commands = device.Commands();
    ASSERT_GE(commands.size(), 5u);
    EXPECT_EQ("open \"C:\\My Music\\海 の 歌.mp3\" type MPEGVideo Alias MP3Play", commands.front());
    EXPECT_EQ("play MP3Play", commands[1]);
    // Ticks at 1000 and 2000 ms; the run ends before the third at 3000.
    EXPECT_EQ(2, std::count(commands.begin(), commands.end(), "status MP3Play mode"));
    EXPECT_EQ("close MP3Play", commands.back());
    EXPECT_FALSE(device.mp3TimerAtClose);
}

TEST_F(SaverRunTest, ACdWatchThatFailsStopsItselfAndTheCdIsNotClosed) {
    BGM_Type = 1;
    device.hasDrive = false;
    FakeRendererWindow renderer;
    Vey_S form([&] { ++ends; });
    form.Load();
    EXPECT_TRUE(form.Timer2.Enabled());
    EXPECT_TRUE(windriver::PumpUntil([&] { return !form.Timer2.Enabled(); }));
    EXPECT_EQ(VB_False, CD_Active);
    renderer.Close();
    forms::Application::Run();
    EXPECT_EQ(1, ends);
    const std::vector<std::string> commands = device.Commands();
    EXPECT_EQ(0, std::count(commands.begin(), commands.end(), "close cdaudio"));
}

TEST_F(SaverRunTest, ACdThatPlaysIsClosedAtTheEnd) {
    BGM_Type = 1;
    BGM_Track = 3;
    FakeRendererWindow renderer;
    Vey_S form([&] { ++ends; });
    form.Load();
    windriver::PumpFor(700);
    EXPECT_TRUE(form.Timer2.Enabled());
    renderer.Close();
    forms::Application::Run();
    EXPECT_EQ(1, ends);
    EXPECT_EQ("close cdaudio", device.Commands().back());
    EXPECT_FALSE(device.cdOpen);
}

TEST_F(SaverRunTest, AMidiFileOrNoMusicPlaysNothing) {
    for (int16_t type : {int16_t{0}, int16_t{2}}) {
        BGM_Type = type;
        BGM_File = "C:\\music\\song.mid";
        Vey_S form([&] { ++ends; });
        form.Load();
        EXPECT_FALSE(form.Timer1.Enabled());
        EXPECT_FALSE(form.Timer2.Enabled());
        EXPECT_TRUE(form.Timer3.Enabled());
        forms::Application::Run();
    }
    EXPECT_EQ(2, ends);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_TRUE(device.sounds.empty());
}
