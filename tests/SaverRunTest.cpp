// The full-screen run's form driven on a real Windows desktop against the
// recording music device: the pictures it writes, the music it starts and
// stops by the settings, and its end when the renderer's window goes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "DIB.h"
#include "SaverPlatform.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "Vey_R.h"
#include "Vey_S.h"
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
        window_ = CreateWindowW(L"FakeRenderer", L"Tavelo_VC", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
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
        BGM_Type = 0;
        BGM_Track = 0;
        BGM_File.clear();
        CD_Active = VB_False;
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
    DeleteFileW(L"C:\\Vey1.bmp");
    DeleteFileW(L"C:\\Vey2.bmp");
    Vey_S form([&] { ++ends; });
    form.Load();  // the pictures are on disk before the renderer starts
    std::unique_ptr<RGBImage> screen = LoadDIBImage("C:\\Vey1.bmp");
    ASSERT_NE(nullptr, screen);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), screen->width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), screen->height);
    std::unique_ptr<RGBImage> light = LoadDIBImage("C:\\Vey2.bmp");
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
    EXPECT_EQ(folder.Path().u8string() + "\\Tavelo.dll", form.RendererPath);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_TRUE(device.sounds.empty());
    // The screen copy does not stay on disk for others to read.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\Vey1.bmp"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\Vey2.bmp"));
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
    windriver::PumpFor(2400);  // two ticks of the MP3 watch; the renderer's window is there
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
    windriver::PumpFor(700);
    EXPECT_FALSE(form.Timer2.Enabled());
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

// ---- The preview ------------------------------------------------------------------
// (Inside a host of the same process: Wine draws no child window of another
// process, so the pixels are checked here, on the real screen, and the
// cross-process case by the program tests.)

namespace {

class PreviewTest : public ::testing::Test {
protected:
    HWND MakeHost(int width, int height) {
        WNDCLASSW cls = {};
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        cls.lpszClassName = L"PreviewHost";
        RegisterClassW(&cls);
        host_ = CreateWindowW(L"PreviewHost", L"Host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        UpdateWindow(host_);
        return host_;
    }
    void TearDown() override {
        if (IsWindow(host_)) DestroyWindow(host_);
    }
    static std::string CommandLineFor(HWND host, const char* prefix = "/p ") {
        return prefix + std::to_string(reinterpret_cast<intptr_t>(host));
    }
    // The screen's pixel, as it shows now.
    static COLORREF ScreenAt(int x, int y) {
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, x, y);
        ReleaseDC(nullptr, screen);
        return c;
    }
    static void ExpectScreenShows(int left, int top, int width, int height, forms::Picture& picture) {
        windriver::PumpFor(300);
        HDC screen = GetDC(nullptr);
        int wrong = 0;
        for (int y = 0; y < height; y += 3) {
            for (int x = 0; x < width; x += 3) {
                const COLORREF want =
                    x < picture.Width() && y < picture.Height() ? GetPixel(picture.DC(), x, y) : RGB(0, 0, 0);
                const COLORREF got = GetPixel(screen, left + x, top + y);
                if (want != got && ++wrong <= 5) ADD_FAILURE() << x << "," << y << ": " << std::hex << got << " not " << want;
            }
        }
        ReleaseDC(nullptr, screen);
    }
    HWND host_ = nullptr;
};

}  // namespace

TEST_F(PreviewTest, AHostOfThePicturesSizeShowsTheWholePicture) {
    HWND host = MakeHost(152, 112);
    Vey_R form;
    ShowPreview(form, CommandLineFor(host), [] { ADD_FAILURE() << "ended"; });
    ASSERT_TRUE(form.IsLoaded());
    EXPECT_EQ(host, GetAncestor(form.hWnd(), GA_PARENT));
    EXPECT_TRUE(GetWindowLongW(form.hWnd(), GWL_STYLE) & WS_CHILD);
    RECT r;
    GetClientRect(form.hWnd(), &r);
    EXPECT_EQ(152, r.right);
    EXPECT_EQ(112, r.bottom);
    std::shared_ptr<forms::Picture> picture = form.Img_Prev.PictureOf();
    ASSERT_TRUE(picture && picture->Valid());
    ASSERT_EQ(152, picture->Width());
    ASSERT_EQ(112, picture->Height());
    ExpectScreenShows(100, 100, 152, 112, *picture);

    // The host goes, and the preview with it: no form is left.
    DestroyWindow(host);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(0, forms::Application::LoadedForms());
}

