// Our forms layer on a real Windows desktop: loading, showing and unloading
// forms, the order of their handlers, timers, the program's life, twips, and
// picture boxes whose image is saved as a file the renderer's reader reads.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DIB.h"
#include "Forms/Forms.h"
#include "Utf16.h"
#include "support/RecordingSink.h"
#include "support/TempDir.h"
#include "support/WinDriver.h"

using forms::Application;
using forms::Form;
using forms::FormStyle;
using forms::Timer;

namespace {

// A form that records its handlers in order.
class RecordingForm : public Form {
public:
    explicit RecordingForm(const std::string& caption, forms::Border border = forms::Border::FixedSingle)
        : Form(FormStyle{caption, border, RGB(0, 0, 0), 0}) {}
    std::vector<std::string> events;
    int cancelQuery = 0;
    int cancelUnload = 0;

protected:
    void Form_Load() override { events.push_back("Load"); }
    void Form_QueryUnload(int& cancel, int mode) override {
        events.push_back("QueryUnload " + std::to_string(mode));
        cancel = cancelQuery;
    }
    void Form_Unload(int& cancel) override {
        events.push_back("Unload");
        cancel = cancelUnload;
    }
    void Form_Resize() override { events.push_back("Resize " + std::to_string(ScaleWidth())); }
};

HWND FindByCaption(const std::string& caption) { return FindWindowW(nullptr, Utf8ToWide(caption).c_str()); }

}  // namespace

TEST(FormsTest, ALoadedFormIsHiddenFindableByItsCaptionAndLoadsOnce) {
    const int before = Application::LoadedForms();
    RecordingForm form("フォーム試験 Vey");
    EXPECT_FALSE(form.IsLoaded());
    form.Load();
    form.Load();
    ASSERT_TRUE(form.IsLoaded());
    EXPECT_EQ(form.hWnd(), FindByCaption("フォーム試験 Vey"));
    EXPECT_FALSE(IsWindowVisible(form.hWnd()));
    EXPECT_EQ(before + 1, Application::LoadedForms());
    EXPECT_EQ(std::vector<std::string>{"Load"}, form.events);

    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.hWnd()));
    form.Unload();
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(nullptr, FindByCaption("フォーム試験 Vey"));
    EXPECT_EQ(before, Application::LoadedForms());
    ASSERT_EQ(4u, form.events.size());
    EXPECT_EQ("QueryUnload 1", form.events[2]);
    EXPECT_EQ("Unload", form.events[3]);
}

TEST(FormsTest, EitherHandlerCanCancelTheUnloadAndTheCloseBoxGivesModeZero) {
    RecordingForm form("Cancel test");
    form.Load();
    form.cancelQuery = 1;
    form.Unload();
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ((std::vector<std::string>{"Load", "QueryUnload 1"}), form.events);

    form.cancelQuery = 0;
    form.cancelUnload = 1;
    SendMessageW(form.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ((std::vector<std::string>{"Load", "QueryUnload 1", "QueryUnload 0", "Unload"}), form.events);

    form.cancelUnload = 0;
    SendMessageW(form.hWnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.IsLoaded());
}

TEST(FormsTest, AWindowDestroyedFromOutsideCountsAsUnloaded) {
    const int before = Application::LoadedForms();
    RecordingForm form("Destroyed test");
    form.Load();
    DestroyWindow(form.hWnd());
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(before, Application::LoadedForms());
    form.Load();  // and it can be loaded again
    EXPECT_TRUE(form.IsLoaded());
    form.Unload();
}

TEST(FormsTest, RunEndsWhenTheLastFormIsUnloaded) {
    RecordingForm first("Run test 1");
    RecordingForm second("Run test 2");
    int ticks = 0;
    Timer timer(first, 30, true, [&] {
        ++ticks;
        if (ticks == 3) second.Unload();
        if (ticks == 5) first.Unload();
    });
    first.Load();
    second.Show();
    Application::Run();
    EXPECT_EQ(5, ticks);
    EXPECT_FALSE(first.IsLoaded());
    EXPECT_FALSE(second.IsLoaded());
    EXPECT_EQ(0, Application::LoadedForms());
}

TEST(FormsTest, AModalShowReturnsOnceTheFormIsUnloaded) {
    RecordingForm form("Modal test");
    int ticks = 0;
    Timer timer(form, 20, true, [&] {
        if (++ticks == 2) form.Unload();
    });
    form.Show(true);
    EXPECT_FALSE(form.IsLoaded());
    EXPECT_EQ(2, ticks);
    ASSERT_GE(form.events.size(), 4u);
    EXPECT_EQ("Load", form.events.front());
    EXPECT_EQ("Unload", form.events.back());
}

TEST(FormsTest, TimersTickOnlyBetweenHandlersAndFollowEnabledAndInterval) {
    RecordingForm form("Timer test");
    int fast = 0, slow = 0;
    int fastDuringSlow = 0;
    Timer fastTimer(form, 20, true, [&] { ++fast; });
    Timer slowTimer(form, 100, false, [&] {
        ++slow;
        // A long handler that lets messages through: the fast timer's ticks
        // during it are dropped.
        const int at = fast;
        windriver::PumpFor(250);
        fastDuringSlow += fast - at;
        slowTimer.SetEnabled(false);
    });
    form.Load();
    EXPECT_TRUE(windriver::PumpUntil([&] { return fast > 3; })) << fast;
    EXPECT_EQ(0, slow);  // disabled from the start

    slowTimer.SetEnabled(true);
    EXPECT_TRUE(windriver::PumpUntil([&] { return slow == 1 && !slowTimer.Enabled(); }));
    windriver::PumpFor(200);
    EXPECT_EQ(1, slow);
    EXPECT_EQ(0, fastDuringSlow);

    fastTimer.SetEnabled(false);
    const int stopped = fast;
    windriver::PumpFor(200);
    EXPECT_EQ(stopped, fast);
    form.Unload();
}

TEST(FormsTest, TwipsAreFifteenPerPixelAndTheInnerAreaIsInPixels) {
    ASSERT_EQ(15, forms::Screen::TwipsPerPixelX());
    ASSERT_EQ(15, forms::Screen::TwipsPerPixelY());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) * 15, forms::Screen::Width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) * 15, forms::Screen::Height());

    RecordingForm framed("Twips test");
    framed.Load();
    framed.Move(150 * 15, 90 * 15, 300 * 15, 200 * 15);
    RECT r;
    GetWindowRect(framed.hWnd(), &r);
    EXPECT_EQ(150, r.left);
    EXPECT_EQ(90, r.top);
    EXPECT_EQ(300, r.right - r.left);
    EXPECT_EQ(200, r.bottom - r.top);
    EXPECT_EQ(300 * 15, framed.Width());
    EXPECT_EQ(90 * 15, framed.Top());
    EXPECT_LT(framed.ScaleWidth(), 300);  // the frame takes some
    framed.Show();
    ASSERT_FALSE(framed.events.empty());
    EXPECT_EQ("Resize " + std::to_string(framed.ScaleWidth()), framed.events.back());
    framed.Unload();

    RecordingForm bare("Twips test, no border", forms::Border::None);
    bare.Load();
    bare.Move(0, 0, 152 * 15, 112 * 15);
    EXPECT_EQ(152, bare.ScaleWidth());
    EXPECT_EQ(112, bare.ScaleHeight());
    bare.Unload();
}

