// Command lines as Windows programs read them: the saver's argument text,
// and the picture paths the saver gives the renderer.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "Contract.h"

TEST(CommandLineTest, ArgumentsFollowTheProgramName) {
    EXPECT_EQ("/s", ArgumentsOf("C:\\Tavelo.scr /s"));
    EXPECT_EQ("/p 1234", ArgumentsOf("\"C:\\Program Files\\Tavelo\\Tavelo.scr\" /p 1234"));
    EXPECT_EQ("/c:123", ArgumentsOf("   \"C:\\a b\\Tavelo.scr\"   /c:123"));
    EXPECT_EQ("/S", ArgumentsOf("\"C:\\x\"y.scr\t/S"));
    EXPECT_EQ("", ArgumentsOf("Tavelo.scr"));
    EXPECT_EQ("", ArgumentsOf("\"C:\\Tavelo.scr\""));
    EXPECT_EQ("", ArgumentsOf("\"C:\\unterminated /s"));
    EXPECT_EQ("", ArgumentsOf(""));
}

TEST(CommandLineTest, PicturePathsReachTheRendererUnchanged) {
    const std::string paths[] = {"C:\\Users\\山田 太郎\\AppData\\Local\\Temp\\Tavelo\\Vey1.bmp", "C:\\a b\\",
                                 "plain", "", "quote\"inside", "C:\\tail\\\\", "\\\\server\\share\\x.bmp"};
    for (const std::string& a : paths) {
        for (const std::string& b : paths) {
            const std::vector<std::string> got =
                SplitCommandLine("\"C:\\Program Files\\Tavelo\\Tavelo.dll\" " + QuoteArgument(a) + " " + QuoteArgument(b));
            ASSERT_EQ(3u, got.size()) << a << " | " << b;
            EXPECT_EQ("C:\\Program Files\\Tavelo\\Tavelo.dll", got[0]);
            EXPECT_EQ(a, got[1]);
            EXPECT_EQ(b, got[2]);
        }
    }
    EXPECT_EQ((std::vector<std::string>{"prog", "a\\\\b", "c\"d", "e f"}),
              SplitCommandLine("  prog a\\\\b c\\\"d \"e f\"  "));
    EXPECT_EQ(1u, SplitCommandLine("\"C:\\Tavelo.dll\"").size());
}

TEST(CommandLineTest, TheRendererTakesKeepAndTwoPaths) {
    struct Case {
        std::vector<std::string> arguments;
        bool keep;
        const char* screenCopy;  // nullptr: the fixed "C:\Vey1.bmp" and "C:\Vey2.bmp"
    };
    const Case cases[] = {
        {{}, false, nullptr},
        {{"/keep"}, true, nullptr},
        {{"/KEEP"}, true, nullptr},
        {{"C:\\t\\Vey1.bmp", "C:\\t\\Vey2.bmp"}, false, "C:\\t\\Vey1.bmp"},
        {{"/keep", "C:\\t\\Vey1.bmp", "C:\\t\\Vey2.bmp"}, true, "C:\\t\\Vey1.bmp"},
        {{"C:\\only.bmp"}, false, nullptr},                  // not two paths: the fixed ones
        {{"a", "b", "c"}, false, nullptr},
        {{"/keeps"}, false, nullptr},
        {{"/saver", "484", "/job", "12", "/keep"}, true, nullptr},
        {{"/saver", "x1", "C:\\a", "C:\\b"}, false, "C:\\a"},  // not a handle: dropped, never a path
    };
    for (const Case& c : cases) {
        const RendererArguments got = ParseRendererArguments(c.arguments);
        EXPECT_EQ(c.keep, got.keepResolution) << c.arguments.size();
        EXPECT_EQ(c.screenCopy ? c.screenCopy : contract::kScreenCopyFile, got.screenCopy);
        // What the saver writes reads back the same.
        std::vector<std::string> again = SplitCommandLine("Tavelo.dll " + RendererArgumentText(got));
        again.erase(again.begin());
        const RendererArguments back = ParseRendererArguments(again);
        EXPECT_EQ(got.keepResolution, back.keepResolution);
        EXPECT_EQ(got.screenCopy, back.screenCopy);
        EXPECT_EQ(got.lightPattern, back.lightPattern);
        EXPECT_EQ(got.saverProcess, back.saverProcess);
        EXPECT_EQ(got.saverJob, back.saverJob);
    }
    const RendererArguments tied = ParseRendererArguments({"/saver", "484", "/job", "12", "C:\\a", "C:\\b"});
    EXPECT_EQ(484u, tied.saverProcess);
    EXPECT_EQ(12u, tied.saverJob);
    EXPECT_EQ("C:\\a", tied.screenCopy);
    EXPECT_EQ("", RendererArgumentText(RendererArguments()));  // as the renderer was always started
}

// Started by hand, the renderer may be given anything: what is no handle of
// this build is none (0), never a number cut to fit.
TEST(CommandLineTest, HandleValuesThatDoNotFitAreNone) {
    const uint64_t win32 = 0xFFFFFFFFu;
    const struct {
        const char* text;
        uint64_t limit, expected;
    } cases[] = {
        {"4", win32, 4},          {"0", win32, 0},          {"-4", win32, 0},
        {"4294967295", win32, 4294967295u},                 {"4294967296", win32, 0},
        {"18446744073709551615", UINT64_MAX, UINT64_MAX},   {"18446744073709551616", UINT64_MAX, 0},
        {"99999999999999999999999", UINT64_MAX, 0},         {"", win32, 0},
    };
    for (const auto& c : cases) {
        const RendererArguments got = ParseRendererArguments({"/saver", c.text, "/job", c.text}, c.limit);
        EXPECT_EQ(c.expected, got.saverProcess) << c.text;
        EXPECT_EQ(c.expected, got.saverJob) << c.text;
        EXPECT_EQ(contract::kScreenCopyFile, got.screenCopy) << c.text;
    }
}
