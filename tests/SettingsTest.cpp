// The settings file and path helpers: the numeric rules of ReadSettings,
// the exact bytes on disk (Shift_JIS, CR LF), and files written by others.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "ProfileFile.h"
#include "SaverPlatform.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "support/Settings.h"
#include "support/TempDir.h"

namespace {

// Shift_JIS bytes of the three keys and of a few words.
const std::string kSourceSjis = "BGM\x8B\xE6\x95\xAA";       // BGM区分
const std::string kTrackSjis = "BGM\xD8\xCB\xDF\xB0\xC4";    // BGMﾘﾋﾟｰﾄ
const std::string kFileSjis = "BGM\xCC\xA7\xB2\xD9";         // BGMﾌｧｲﾙ
const std::string kScreenSjis = "\x89\xE6\x96\xCA\xD3\xB0\xC4\xDE";  // 画面ﾓｰﾄﾞ
const std::string kMusicSjis = "\x89\xB9\x8A\x79";            // 音楽
const std::string kSeaSjis = "\x8A\x43";                      // 海

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramFolder(dir.Path().u8string());
        ResetSettings();
    }
    void TearDown() override { SetProgramFolder(""); }

    std::string Ini() const { return dir.File("Tavelo.ini"); }
    void WriteBytes(const std::string& path, const std::string& bytes) const {
        std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
    }
    std::string ReadBytes(const std::string& path) const {
        std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // A settings file with the three keys.
    void Settings(const std::string& source, const std::string& track, const std::string& file) const {
        WriteBytes(Ini(), "[Section]\r\n" + kSourceSjis + "=" + source + "\r\n" + kTrackSjis + "=" + track + "\r\n" +
                              kFileSjis + "=" + file + "\r\n");
    }
    std::string Music() const {
        const std::string path = dir.Write("music.mp3", {1, 2, 3});
        return path;
    }

    TempDir dir;
};

}  // namespace

TEST(FolderOfTest, FourShapesOfPath) {
    EXPECT_EQ("C:\\Music", FolderOf("C:\\Music\\sea.mp3"));
    EXPECT_EQ("C:", FolderOf("C:\\sea.mp3"));
    EXPECT_EQ("C:", FolderOf("C:sea.mp3"));
    EXPECT_EQ("", FolderOf("sea.mp3"));
    EXPECT_EQ("D:\\音楽\\海", FolderOf("D:\\音楽\\海\\波.wav"));
    EXPECT_EQ("\\\\server\\share", FolderOf("\\\\server\\share\\a.wav"));
    EXPECT_EQ("", FolderOf(""));
}

