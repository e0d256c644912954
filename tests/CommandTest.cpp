// The button control's states, faces, Click and properties, driven by
// events against a recording view; and its face geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandGeometry.h"
#include "Forms/Twips.h"
#include "RadioMark.h"
#include "CommandLogic.h"
#include "DIB.h"
#include "support/RecordingSink.h"

namespace {

const char* Name(Face f) {
    switch (f) {
        case Face::Normal: return "Normal";
        case Face::HighLight: return "HighLight";
        case Face::Pressed: return "Pressed";
        case Face::Disable: return "Disable";
        case Face::Selected: return "Selected";
        case Face::HighLightSelect: return "HighLightSelect";
    }
    return "?";
}

// Records every face drawn ("Pressed" or "Pressed/inv") and every Click ("Click").
class RecordingView : public CommandView {
public:
    void DrawButton(Face face, bool inverted) override { log.push_back(std::string(Name(face)) + (inverted ? "/inv" : "")); }
    void SetCaptionEnabled(bool enabled) override { captionEnabled = enabled; }
    void SetCaptionColour(uint32_t c) override { colour = c; }
    uint32_t CaptionColour() const override { return colour; }
    void SetBackStyle(int style) override { backStyle = style; }
    int BackStyle() const override { return backStyle; }
    void StartHoverTimer(unsigned ms) override { timer = ms; }
    void PropertyChanged(const std::string& name) override { changed.push_back(name); }
    void Click() override { log.push_back("Click"); }

    std::vector<std::string> log, changed;
    bool captionEnabled = true;
    uint32_t colour = 0;
    int backStyle = 1;
    unsigned timer = 0;
};

using Log = std::vector<std::string>;

// A loaded, initialised, enabled button: the log starts empty.
struct Button {
    RecordingView view;
    CommandLogic logic{view};
    Button() {
        logic.ReadProperties(PropertyStore{}, "font");
        logic.Initialize();
        view.log.clear();
    }
    // Events by letter: m move, d/u left down/up, o left up away from the
    // button, r/R right down/up, M middle up, f focus, l focus lost, t timer
    // tick with the pointer away, k key.
    Log Run(const std::string& events) {
        for (char e : events) {
            switch (e) {
                case 'm': logic.MouseMove(); break;
                case 'd': logic.MouseDown(1); break;
                case 'u': logic.MouseUp(1); break;
                case 'o': logic.MouseUp(1, false); break;
                case 'r': logic.MouseDown(2); break;
                case 'R': logic.MouseUp(2); break;
                case 'M': logic.MouseUp(4); break;
                case 'f': logic.GotFocus(); break;
                case 'l': logic.LostFocus(); break;
                case 't': logic.HoverTick(false); break;
                case 'k': logic.KeyClick(); break;
            }
        }
        return view.log;
    }
};

}  // namespace

TEST(CommandTest, SequencesThroughTheStates) {
    struct Case {
        const char* name;
        const char* events;
        Log drawn;
        int state;
    } cases[] = {
        {"a typical click", "mdfutl",
         {"HighLight/inv", "Pressed/inv", "Pressed/inv", "HighLightSelect/inv", "Click", "Selected", "Normal"}, 1},
        {"released after the pointer left: no Click", "mdftu", {"HighLight/inv", "Pressed/inv", "Pressed/inv", "Selected"}, 3},
        {"right and middle buttons: a Click, no picture", "mrRM", {"HighLight/inv", "Click", "Click"}, 2},
        {"focus lost with the pointer over it", "mfl", {"HighLight/inv", "Pressed/inv", "Normal"}, 1},
        {"then the next move", "mflm", {"HighLight/inv", "Pressed/inv", "Normal", "HighLight/inv"}, 2},
        {"moving onto a focused button", "fm", {"Selected", "HighLightSelect"}, 4},
        {"state 4 keeps the orientation before it", "fmdu", {"Selected", "HighLightSelect", "Pressed", "HighLightSelect", "Click"}, 4},
        {"a timer tick with the pointer away", "mt", {"HighLight/inv", "Normal"}, 1},
        {"Space or Enter on the button", "fk", {"Selected", "Click"}, 3},
        {"released away before the timer saw it leave: no Click", "mdfo",
         {"HighLight/inv", "Pressed/inv", "Pressed/inv", "HighLightSelect/inv"}, 4},
    };
    for (const Case& c : cases) {
        Button b;
        EXPECT_EQ(c.drawn, b.Run(c.events)) << c.name;
        EXPECT_EQ(c.state, b.logic.mState) << c.name;
        EXPECT_EQ(VB_False, b.logic.mButtonDown) << c.name;
    }
    Button held;
    held.Run("md");
    EXPECT_EQ(VB_True, held.logic.mButtonDown);
}

