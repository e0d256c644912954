// Start-up decisions: the mode letter and what Main does for each command
// line, against recording services.
#include <gtest/gtest.h>

#include <fstream>

#include "SaverPlatform.h"
#include "VBConvert.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "support/TempDir.h"

namespace {

class RecordingServices : public StartupServices {
public:
    std::string commandLine;
    std::vector<std::string> windows;  // captions that exist
    std::vector<std::string> log;

    std::string CommandLine() override { return commandLine; }
    bool WindowExists(const std::string& caption) override {
        log.push_back("find " + caption);
        for (const auto& w : windows) {
            if (w == caption) return true;
        }
        return false;
    }
    void ShowMessage(const std::string& text) override { log.push_back("message " + text); }
    int32_t ShowCursor(bool show) override {
        log.push_back(show ? "show cursor" : "hide cursor");
        return -1;
    }
    void EndAtOnce() override { log.push_back("end"); }
    void ShowPreview(const std::string& line) override { log.push_back("preview " + line); }
    void ShowSettingsModal() override { log.push_back("settings"); }
    void LoadSaverForm(bool pointerHidden) override { log.push_back(pointerHidden ? "saver" : "saver, pointer as it is"); }
};

using Log = std::vector<std::string>;

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramFolder(dir.Path().u8string());
        dir.Write("Tavelo.dll", {'M', 'Z'});
        std::ofstream(std::filesystem::u8path(dir.File("Tavelo.ini")), std::ios::binary)
            << "[Section]\r\n" << ToShiftJis("BGM区分") << "= 1\r\n";
        BGM_Type = -7;
        Cursor_Count.reset();
    }
    void TearDown() override { SetProgramFolder(""); }

    Log Run(const std::string& commandLine) {
        services.commandLine = commandLine;
        services.log.clear();
        Main(services);
        return services.log;
    }

    TempDir dir;
    RecordingServices services;
};

const std::string kFindSaver = "find Vey_Main";
const std::string kFindSettings = "find <Tavelo>";

}  // namespace

TEST(ModeLetterTest, SecondCharacterUpperCased) {
    const std::pair<const char*, const char*> cases[] = {
        {"/s", "S"},     {"-S", "S"},       {"xs", "S"},  {"S", ""},   {"", ""},     {"/c:123", "C"},
        {"/p 1234", "P"}, {"/P:1234", "P"}, {"/a", "A"},  {"/S extra", "S"}, {"//", "/"}, {"/ｓ", "ｓ"},
    };
    for (auto [line, letter] : cases) EXPECT_EQ(letter, ModeLetter(line)) << "'" << line << "'";
}

TEST_F(StartupTest, AnotherInstancesRunOrDialogEndsEveryStart) {
    for (const char* window : {"Vey_Main", "<Tavelo>"}) {
        services.windows = {window};
        for (const char* line : {"/s", "/p 1", "/c", "", "/x"}) {
            EXPECT_EQ((Log{kFindSaver, kFindSettings, "end"}), Run(line)) << window << " " << line;
        }
    }
    EXPECT_EQ(-7, BGM_Type);  // the settings were never read
}

TEST_F(StartupTest, PreviewNeedsNeitherSettingsNorRenderer) {
    std::filesystem::remove(std::filesystem::u8path(dir.File("Tavelo.dll")));
    EXPECT_EQ((Log{kFindSaver, kFindSettings, "preview /p 1234"}), Run("/p 1234"));
    EXPECT_EQ((Log{kFindSaver, kFindSettings, "preview /P:1234"}), Run("/P:1234"));
    EXPECT_EQ(-7, BGM_Type);
    EXPECT_FALSE(Cursor_Count.has_value());
}

TEST_F(StartupTest, FullScreenRunHidesThePointerOnlyForTheLetterS) {
    EXPECT_EQ((Log{kFindSaver, kFindSettings, "hide cursor", "saver"}), Run("/s"));
    EXPECT_EQ(1, BGM_Type);  // read from the settings file
    ASSERT_TRUE(Cursor_Count.has_value());
    EXPECT_EQ(-1, *Cursor_Count);
    EXPECT_EQ((Log{kFindSaver, kFindSettings, "hide cursor", "saver"}), Run("-S"));

    Cursor_Count.reset();
    EXPECT_EQ((Log{kFindSaver, kFindSettings, "saver, pointer as it is"}), Run(""));  // no arguments: the pointer stays
    EXPECT_FALSE(Cursor_Count.has_value());
}

TEST_F(StartupTest, SettingsDialogThenTheEnd) {
    EXPECT_EQ((Log{kFindSaver, kFindSettings, "settings", "end"}), Run("/c"));
    EXPECT_EQ((Log{kFindSaver, kFindSettings, "settings", "end"}), Run("/c:3344"));
}

TEST_F(StartupTest, OtherCommandLinesEndSilently) {
    for (const char* line : {"S", "/x", "/a", "x"}) {
        EXPECT_EQ((Log{kFindSaver, kFindSettings, "end"}), Run(line)) << line;
    }
}

TEST_F(StartupTest, MissingRendererStopsEverythingButThePreview) {
    std::filesystem::remove(std::filesystem::u8path(dir.File("Tavelo.dll")));
    const std::string message = "message Tavelo.dll が同じﾌｫﾙﾀﾞに見つかりません！";
    for (const char* line : {"/s", "/c", "", "S", "/a"}) {
        EXPECT_EQ((Log{kFindSaver, kFindSettings, message, "end"}), Run(line)) << line;
    }
    EXPECT_FALSE(Cursor_Count.has_value());
    // A folder of that name is not the renderer either.
    std::filesystem::create_directory(std::filesystem::u8path(dir.File("Tavelo.dll")));
    EXPECT_EQ((Log{kFindSaver, kFindSettings, message, "end"}), Run("/s"));
}