TEST(FormsTest, APictureBoxKeepsItsImageAndSavesItForTheReader) {
    RecordingForm form("Picture test");
    forms::PictureBox box(form, 0, 0, 5, 3, false, RGB(0, 0, 255));
    form.Load();
    SetPixel(box.DC(), 0, 0, RGB(255, 0, 0));      // top-left
    SetPixel(box.DC(), 4, 2, RGB(0, 255, 0));      // bottom-right
    box.Resize(7, 4);                              // keeps what was drawn
    TempDir dir;
    const std::string path = dir.File("写真.bmp");
    ASSERT_TRUE(box.SavePicture(path));

    std::unique_ptr<RGBImage> image;
    {
        RecordingSink noBox;
        image = LoadDIBImage(path);
        EXPECT_EQ(std::vector<std::string>{}, noBox.messages);
    }
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(7, image->width);
    ASSERT_EQ(4, image->height);
    auto at = [&](int x, int yFromTop) {
        const uint8_t* p = &image->data[(static_cast<size_t>(image->height - 1 - yFromTop) * image->width + x) * 3];
        return RGB(p[0], p[1], p[2]);
    };
    EXPECT_EQ(RGB(255, 0, 0), at(0, 0));
    EXPECT_EQ(RGB(0, 255, 0), at(4, 2));
    EXPECT_EQ(RGB(0, 0, 255), at(1, 1));
    EXPECT_EQ(RGB(0, 0, 255), at(6, 3));  // the grown part has the back colour

    EXPECT_FALSE(box.SavePicture(dir.File("no such folder\\x.bmp")));
    form.Unload();
}

TEST(FormsTest, ADesignTimePictureIsShownAndSavedAsItIs) {
    auto picture = std::make_shared<forms::Picture>(4, 2);
    ASSERT_TRUE(picture->Valid());
    RECT all = {0, 0, 4, 2};
    HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
    FillRect(picture->DC(), &all, yellow);
    DeleteObject(yellow);

    RecordingForm form("Design picture test");
    forms::PictureBox box(form, 0, 0, 8, 8, false);
    form.Load();
    box.SetPicture(picture);
    EXPECT_EQ(RGB(255, 255, 0), GetPixel(box.DC(), 3, 1));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(box.DC(), 5, 5));
    TempDir dir;
    ASSERT_TRUE(box.SavePicture(dir.File("p.bmp")));
    std::unique_ptr<RGBImage> image = LoadDIBImage(dir.File("p.bmp"));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(4, image->width);
    EXPECT_EQ(2, image->height);
    form.Unload();
}

TEST(FormsTest, AProgramThatCannotBeStartedGivesNoProcess) {
    EXPECT_EQ(nullptr, Application::Shell("C:\\no such folder\\nothing.exe"));
}
