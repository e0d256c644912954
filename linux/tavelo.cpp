// tavelo: the water of the Windows screen saver for xscreensaver on Linux.
// It draws into the window it is given ($XSCREENSAVER_WINDOW, --window-id)
// or the root window (--root), or, given none, into a window of its own.
// Behind the water and in its reflection: where the user lets programs grab
// the desktop, xscreensaver's picture of the screen (else the root's at the
// start); else, where the user asks for random images, a picture from their
// folder; else a dusk gradient. Without OpenGL the picture alone shows. It
// ends at once on SIGTERM, as xscreensaver stops its programs.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Backdrop.h"
#include "DIB.h"
#include "DrawLoop.h"
#include "FramePacer.h"
#include "FrameRateText.h"
#include "GLWindow.h"
#include "HackOptions.h"
#include "ImagePreferences.h"
#include "Scene.h"
#include "Sea.h"
#include "StopSignal.h"
#include "UserPicture.h"

extern const unsigned char kSunlightBmp[];
extern const std::size_t kSunlightBmp_size;

namespace {

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

// The wave clock at the chosen pace, from the system's tick count at start.
struct PacedClock {
    static double speed;
    static double startMs;
    static uint32_t startTick;
    static uint32_t Tick() {
        return startTick + static_cast<uint32_t>(static_cast<uint64_t>((NowMs() - startMs) * speed));
    }
};
double PacedClock::speed = 1.0;
double PacedClock::startMs = 0.0;
uint32_t PacedClock::startTick = 0;

// The picture behind the window, and how it is shown: pixel for pixel
// where it is the window's size.
struct Backdrop {
    RGBImage picture;
    bool exact = false;
};

// Where the backdrop may come from, and what was found there once.
struct BackdropFinder {
    std::vector<BackdropSource> sources;
    std::string folder;  // the user's pictures
    std::unique_ptr<RGBImage> screenshot;
    std::string userPicture;  // chosen at the first need
    bool userPictureChosen = false;

    Backdrop For(const GLWindow& window) {
        Backdrop b;
        for (BackdropSource source : sources) {
            const RGBImage* screen = source == BackdropSource::Screenshot    ? screenshot.get()
                                     : source == BackdropSource::RootPicture ? window.RootPicture()
                                                                             : nullptr;
            if (screen != nullptr && !MostlyBlack(*screen)) {
                const PixelRect part = ScreenshotPart(screen->width, screen->height, window.OnScreen(), window.Screen());
                if (part.Empty()) continue;
                b.picture = CopyPart(*screen, part);
                b.exact = part.Width() == window.Width() && part.Height() == window.Height();
                return b;
            }
            if (source == BackdropSource::ImageFile) {
                if (!userPictureChosen) userPicture = ChooseUserPicture(folder);
                userPictureChosen = true;
                if (auto picture = ReadPictureCovering(userPicture, window.Width(), window.Height())) {
                    b.picture = std::move(*picture);
                    b.exact = true;
                    return b;
                }
            }
        }
        b.picture = DuskGradient(window.Width(), window.Height());
        b.exact = true;
        return b;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const HackOptions options =
        ParseHackOptions(std::vector<std::string>(argv + 1, argv + argc), std::getenv("XSCREENSAVER_WINDOW"));
    if (options.help) {
        std::fputs(kHackUsage, stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "tavelo: %s\n%s", options.error.c_str(), kHackUsage);
        return 1;
    }
    StopOnTerminationSignals();  // at once, even while it starts

    const char* home = std::getenv("HOME");
    const ImagePreferences preferences = UsersImagePreferences(home != nullptr ? home : "");
    GLWindow window;
    if (!window.Open(options, preferences.grabDesktopImages)) return 1;
    BackdropFinder backdrops;
    backdrops.sources = BackdropSources(preferences);
    backdrops.folder = preferences.imageDirectory;
    if (preferences.grabDesktopImages) backdrops.screenshot = window.SaverScreenshot();

    if (!window.HasGL()) {
        // The picture alone, put in again now and then (the window may be
        // uncovered), until the end: never an exit the daemon would answer
        // with a new start.
        Backdrop backdrop = backdrops.For(window);
        FramePacer pacer(0, false, 2);
        DrawLoopHooks hooks;
        hooks.handleEvents = [&] {
            bool resized = false;
            if (!window.HandleEvents(resized)) return false;
            if (resized) backdrop = backdrops.For(window);
            return true;
        };
        hooks.drawFrame = [&] { window.ShowPicture(backdrop.picture); };
        hooks.wait = [&](int ms) { window.Wait(ms); };
        hooks.nowMs = NowMs;
        RunDrawLoop(pacer, hooks);
        return 0;
    }

    RGBImage sunlight;
    DecodeDIBImage(kSunlightBmp, kSunlightBmp_size, sunlight);
    PacedClock::speed = options.speed;
    PacedClock::startMs = NowMs();
    // The tick count wraps as the system's does (a machine up for more than
    // 49.7 days has passed 2^32 ms).
    PacedClock::startTick = static_cast<uint32_t>(static_cast<uint64_t>(PacedClock::startMs));
    SetWaveClock(&PacedClock::Tick);
    Sea sea;
    sea.Init();

    // The scene for the window's size; made again when the size changes.
    std::unique_ptr<Scene> scene;
    auto makeScene = [&] {
        scene.reset();  // its textures go first, in this context
        Backdrop backdrop = backdrops.For(window);
        ScenePictures pictures;
        pictures.backdrop = std::make_unique<RGBImage>(backdrop.picture);
        pictures.reflection = std::make_unique<RGBImage>(std::move(backdrop.picture));
        if (!sunlight.data.empty()) pictures.surface = std::make_unique<RGBImage>(sunlight);
        SceneLook look;  // the whole picture: it is the window's part already
        look.aspect = double(window.Width()) / (window.Height() > 0 ? window.Height() : 1);
        look.exactBackdrop = backdrop.exact;
        scene = std::make_unique<Scene>(sea);
        scene->ResizeViewport(window.Width(), window.Height());
        scene->InitGLState(pictures, look);
    };
    makeScene();

    const bool swapInterval = window.SetSwapInterval(1);
    FramePacer pacer(0, swapInterval, IsSoftwareRasteriser(window.RendererName()) ? kSoftwareFramesPerSecond : 0);
    int frames = 0;
    double since = NowMs();
    std::string rate = FrameRateText(0.0);
    DrawLoopHooks hooks;
    hooks.handleEvents = [&] {
        bool resized = false;
        if (!window.HandleEvents(resized)) return false;
        if (resized) makeScene();
        return true;
    };
    hooks.drawFrame = [&] {
        sea.Update();
        scene->DrawFrame();
        if (options.fps) {
            ++frames;
            const double now = NowMs();
            if (now - since >= 1000.0) {
                rate = FrameRateText(frames * 1000.0 / (now - since));
                std::printf("tavelo: %s\n", rate.c_str());  // for one who runs it by hand, too
                std::fflush(stdout);
                frames = 0;
                since = now;
            }
            DrawFrameRate(rate, window.Width(), window.Height());
        }
        window.Swap();
    };
    hooks.wait = [&](int ms) { window.Wait(ms); };
    hooks.nowMs = NowMs;
    RunDrawLoop(pacer, hooks);
    scene.reset();  // its textures, while the context is current
    SetWaveClock(nullptr);
    return 0;
}
