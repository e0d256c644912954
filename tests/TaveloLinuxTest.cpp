// tavelo, the water for xscreensaver: its command line, the part of a
// picture behind a window, where the backdrop comes from by the user's
// settings, and the drawing loop's end on SIGTERM.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "Backdrop.h"
#include "DrawLoop.h"
#include "HackOptions.h"
#include "ImagePreferences.h"
#include "StopSignal.h"

namespace {
using Target = HackOptions::Target;
RGBImage Plain(uint8_t v) {
    RGBImage i;
    i.width = i.height = 4;
    i.data.assign(48, v);
    return i;
}
}  // namespace

TEST(TaveloLinuxTest, TheWindowAndTheOptions) {
    struct Case {
        std::vector<std::string> args;
        const char* saverWindow;  // $XSCREENSAVER_WINDOW
        Target target;
        unsigned long window;
        bool fps;
        double speed;
        bool error;
    };
    const Case cases[] = {
        {{}, nullptr, Target::OwnWindow, 0, false, 1.0, false},
        {{"--root"}, nullptr, Target::Root, 0, false, 1.0, false},
        {{"--root"}, "0x600008", Target::GivenWindow, 0x600008, false, 1.0, false},  // xscreensaver's window
        {{}, "6291464", Target::GivenWindow, 6291464, false, 1.0, false},
        {{"--window-id", "0x1a", "--root"}, "0x600008", Target::GivenWindow, 0x1a, false, 1.0, false},
        {{"-window-id=123"}, nullptr, Target::GivenWindow, 123, false, 1.0, false},
        {{"--window"}, "0x600008", Target::OwnWindow, 0, false, 1.0, false},
        {{"--root"}, "junk", Target::Root, 0, false, 1.0, false},
        {{"--fps", "--speed", "2"}, nullptr, Target::OwnWindow, 0, true, 2.0, false},
        {{"-speed=0.1", "-fps"}, nullptr, Target::OwnWindow, 0, true, 0.25, false},
        {{"--speed=9"}, nullptr, Target::OwnWindow, 0, false, 4.0, false},
        {{"--install", "--visual", "default", "--delay", "20000", "--root"}, nullptr, Target::Root, 0, false, 1.0, false},
        {{"--window-id", "0x0"}, nullptr, Target::OwnWindow, 0, false, 1.0, true},
        {{"--window-id", "zz"}, nullptr, Target::OwnWindow, 0, false, 1.0, true},
        {{"--window-id"}, nullptr, Target::OwnWindow, 0, false, 1.0, true},
        {{"--speed", "fast"}, nullptr, Target::OwnWindow, 0, false, 1.0, true},
        {{"--bogus"}, nullptr, Target::OwnWindow, 0, false, 1.0, true},
        {{"root"}, nullptr, Target::OwnWindow, 0, false, 1.0, true},
    };
    for (const Case& c : cases) {
        const HackOptions o = ParseHackOptions(c.args, c.saverWindow);
        const std::string name = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(c.error, !o.error.empty()) << name << ": " << o.error;
        if (c.error) continue;
        EXPECT_EQ(int(c.target), int(o.target)) << name;
        EXPECT_EQ(c.window, o.window) << name;
        EXPECT_EQ(c.fps, o.fps) << name;
        EXPECT_DOUBLE_EQ(c.speed, o.speed) << name;
    }
    EXPECT_TRUE(ParseHackOptions({"--display", ":5"}, nullptr).display == ":5");
    EXPECT_TRUE(ParseHackOptions({"-h"}, nullptr).help);
}

TEST(TaveloLinuxTest, ThePartOfThePictureBehindAWindow) {
    // xscreensaver 6 saves one picture for each window it blanks, cut to it:
    // two monitors (1280x1024 and 1024x768 beside it) give two pictures.
    const PixelRect screen{0, 0, 2304, 1024}, second{1280, 0, 2304, 768};
    EXPECT_EQ((PixelRect{0, 0, 1024, 768}), ScreenshotPart(1024, 768, second, screen));
    EXPECT_EQ((PixelRect{0, 0, 1280, 1024}), ScreenshotPart(1280, 1024, {0, 0, 1280, 1024}, screen));
    // A picture of the whole screen is cut at the window's place.
    EXPECT_EQ(second, ScreenshotPart(2304, 1024, second, screen));
    EXPECT_EQ((PixelRect{0, 0, 100, 50}), ScreenshotPart(2304, 1024, {-20, -10, 100, 50}, screen));
    EXPECT_TRUE(ScreenshotPart(2304, 1024, {2400, 0, 2600, 100}, screen).Empty());
    // Any other picture is shown whole, fitted.
    EXPECT_EQ((PixelRect{0, 0, 800, 600}), ScreenshotPart(800, 600, second, screen));
    // A picture from the user's folder covers the window, its aspect kept.
    EXPECT_EQ((PixelRect{160, 0, 1120, 720}), CoverPart(1280, 720, 1024, 768));
    EXPECT_EQ((PixelRect{0, 60, 600, 540}), CoverPart(600, 600, 1280, 1024));
    EXPECT_EQ((PixelRect{0, 0, 500, 500}), CoverPart(500, 500, 300, 300));
    EXPECT_TRUE(CoverPart(0, 500, 300, 300).Empty());
}