TEST_F(SettingsTest, FileExistsOpensFilesNotFolders) {
    const std::string file = Music();
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(file + "\\"));  // the trailing backslash is taken off
    EXPECT_FALSE(FileExists(dir.Path().u8string()));
    EXPECT_FALSE(FileExists(dir.Path().u8string() + "\\"));
    EXPECT_FALSE(FileExists(dir.File("none.mp3")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(FileExists(dir.Write("海の音.wav", {0})));
}

TEST_F(SettingsTest, NumbersAreFlooredAndCheckedForRange) {
    struct Case {
        const char* text;
        int16_t expected;
    };
    const Case cases[] = {{" 2", 2},     {"2", 2},     {"1.9", 1},       {"-0.5", -1},    {"  7  ", 7},
                          {"32767", 32767}, {"-32768", -32768}, {"32768", 0}, {"-32769", 0}, {"1e9", 0},
                          {"word", 0},  {"2x", 0},    {"", 0},          {"3", 3},        {"-1", -1}};
    for (const Case& c : cases) {
        BGM_Type = 0;
        BGM_Track = 0;
        Settings(c.text, c.text, "");
        ReadSettings();
        EXPECT_EQ(c.expected == 2 ? 0 : c.expected, BGM_Type) << "source '" << c.text << "' (2 without a file is 0)";
        EXPECT_EQ(c.expected, BGM_Track) << "track '" << c.text << "'";
    }
}

TEST_F(SettingsTest, MusicFileDecidesSourceAndFolder) {
    const std::string music = Music();
    Settings(" 2", " 0", ToShiftJis(music));
    ReadSettings();
    EXPECT_EQ(2, BGM_Type);
    EXPECT_EQ(music, BGM_File);
    EXPECT_EQ(FolderOf(music), BGM_Folder);

    Settings(" 2", " 0", ToShiftJis(dir.File("gone.mp3")));  // the file went away: forgotten for this run
    ReadSettings();
    EXPECT_EQ(0, BGM_Type);
    EXPECT_EQ("", BGM_File);
    EXPECT_EQ(dir.Path().u8string(), BGM_Folder);

    Settings(" 1", " 5", "");  // the CD, no file
    ReadSettings();
    EXPECT_EQ(1, BGM_Type);
    EXPECT_EQ(5, BGM_Track);
    EXPECT_EQ(dir.Path().u8string(), BGM_Folder);

    Settings(" 3", " 0", ToShiftJis(music));  // an unknown source stays as read; the file is kept
    ReadSettings();
    EXPECT_EQ(3, BGM_Type);
    EXPECT_EQ(music, BGM_File);
}

TEST_F(SettingsTest, OnlyAScreenModeOf1KeepsTheResolution) {
    EXPECT_EQ(kScreenSjis, ToShiftJis(kKeyScreenMode));
    const std::pair<const char*, bool> cases[] = {{" 1", true}, {"1", true}, {"1.5", true}, {" 0", false},
                                                  {"2", false}, {"-1", false}, {"word", false}, {"", false}};
    for (const auto& [text, keeps] : cases) {
        Screen_Mode = 0;
        WriteBytes(Ini(), "[Section]\r\n" + kScreenSjis + "=" + text + "\r\n");
        ReadSettings();
        EXPECT_EQ(keeps, KeepsDisplayResolution()) << "'" << text << "'";
    }
    std::filesystem::remove(std::filesystem::u8path(Ini()));
    ReadSettings();
    EXPECT_FALSE(KeepsDisplayResolution()) << "missing";
}

TEST_F(SettingsTest, MissingFileGivesDefaultsAndIsNotCreated) {
    BGM_Type = 7;
    ReadSettings();
    EXPECT_EQ(0, BGM_Type);
    EXPECT_EQ(0, BGM_Track);
    EXPECT_EQ("", BGM_File);
    EXPECT_EQ(dir.Path().u8string(), BGM_Folder);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(Ini())));
}

TEST_F(SettingsTest, JapaneseFileNamesRoundTrip) {
    const std::string music = dir.Write("海 の 音楽.mp3", {1});
    WriteIni("Section", kKeyMusicSource, " 2", Ini());
    WriteIni("Section", kKeyRepeatTrack, " 0", Ini());
    WriteIni("Section", kKeyMusicFile, music, Ini());
    EXPECT_NE(0, API_Result);
    ReadSettings();
    EXPECT_EQ(2, BGM_Type);
    EXPECT_EQ(music, BGM_File);
}

TEST_F(SettingsTest, WritesTheExactBytesOfTheSystemsWriter) {
    WriteIni("Section", kKeyMusicSource, " 2", Ini());
    WriteIni("Section", kKeyRepeatTrack, " 12", Ini());
    WriteIni("Section", kKeyMusicFile, "C:\\音楽\\海.mp3", Ini());
    EXPECT_EQ("[Section]\r\n" + kSourceSjis + "= 2\r\n" + kTrackSjis + "= 12\r\n" + kFileSjis + "=C:\\" + kMusicSjis +
                  "\\" + kSeaSjis + ".mp3\r\n",
              ReadBytes(Ini()));
    // Writing a key again rewrites its line in place; an empty value stays a key.
    WriteIni("Section", kKeyRepeatTrack, " 3", Ini());
    WriteIni("Section", kKeyMusicFile, "", Ini());
    EXPECT_EQ("[Section]\r\n" + kSourceSjis + "= 2\r\n" + kTrackSjis + "= 3\r\n" + kFileSjis + "=\r\n", ReadBytes(Ini()));
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
    EXPECT_EQ(1, files);
}