TEST_F(PreviewTest, ThePreviewTakesTheHostsDpiAwareness) {
    // A host made by a DPI-unaware thread, a saver thread that is aware.
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    using GetContext = HANDLE(WINAPI*)(HWND);
    using Equal = BOOL(WINAPI*)(HANDLE, HANDLE);
    using ThreadContext = HANDLE(WINAPI*)();
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(GetProcAddress(user32, "SetThreadDpiAwarenessContext")));
    const auto get = reinterpret_cast<GetContext>(reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto equal = reinterpret_cast<Equal>(reinterpret_cast<void*>(GetProcAddress(user32, "AreDpiAwarenessContextsEqual")));
    const auto thread = reinterpret_cast<ThreadContext>(reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    if (set == nullptr || get == nullptr || equal == nullptr || thread == nullptr) GTEST_SKIP() << "no per-window DPI awareness here";
    const HANDLE unaware = reinterpret_cast<HANDLE>(-1), perMonitor2 = reinterpret_cast<HANDLE>(-4);
    const HANDLE before = set(unaware);
    HWND host = MakeHost(152, 112);
    set(perMonitor2);
    if (equal(get(host), thread())) {
        set(before);
        GTEST_SKIP() << "this system gives every window one DPI awareness (Wine does)";
    }
    Vey_R form;
    ShowPreview(form, CommandLineFor(host), [] { ADD_FAILURE() << "ended"; });
    const HANDLE taken = thread();
    set(before);
    ASSERT_TRUE(form.IsLoaded());
    EXPECT_TRUE(equal(get(host), taken)) << "the preview's thread did not take the host's awareness";
    EXPECT_TRUE(equal(get(host), get(form.hWnd())));
    EXPECT_EQ(host, GetAncestor(form.hWnd(), GA_PARENT));
    form.Unload();
}

TEST_F(PreviewTest, ALargerHostShowsThePictureAtTheTopLeftOnBlack) {
    HWND host = MakeHost(300, 200);
    Vey_R form;
    ShowPreview(form, CommandLineFor(host, "/P:"), [] { ADD_FAILURE() << "ended"; });
    ASSERT_TRUE(form.IsLoaded());
    ExpectScreenShows(100, 100, 300, 200, *form.Img_Prev.PictureOf());
    EXPECT_EQ(RGB(0, 0, 0), ScreenAt(100 + 299, 100 + 199));
    form.Unload();
}

TEST_F(PreviewTest, ASmallerHostShowsThePicturesTopLeftPart) {
    HWND host = MakeHost(100, 60);
    Vey_R form;
    ShowPreview(form, CommandLineFor(host), [] { ADD_FAILURE() << "ended"; });
    ExpectScreenShows(100, 100, 100, 60, *form.Img_Prev.PictureOf());
    // Nothing beyond the host: the picture is cut, not drawn over the desktop.
    const int cx = 100 + 110, cy = 100 + 30;
    EXPECT_NE(GetPixel(form.Img_Prev.PictureOf()->DC(), 110, 30), ScreenAt(cx, cy));
    EXPECT_NE(RGB(0, 0, 0), ScreenAt(cx, cy));
    form.Unload();
}

TEST_F(PreviewTest, NoHostWindowEndsAtOnce) {
    static int ends;
    ends = 0;
    for (const char* commandLine : {"/p 0", "/p", "/p 123456789", "/p word"}) {
        Vey_R form;
        ShowPreview(form, commandLine, [] { ++ends; });
        EXPECT_FALSE(form.IsLoaded()) << commandLine;
    }
    EXPECT_EQ(4, ends);
}

TEST_F(PreviewTest, AHostThatDisappearsWithoutItsChildStillEndsThePreview) {
    HWND host = MakeHost(152, 112);
    Vey_R form;
    ShowPreview(form, CommandLineFor(host), [] { ADD_FAILURE() << "ended"; });
    ASSERT_TRUE(form.IsLoaded());
    // The form leaves the host (as if the host were gone but the child lived).
    SetParent(form.hWnd(), nullptr);
    DestroyWindow(host);
    ASSERT_TRUE(form.IsLoaded());
    forms::Application::Run();  // the host watch unloads it
    EXPECT_FALSE(form.IsLoaded());
}