// As xscreensaver-getimage reads them: the user's file over the defaults;
// the desktop only where grabbing is on, the folder's pictures where asked.
TEST(TaveloLinuxTest, TheUsersImageSettingsChooseWhatShows) {
    const std::string defaults = "! Debian's\n*grabDesktopImages:\tFalse\n*chooseRandomImages:\tFalse\n"
                                 "*imageDirectory:\t\n*programs:\t\\\n  maze --root \\n\\\n  GL: x\n";
    using S = BackdropSource;
    const struct {
        const char* user;
        std::vector<S> sources;
        const char* folder;
    } cases[] = {
        {"", {S::Dusk}, ""},
        {"grabDesktopImages: True\n", {S::Screenshot, S::RootPicture, S::Dusk}, ""},
        {"grabDesktopImages:  on\nchooseRandomImages: True\nimageDirectory: ~/Pictures\n",
         {S::Screenshot, S::RootPicture, S::ImageFile, S::Dusk}, "/home/u/Pictures"},
        {"chooseRandomImages: True\nimageDirectory: /srv/pics\n", {S::ImageFile, S::Dusk}, "/srv/pics"},
        {"chooseRandomImages: True\n", {S::Dusk}, ""},  // no folder
        {"# grabDesktopImages: True\n! grabDesktopImages: True\n", {S::Dusk}, ""},
        {"grabDesktopImages: \\\n True\n", {S::Screenshot, S::RootPicture, S::Dusk}, ""},
    };
    for (const auto& c : cases) {
        ImagePreferences preferences;
        ApplyResourceText(defaults, "/home/u", preferences);
        ApplyResourceText(c.user, "/home/u", preferences);
        EXPECT_EQ(c.sources, BackdropSources(preferences)) << c.user;
        EXPECT_EQ(c.folder, preferences.imageDirectory) << c.user;
    }
}

TEST(TaveloLinuxTest, TheDuskIsNoBlackPictureAndABlankedScreenIs) {
    const RGBImage dusk = DuskGradient(3, 10);
    ASSERT_EQ(90u, dusk.data.size());
    EXPECT_EQ((std::vector<uint8_t>{230, 160, 110}), std::vector<uint8_t>(dusk.data.begin(), dusk.data.begin() + 3));
    EXPECT_EQ((std::vector<uint8_t>{32, 64, 120}), std::vector<uint8_t>(dusk.data.end() - 3, dusk.data.end()));
    EXPECT_FALSE(MostlyBlack(dusk));
    EXPECT_TRUE(MostlyBlack(Plain(0)));
    EXPECT_FALSE(MostlyBlack(Plain(120)));
    for (int channel = 0; channel < 3; ++channel) {  // a saturated desktop: pure red, green or blue
        RGBImage pure = Plain(0);
        for (size_t i = size_t(channel); i < pure.data.size(); i += 3) pure.data[i] = 255;
        EXPECT_FALSE(MostlyBlack(pure)) << channel;
    }
}

TEST(TaveloLinuxTest, SigtermEndsTheDrawingLoopAtOnce) {
    ResetStopRequest();
    StopOnTerminationSignals();
    FramePacer pacer(60, false);
    int frames = 0;
    DrawLoopHooks hooks;
    hooks.handleEvents = [] { return true; };
    hooks.drawFrame = [&frames] { ++frames; };
    hooks.wait = [](int ms) { usleep(useconds_t(ms) * 1000); };
    hooks.nowMs = [] {
        using namespace std::chrono;
        return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    };
    std::thread sender([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        kill(getpid(), SIGTERM);
    });
    const auto started = std::chrono::steady_clock::now();
    const bool stopped = RunDrawLoop(pacer, hooks);
    const auto took = std::chrono::steady_clock::now() - started;
    sender.join();
    EXPECT_TRUE(stopped);
    EXPECT_GT(frames, 5);  // it was drawing
    EXPECT_LT(took, std::chrono::milliseconds(200 + 100));
    ResetStopRequest();
    signal(SIGTERM, SIG_DFL);
}