TEST_F(SettingsTest, OtherSectionsAndLinesAreKeptByteForByte) {
    const std::string longLine = "Long=" + std::string(20000, 'x');
    const std::string before = "; written by hand\n[Other]\nName=" + kSeaSjis + kMusicSjis + "\n" + longLine +
                               "\n\n[section]\r\n " + kSourceSjis + " = 1 \r\nExtra=keep\r\n\r\n[Last]\r\nX=" + kSeaSjis;
    WriteBytes(Ini(), before);
    EXPECT_EQ("1", GetIni("Section", kKeyMusicSource, Ini()));  // names compared without regard to case
    EXPECT_EQ(std::string(255, 'x'), GetIni("Other", "Long", Ini()));  // a long line, read to the limit

    WriteIni("Section", kKeyMusicSource, " 2", Ini());  // rewritten in place
    WriteIni("Section", kKeyRepeatTrack, " 4", Ini());  // added after the section's last line
    WriteIni("Last", "Y", "y", Ini());                   // the file had no final line break
    const std::string after = ReadBytes(Ini());
    EXPECT_EQ("; written by hand\n[Other]\nName=" + kSeaSjis + kMusicSjis + "\n" + longLine + "\n\n[section]\r\n" +
                  kSourceSjis + "= 2\r\nExtra=keep\r\n" + kTrackSjis + "= 4\r\n\r\n[Last]\r\nX=" + kSeaSjis +
                  "\r\nY=y\r\n",
              after);
    EXPECT_EQ("海音楽", GetIni("Other", "Name", Ini()));
    EXPECT_EQ("4", GetIni("Section", kKeyRepeatTrack, Ini()));
}

TEST_F(SettingsTest, NewSectionsGoAtTheEnd) {
    WriteBytes(Ini(), "[Other]\r\nA=1");
    WriteIni("Section", kKeyMusicSource, " 1", Ini());
    EXPECT_EQ("[Other]\r\nA=1\r\n[Section]\r\n" + kSourceSjis + "= 1\r\n", ReadBytes(Ini()));
}

TEST_F(SettingsTest, ValuesAreCutTo255BytesNeverInsideACharacter) {
    WriteBytes(Ini(), "[Section]\r\nA=" + std::string(300, 'a') + "\r\nB=" + std::string(300, '\x8A') + "\r\n");
    EXPECT_EQ(std::string(255, 'a'), GetIni("Section", "A", Ini()));
    // Two-byte characters only: 255 bytes would split one, so 254.
    const std::string cut = ToShiftJis(GetIni("Section", "B", Ini()));
    EXPECT_EQ(254u, cut.size());
}

TEST_F(SettingsTest, LeadBytesAtTheEdgesOfTheirRangesAreLeadBytes) {
    // A trail byte 5D ("]") after a lead byte does not end a section name,
    // and the 255-byte cut never splits a double-byte character.
    for (const std::string lead : {"\x81", "\x9F", "\xE0", "\xFA", "\xFC"}) {
        std::string value, longValue;
        for (int i = 0; i < 150; ++i) longValue += lead + "\x40";
        const std::string file = "[" + lead + "\x5D]\r\nK=v\r\n[Section]\r\nL=" + longValue + "\r\n";
        EXPECT_TRUE(profile::GetValue(file, lead + "\x5D", "K", value) && value == "v") << testing::PrintToString(lead);
        WriteBytes(Ini(), file);
        EXPECT_EQ(254u, ToShiftJis(GetIni("Section", "L", Ini())).size()) << testing::PrintToString(lead);
    }
}

TEST_F(SettingsTest, SeveralKeysGoInOneReplacementInTheirOrder) {
    WriteBytes(Ini(), "[Other]\r\nA=1\r\n");
    ASSERT_TRUE(WriteIniKeys("Section", {{kKeyMusicSource, " 2"}, {kKeyRepeatTrack, " 12"}, {kKeyMusicFile, "C:\\海.mp3"}},
                             Ini()));
    EXPECT_EQ("[Other]\r\nA=1\r\n[Section]\r\n" + kSourceSjis + "= 2\r\n" + kTrackSjis + "= 12\r\n" + kFileSjis +
                  "=C:\\" + kSeaSjis + ".mp3\r\n",
              ReadBytes(Ini()));
}

TEST_F(SettingsTest, KeyNamesReachTheFileUpTo127Characters) {
    const std::string longName(200, 'k');
    ASSERT_TRUE(WriteIni("Section", longName, "1", Ini()));
    EXPECT_EQ("[Section]\r\n" + std::string(127, 'k') + "=1\r\n", ReadBytes(Ini()));
}

TEST_F(SettingsTest, ReadingFollowsTheSystemsRules) {
    WriteBytes(Ini(), "[Section]\r\nQ=\"quoted value\"\r\nS='single'\r\nNoEquals\r\n  Spaced  =  v w  \r\n"
                      "[\x83\x5D]\r\nK=trail byte 5D is not the end of the name\r\n");
    EXPECT_EQ("quoted value", GetIni("Section", "Q", Ini()));
    EXPECT_EQ("single", GetIni("Section", "S", Ini()));
    EXPECT_EQ("", GetIni("Section", "NoEquals", Ini()));
    EXPECT_EQ("v w", GetIni("Section", "spaced", Ini()));
    EXPECT_EQ("trail byte 5D is not the end of the name", GetIni("ゾ", "K", Ini()));
    EXPECT_EQ("", GetIni("Nothing", "K", Ini()));
    EXPECT_EQ("", GetIni("Section", "K", Ini()));
}

