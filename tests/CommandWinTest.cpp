// The button control on a real desktop: the faces on the screen for each
// state, real mouse and keyboard input, and a face that survives being
// covered. Pixels are read from the screen, as a user sees them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "Command.h"
#include "support/WinDriver.h"

namespace {

constexpr int kLeft = 200, kTop = 150;  // the form's inner area on the screen

class TestForm : public forms::Form {
public:
    TestForm()
        : Form(forms::FormStyle{"Command test", forms::Border::None, RGB(0xEC, 0xE9, 0xD8), 0}),
          wide(*this, 10, 10, 77, 25, "設定"),
          narrow(*this, 10, 60, 41, 21, "...") {}
    Command wide, narrow;
};

uint32_t ScreenRgb(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return static_cast<uint32_t>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
}

// Alike within a few levels on each channel (the gradient's rounding).
bool Near(uint32_t expected, uint32_t actual) {
    for (int shift : {16, 8, 0}) {
        if (std::abs(static_cast<int>(expected >> shift & 0xFF) - static_cast<int>(actual >> shift & 0xFF)) > 3) {
            return false;
        }
    }
    return true;
}

void MoveMouseTo(int x, int y) { windriver::SendMouseMove(x, y); }
constexpr int kOnWideX = kLeft + 10 + 60, kOnWideY = kTop + 10 + 12;  // a point on the wide button
void MouseOnWide(DWORD flags) { windriver::SendMouseButton(kOnWideX, kOnWideY, flags); }
void Key(WORD vk) { windriver::SendKeyTap(vk); }

class CommandWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.wide.onClick = [this] { ++clicks; };
        form.Load();
        MoveWindow(form.hWnd(), kLeft, kTop, 300, 120, TRUE);
        form.Show();
        SetForegroundWindow(form.hWnd());
        form.wide.Initialize();
        form.narrow.Initialize();
        MoveMouseTo(kLeft + 250, kTop + 100);  // on the form, off the buttons
        windriver::PumpFor(300);
    }
    void TearDown() override { form.Unload(); }

    // The wide button's pixel at (x, y) of its face.
    uint32_t Wide(int x, int y) { return ScreenRgb(kLeft + 10 + x, kTop + 10 + y); }
    // Top rows 0-3 at mid-length, as the table lists them.
    std::vector<uint32_t> WideTop() { return {Wide(38, 0), Wide(38, 1), Wide(38, 2), Wide(38, 3)}; }
    // The wide button's top rows become `face` (input may take a while to arrive).
    ::testing::AssertionResult Shows(const std::vector<uint32_t>& face) {
        if (windriver::PumpUntil([&] { return WideTop() == face; })) return ::testing::AssertionSuccess();
        auto result = ::testing::AssertionFailure() << std::hex << "top rows";
        for (uint32_t c : WideTop()) result << ' ' << c;
        return result;
    }
    bool ClicksReach(int count) {
        return windriver::PumpUntil([&] { return clicks >= count; }) && clicks == count;
    }

    TestForm form;
    int clicks = 0;
};

}  // namespace

