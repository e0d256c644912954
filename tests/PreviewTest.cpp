// The preview inside a host window of the same process: Wine draws no child
// window of another process, so its pixels are checked here, on the real
// screen, and the cross-process case by the program tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "Forms/Forms.h"
#include "Vey_R.h"
#include "support/WinDriver.h"

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