TEST_F(SettingsTest, AValueCannotAddLinesOfItsOwn) {
    WriteIni("Section", kKeyMusicSource, " 1", Ini());
    WriteIni("Section", kKeyMusicFile, "C:\\a.mp3\r\n" + std::string(kKeyMusicSource) + "= 2", Ini());
    EXPECT_EQ("1", GetIni("Section", kKeyMusicSource, Ini()));
    EXPECT_EQ("C:\\a.mp3", GetIni("Section", kKeyMusicFile, Ini()));
}

TEST_F(SettingsTest, AFailedWriteLeavesTheFileAsItWas) {
    // The settings file's place is taken by a folder: nothing can replace it.
    std::filesystem::create_directory(std::filesystem::u8path(Ini()));
    API_Result = 99;
    WriteIni("Section", kKeyMusicSource, " 2", Ini());
    EXPECT_EQ(0, API_Result);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(Ini())));
    int entries = 0;
    for (auto it = std::filesystem::directory_iterator(dir.Path()); it != std::filesystem::directory_iterator(); ++it) {
        ++entries;
    }
    EXPECT_EQ(1, entries);  // no temporary file left
}

TEST_F(SettingsTest, LineBreaksAreCrLfOrCrLfAlone) {
    // As the system reads them; a write never joins a key to the line before.
    for (const std::string brk : {"\r\n", "\r", "\n"}) {
        for (const bool lastBreak : {true, false}) {
            const std::string before = "[Section]" + brk + kSourceSjis + "=1" + brk + kTrackSjis + "=7" +
                                       (lastBreak ? brk : "");
            WriteBytes(Ini(), before);
            ReadSettings();
            EXPECT_EQ(1, BGM_Type) << testing::PrintToString(before);
            EXPECT_EQ(7, BGM_Track) << testing::PrintToString(before);
            ASSERT_TRUE(WriteIni("Section", kKeyMusicFile, "C:\\a.mp3", Ini()));
            EXPECT_EQ(before + (lastBreak ? "" : "\r\n") + kFileSjis + "=C:\\a.mp3\r\n", ReadBytes(Ini()));
            EXPECT_EQ("7", GetIni("Section", kKeyRepeatTrack, Ini()));
        }
    }
    WriteBytes(Ini(), "[Other]\rA=1\r");  // a new section after a lone CR
    WriteIni("Section", kKeyMusicSource, " 2", Ini());
    EXPECT_EQ("[Other]\rA=1\r[Section]\r\n" + kSourceSjis + "= 2\r\n", ReadBytes(Ini()));
}

TEST_F(SettingsTest, UnicodeFilesAreReadAndWrittenInUtf16) {
    auto utf16 = [](const std::u16string& text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t c : text) {
            const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
            bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
        }
        return bytes;
    };
    for (const bool bigEndian : {false, true}) {
        WriteBytes(Ini(), utf16(u"[Other]\r\n名=😀\r\n[Section]\rBGM区分=1\rBGMﾘﾋﾟｰﾄ=7\r", bigEndian));
        ReadSettings();
        EXPECT_EQ(1, BGM_Type);
        EXPECT_EQ(7, BGM_Track);
        EXPECT_EQ("😀", GetIni("Other", "名", Ini()));
        ASSERT_TRUE(WriteIni("Section", kKeyMusicFile, "C:\\曲.mp3", Ini()));
        EXPECT_EQ(utf16(u"[Other]\r\n名=😀\r\n[Section]\rBGM区分=1\rBGMﾘﾋﾟｰﾄ=7\rBGMﾌｧｲﾙ=C:\\曲.mp3\r\n", bigEndian),
                  ReadBytes(Ini()));
    }
}