TEST_F(CommandWinTest, FacesOfEachStateOnTheScreen) {
    using V = std::vector<uint32_t>;
    EXPECT_EQ((V{0xDCD6C2, 0x003C74, 0xF3F3EE, 0xF3F3EE}), WideTop());          // Normal
    EXPECT_EQ(0xFAFAF6u, Wide(38, 24));
    EXPECT_EQ(0x003C74u, Wide(1, 12));                                          // the frame line of the side
    // The gradient from white (row 0) to #C6C5D7 (row 24): rows 4 and 20 show.
    EXPECT_TRUE(Near(0xF6F5F8, Wide(5, 4))) << std::hex << Wide(5, 4);
    EXPECT_TRUE(Near(0xCFCFDE, Wide(5, 20))) << std::hex << Wide(5, 20);
    const int n = kLeft + 10, m = kTop + 60;                                    // the 41 x 21 button
    EXPECT_EQ(0x003C74u, ScreenRgb(n + 20, m + 1));
    EXPECT_EQ(0x003C74u, ScreenRgb(n + 20, m + 19));
    EXPECT_EQ(0x003C74u, ScreenRgb(n + 39, m + 10));

    // Real mouse input: hover (the orange band, light at the bottom).
    MoveMouseTo(kOnWideX, kOnWideY);
    EXPECT_TRUE(Shows({0xDCD6C2, 0x003C74, 0xFFF0CF, 0xFDD889}));                // HighLight
    EXPECT_TRUE(Near(0xCFCFDE, Wide(5, 4))) << std::hex << Wide(5, 4);         // reversed
    EXPECT_TRUE(Near(0xF6F5F8, Wide(5, 20))) << std::hex << Wide(5, 20);
    // Press: pushed in.
    MouseOnWide(MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(Shows({0xECE9D8, 0xDCD6C2, 0x003C74, 0xD1CCC1}));                // Pressed
    EXPECT_EQ(0, clicks);
    // Release: one Click.
    MouseOnWide(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(ClicksReach(1)) << clicks;
    EXPECT_TRUE(Shows({0xDCD6C2, 0x003C74, 0xFFF0CF, 0xFDD889}));                // HighLightSelect
    // Leave: the focus shows blue.
    MoveMouseTo(kLeft + 250, kTop + 100);
    EXPECT_TRUE(Shows({0xDCD6C2, 0x003C74, 0xCEE7FF, 0xCEE7FF}));                // Selected

    // Covered by another window and uncovered: the face comes back.
    // (Shown without taking the activation, so the button keeps the focus.)
    HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP, kLeft, kTop, 150, 60,
                                 nullptr, nullptr, nullptr, nullptr);
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(windriver::PumpUntil([&] { return Wide(38, 1) != 0x003C74u; })) << "not covered";
    DestroyWindow(cover);
    EXPECT_TRUE(Shows({0xDCD6C2, 0x003C74, 0xCEE7FF, 0xCEE7FF}));

    // The keyboard: Space (on release) and Enter are a Click too.
    Key(VK_SPACE);
    EXPECT_TRUE(ClicksReach(2)) << clicks;
    Key(VK_RETURN);
    EXPECT_TRUE(ClicksReach(3)) << clicks;

    // Tab: the focus goes on to the next button, which shows it.
    Key(VK_TAB);
    EXPECT_TRUE(windriver::PumpUntil([&] { return ScreenRgb(n + 20, m + 3) == 0xCEE7FFu; }));
    EXPECT_TRUE(Shows({0xDCD6C2, 0x003C74, 0xF3F3EE, 0xF3F3EE}));

    // Disabled: the grey frame, no Click.
    form.wide.SetEnabled(false);
    EXPECT_TRUE(Shows({0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}));                // Disable
    Key(VK_RETURN);
    MoveMouseTo(kOnWideX, kOnWideY);
    MouseOnWide(MOUSEEVENTF_LEFTDOWN);
    MouseOnWide(MOUSEEVENTF_LEFTUP);
    // Input arrives in order: once the pointer shows on the narrow button,
    // the Enter and the click above have been handled.
    MoveMouseTo(n + 20, m + 10);
    EXPECT_TRUE(windriver::PumpUntil([&] { return ScreenRgb(n + 20, m + 2) == 0xFFF0CFu; })) << "no hover";
    EXPECT_EQ(3, clicks);
    EXPECT_EQ((V{0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}), WideTop());
}

// A press that comes up one pixel past the right or the bottom edge clicks
// nothing; one on the last pixel inside does. (Input arrives in order: the
// one click counted proves the two releases outside were handled.)
TEST_F(CommandWinTest, AReleaseJustPastTheEdgeClicksNothing) {
    const int right = kLeft + 10 + 77, bottom = kTop + 10 + 25;  // just outside the wide button
    for (const POINT up : {POINT{right, kOnWideY}, POINT{kOnWideX, bottom}, POINT{right - 1, bottom - 1}}) {
        MouseOnWide(MOUSEEVENTF_LEFTDOWN);
        windriver::SendMouseButton(up.x, up.y, MOUSEEVENTF_LEFTUP);
    }
    EXPECT_TRUE(ClicksReach(1)) << clicks;
}