TEST(CommandTest, BeforeInitializeAndWhileDisabledNothingHappens) {
    RecordingView view;
    CommandLogic logic(view);
    logic.ReadProperties(PropertyStore{}, "font");
    EXPECT_EQ(0u, view.timer);
    view.log.clear();
    logic.MouseMove();  // state 0: a move changes nothing
    EXPECT_EQ(Log{}, view.log);
    logic.Initialize();
    EXPECT_EQ(100u, view.timer);
    EXPECT_EQ(Log{}, view.log);  // Initialize draws nothing

    Button off;
    off.logic.SetEnabled(false);
    EXPECT_EQ(Log{"Disable"}, off.view.log);
    EXPECT_FALSE(off.view.captionEnabled);
    EXPECT_EQ(Log{"Disable"}, off.Run("mdufltkR"));
    off.logic.Resize();
    EXPECT_EQ("Disable", off.view.log.back());
}

TEST(CommandTest, FirstRunZeroAndTheFontColour) {
    Button b;
    b.logic.mFirstRun = 0;
    b.logic.SetFontColour(0xFF);  // RedrawNormal puts black back while mFirstRun is 0
    EXPECT_EQ(0u, b.view.colour);
    EXPECT_TRUE(b.logic.Enabled());  // reading Enabled once sets mFirstRun to 1
    EXPECT_EQ(1, b.logic.mFirstRun);
    b.logic.SetFontColour(0xFF);
    EXPECT_EQ(0xFFu, b.logic.FontColour());
    EXPECT_EQ("Normal", b.view.log.back());  // reading it redraws the face
    EXPECT_EQ((Log{"FontColour", "FontColour"}), b.view.changed);
}

TEST(CommandTest, PropertiesRoundTripWithoutTheirDefaults) {
    Button b;
    PropertyStore store;
    b.logic.SetCaption("Command");
    b.logic.WriteProperties(store, "font");
    EXPECT_TRUE(store.values_.empty());  // every value equal to its write default
    Button loaded;
    loaded.logic.ReadProperties(store, "font");
    EXPECT_EQ("Command1", loaded.logic.Caption());

    b.logic.SetCaption("設定");
    b.logic.SetFont("ＭＳ Ｐゴシック,9.75,400,0,128");
    b.logic.SetEnabled(false);
    b.view.SetBackStyle(0);
    b.logic.WriteProperties(store, "font");
    EXPECT_EQ(4u, store.values_.size());
    Button again;
    again.logic.ReadProperties(store, "font");
    EXPECT_EQ("設定", again.logic.Caption());
    EXPECT_EQ("ＭＳ Ｐゴシック,9.75,400,0,128", again.logic.Font());
    EXPECT_EQ(VB_False, again.logic.mEnabled);
    EXPECT_EQ(0, again.view.backStyle);
}

TEST(CommandGeometryTest, PiecesInPixels) {
    // Destination and source rectangles at 15 twips a pixel.
    auto pixels = [](const TwipsRect& r) { return std::vector<int>{r.x / 15, r.y / 15, r.width / 15, r.height / 15}; };
    std::array<FramePiece, 8> p;
    ASSERT_TRUE(FramePieces(1155, 375, p));  // 77 x 25: side strips unstretched, top and bottom 56 -> 69
    EXPECT_EQ((std::vector<int>{0, 0, 4, 4}), pixels(p[0].destination));
    EXPECT_EQ((std::vector<int>{4, 0, 69, 4}), pixels(p[1].destination));
    EXPECT_EQ((std::vector<int>{4, 0, 56, 4}), pixels(p[1].source));
    EXPECT_EQ((std::vector<int>{73, 4, 4, 17}), pixels(p[3].destination));
    EXPECT_EQ((std::vector<int>{60, 4, 4, 17}), pixels(p[3].source));
    EXPECT_EQ((std::vector<int>{73, 21, 4, 4}), pixels(p[4].destination));
    ASSERT_TRUE(FramePieces(615, 315, p));   // 41 x 21: sides 17 -> 13, top and bottom 56 -> 33
    EXPECT_EQ((std::vector<int>{4, 0, 33, 4}), pixels(p[1].destination));
    EXPECT_EQ((std::vector<int>{37, 4, 4, 13}), pixels(p[3].destination));
    EXPECT_EQ((std::vector<int>{0, 4, 4, 13}), pixels(p[7].destination));
    EXPECT_EQ((std::vector<int>{0, 17, 4, 4}), pixels(p[6].destination));

    EXPECT_FALSE(FramePieces(119, 375, p));    // below 8 pixels: the gradient alone
    EXPECT_FALSE(FramePieces(1155, 32768, p));
    EXPECT_TRUE(FramePieces(32767, 120, p));
    EXPECT_EQ(80, CaptionTop(375, 195));
}