TEST_F(SettingsTest, CharactersBeyondTheBasicPlaneAtTheEdgesOfTheSurrogates) {
    // U+10000 (D800 DC00), U+1F3FF (D83C DFFF), U+10FFFF (DBFF DFFF), little-endian.
    const std::pair<std::string, std::string> cases[] = {
        {std::string("\x00\xD8\x00\xDC", 4), "\xF0\x90\x80\x80"},
        {std::string("\x3C\xD8\xFF\xDF", 4), "\xF0\x9F\x8F\xBF"},
        {std::string("\xFF\xDB\xFF\xDF", 4), "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& [units, utf8] : cases) {
        std::string bytes = "\xFF\xFE";
        for (char c : std::string("[S]\r\nk=")) bytes += std::string{c, '\0'};
        WriteBytes(Ini(), bytes + units + std::string("\r\0\n\0", 4));
        EXPECT_EQ(utf8, GetIni("S", "k", Ini()));
    }
}

TEST_F(SettingsTest, OnlyAMissingFileIsWrittenAfresh) {
    // A settings file that cannot be read (here a folder in its place) is
    // never replaced; a missing one is created with the one key.
    std::filesystem::create_directory(std::filesystem::u8path(Ini()));
    EXPECT_FALSE(WriteIni("Section", kKeyMusicSource, " 2", Ini()));
    std::filesystem::remove(std::filesystem::u8path(Ini()));
#ifndef _WIN32
    // Nor one that cannot be read but could be replaced: a link to itself.
    std::filesystem::create_symlink("Tavelo.ini", std::filesystem::u8path(Ini()));
    EXPECT_FALSE(WriteIni("Section", kKeyMusicSource, " 2", Ini()));
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::u8path(Ini())));
    std::filesystem::remove(std::filesystem::u8path(Ini()));
#endif
    EXPECT_TRUE(WriteIni("Section", kKeyMusicSource, " 2", Ini()));
    EXPECT_EQ("[Section]\r\n" + kSourceSjis + "= 2\r\n", ReadBytes(Ini()));
}

TEST(SettingsFileCanHoldTest, ShiftJisAndNoMoreThan255Bytes) {
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const std::pair<std::string, bool> cases[] = {
        {"C:\\" + repeat("海", 126), true},        // 3 + 252 = 255 bytes
        {"C:\\" + repeat("海", 126) + "a", false},  // 256
        {"C:\\" + repeat("海", 127), false},        // 257
        {repeat("a", 255), true},
        {repeat("a", 256), false},
        {repeat("ﾃ", 255), true},  // half-width katakana: one byte each
        {"C:\\노래.mp3", false},  // Hangul: not in Shift_JIS
        {"", true},
    };
    for (const auto& [value, fits] : cases) EXPECT_EQ(fits, SettingsFileCanHold(value)) << value.size();
}

TEST_F(SettingsTest, AReplacedFileKeepsItsModeAndLeftoversGo) {
    namespace fs = std::filesystem;
    WriteBytes(Ini(), "[Section]\r\n");
    fs::permissions(fs::u8path(Ini()), fs::perms::owner_read | fs::perms::owner_write);
    WriteBytes(Ini() + ".tmp-12345", "[Section]\r\nhalf a file");  // left by a crash
    EXPECT_EQ("", GetIni("Section", "half a file", Ini()));
    ASSERT_TRUE(WriteIni("Section", kKeyMusicSource, " 1", Ini()));
#ifndef _WIN32  // (Windows has attributes instead: the system tests check those)
    EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(fs::u8path(Ini())).permissions());
#endif
    EXPECT_FALSE(fs::exists(fs::u8path(Ini() + ".tmp-12345")));
    fs::permissions(fs::u8path(Ini()), fs::perms::owner_read);  // read-only: not replaced
    EXPECT_FALSE(WriteIni("Section", kKeyMusicSource, " 2", Ini()));
    EXPECT_EQ("1", GetIni("Section", kKeyMusicSource, Ini()));
}

TEST(ShiftJisTest, KeysAndTextsConvert) {
    EXPECT_EQ(kSourceSjis, ToShiftJis(kKeyMusicSource));
    EXPECT_EQ(kTrackSjis, ToShiftJis(kKeyRepeatTrack));
    EXPECT_EQ(kFileSjis, ToShiftJis(kKeyMusicFile));
    EXPECT_EQ("BGM区分", FromShiftJis(kSourceSjis));
    EXPECT_EQ("a?b", ToShiftJis("a\xE0\xB8\x81" "b"));  // a Thai letter Shift_JIS lacks
    EXPECT_EQ("a??b", ToShiftJis("a\xF0\x9F\x8C\x8A" "b"));  // one beyond 16 bits: a surrogate pair
    EXPECT_EQ("?\\?e", ToShiftJis("¥\\ée"));  // no look-alikes: "¥" is no backslash, "é" no "e"
}