// On every screen the sources stay in the picture's own pixels; the face's
// corners grow with the layout and the edges stretch between them.
TEST(CommandGeometryTest, PiecesAtEveryScalingCutThePictureInItsOwnPixels) {
    struct Case {
        int dpi, width, height;  // 設定 (1155 x 375 twips) at that scaling
        int corner;
    };
    const Case cases[] = {{96, 77, 25, 4}, {120, 96, 31, 5}, {144, 116, 38, 6}, {168, 135, 44, 7}, {192, 154, 50, 8}};
    const PixelArea sources[8] = {{0, 0, 4, 4},   {4, 0, 56, 4},  {60, 0, 4, 4},  {60, 4, 4, 17},
                                  {60, 21, 4, 4}, {4, 21, 56, 4}, {0, 21, 4, 4},  {0, 4, 4, 17}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.width, forms::TwipsToPixels(1155, c.dpi)) << c.dpi;
        EXPECT_EQ(c.height, forms::TwipsToPixels(375, c.dpi)) << c.dpi;
        std::array<PixelPiece, 8> p;
        ASSERT_TRUE(FramePiecesInPixels(c.width, c.height, c.dpi, p)) << c.dpi;
        const int k = c.corner, w = c.width, h = c.height;
        const PixelArea destinations[8] = {{0, 0, k, k},         {k, 0, w - 2 * k, k},     {w - k, 0, k, k},
                                           {w - k, k, k, h - 2 * k}, {w - k, h - k, k, k}, {k, h - k, w - 2 * k, k},
                                           {0, h - k, k, k},     {0, k, k, h - 2 * k}};
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(sources[i], p[i].source) << c.dpi << " piece " << i;
            EXPECT_EQ(destinations[i], p[i].destination) << c.dpi << " piece " << i;
        }
    }
    std::array<PixelPiece, 8> p;
    EXPECT_FALSE(FramePiecesInPixels(11, 40, 144, p));  // corners of 6 do not fit
}

TEST(TwipsTest, TheRatioIsExact) {
    EXPECT_DOUBLE_EQ(15.0, forms::TwipsPerPixel(96));
    EXPECT_DOUBLE_EQ(7.5, forms::TwipsPerPixel(192));
    EXPECT_NEAR(8.5714, forms::TwipsPerPixel(168), 1e-4);
    EXPECT_EQ(992, forms::TwipsToPixels(7440, 192));  // the dialog's client, 496 at 96 dpi
    EXPECT_EQ(868, forms::TwipsToPixels(7440, 168));  // a whole 8 twips a pixel would give 930
    EXPECT_EQ(7440, forms::PixelsToTwips(992, 192));
    EXPECT_EQ(15, forms::TwipsPerPixel(0));  // a screen that does not say: 96
}

// The dialog's marks are drawn at the layout's size: the disc, its rim and
// the dot scale together.
TEST(RadioMarkTest, DrawnAtEverySizeTheLayoutGives) {
    for (int size : {12, 15, 18, 21, 24}) {
        const std::vector<uint8_t> on = DrawRadioMark(size, true), off = DrawRadioMark(size, false);
        ASSERT_EQ(size_t(size) * size * 3, on.size());
        auto at = [size](const std::vector<uint8_t>& m, int x, int y) {
            return std::vector<int>{m[(y * size + x) * 3], m[(y * size + x) * 3 + 1], m[(y * size + x) * 3 + 2]};
        };
        const int c = size / 2;
        EXPECT_EQ((std::vector<int>{0x10, 0x3C, 0x74}), at(on, c, c)) << size;   // the dot
        EXPECT_EQ((std::vector<int>{0xFF, 0xFF, 0xFF}), at(off, c, c)) << size;  // the empty disc
        EXPECT_EQ((std::vector<int>{0xE0, 0xE0, 0xE0}), at(on, 0, 0)) << size;   // the panel in the corner
        EXPECT_LT(at(on, c, 0)[0] + 0, 0x80) << size;                             // the rim at the top
        // The dot takes the same share of the mark at every size.
        int dot = 0;
        for (int i = 0; i < size * size; ++i) dot += on[i * 3] == 0x10;
        EXPECT_NEAR(0.15, double(dot) / (size * size), 0.05) << size;
    }
}

TEST(CommandGeometryTest, GradientColoursFromTheirTexts) {
    const VertexColour light = VertexColourOf(kGradientLight), dark = VertexColourOf(kGradientDark);
    EXPECT_EQ(0xFF00, light.red);
    EXPECT_EQ(0xFF00, light.green);
    EXPECT_EQ(0xFF00, light.blue);
    EXPECT_EQ(0xC600, dark.red);
    EXPECT_EQ(0xC500, dark.green);
    EXPECT_EQ(0xD700, dark.blue);
    EXPECT_EQ(0xFF00, VertexColourOf("&HFF").blue);  // fewer digits: the leading ones are 0
}

TEST(CommandPicturesTest, StripsHaveTheColoursOfTheirLook) {
    // Outside in: top rows 0-3 and left columns 0-3 at mid-length, bottom rows
    // 24-21 and right columns 63-60 likewise (#RRGGBB).
    const struct {
        const char* look;
        uint32_t top[4], bottom[4], left[4], right[4];
    } looks[] = {
        {"Normal", {0xDCD6C2, 0x003C74, 0xF3F3EE, 0xF3F3EE}, {0xFAFAF6, 0x003C74, 0xD6D0C5, 0xE2DFD6},
         {0xE2DECB, 0x003C74, 0xF4F4F0, 0xF4F4F0}, {0xF0EEE0, 0x003C74, 0xE8E5DF, 0xEEEDE7}},
        {"HighLight", {0xDCD6C2, 0x003C74, 0xFFF0CF, 0xFDD889}, {0xFAFAF6, 0x003C74, 0xE59700, 0xF8B330},
         {0xE2DECB, 0x003C74, 0xFCCA69, 0xFBCA6A}, {0xF0EEE0, 0x003C74, 0xFCCA69, 0xFBCA6A}},
        {"Selected", {0xDCD6C2, 0x003C74, 0xCEE7FF, 0xCEE7FF}, {0xFAFAF6, 0x003C74, 0x6982EE, 0x6982EE},
         {0xE2DECB, 0x003C74, 0xA9C5EF, 0xA8C6F0}, {0xF0EEE0, 0x003C74, 0xA9C5EF, 0xA9C5EF}},
        {"Pressed", {0xECE9D8, 0xDCD6C2, 0x003C74, 0xD1CCC1}, {0xECE9D8, 0xFAFAF6, 0x003C74, 0xF2F1EE},
         {0xECE9D8, 0xE2DECB, 0x003C74, 0xD7D4CB}, {0xECE9D8, 0xF0EEE0, 0x003C74, 0xE4E3DC}},
        {"Disable", {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}, {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA},
         {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}, {0xECE9D8, 0xC9C7BA, 0xF5F4EA, 0xF5F4EA}},
    };
    RecordingSink sink;
    for (const auto& l : looks) {
        const std::unique_ptr<RGBImage> image =
            LoadDIBImage(std::string(TAVELO_ASSETS_DIR) + "/button-" + l.look + ".bmp");
        ASSERT_NE(nullptr, image) << l.look;
        ASSERT_EQ(64, image->width);
        ASSERT_EQ(25, image->height);
        auto at = [&](int x, int y) {  // rows come bottom row first
            const uint8_t* p = &image->data[(static_cast<size_t>(24 - y) * 64 + x) * 3];
            return static_cast<uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
        };
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(l.top[k], at(32, k)) << l.look << " top " << k;
            EXPECT_EQ(l.bottom[k], at(32, 24 - k)) << l.look << " bottom " << k;
            EXPECT_EQ(l.left[k], at(k, 12)) << l.look << " left " << k;
            EXPECT_EQ(l.right[k], at(63 - k, 12)) << l.look << " right " << k;
        }
    }
    EXPECT_TRUE(sink.messages.empty());
}
