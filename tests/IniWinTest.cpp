// Our settings file code against the system's own profile functions under
// code page 932: each reads what the other wrote.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "SaverPlatform.h"
#include "Utf16.h"
#include "Vey_B.h"
#include "Vey_BGM.h"
#include "support/TempDir.h"

namespace {

std::string Sjis(const std::string& utf8) { return ToShiftJis(utf8); }

std::string SystemRead(const std::string& section, const std::string& key, const std::string& file) {
    char buffer[256] = {};
    GetPrivateProfileStringA(Sjis(section).c_str(), Sjis(key).c_str(), "", buffer, sizeof buffer, Sjis(file).c_str());
    return buffer;  // Shift_JIS bytes
}

void SystemWrite(const std::string& section, const std::string& key, const std::string& value, const std::string& file) {
    ASSERT_TRUE(WritePrivateProfileStringA(Sjis(section).c_str(), Sjis(key).c_str(), Sjis(value).c_str(),
                                           Sjis(file).c_str()));
}

std::string Bytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class IniWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(932u, GetACP()) << "the tests run on a Japanese system";
        SetProgramFolder(dir.Path().u8string());
    }
    void TearDown() override { SetProgramFolder(""); }
    TempDir dir;
};

}  // namespace

TEST_F(IniWinTest, WhatTheSystemWritesWeRead) {
    const std::string ini = SettingsFilePath();
    const std::string music = dir.Write("海の 音楽.mp3", {1, 2});
    SystemWrite("Other", "名前", "値", ini);
    SystemWrite("Section", kKeyMusicSource, " 2", ini);
    SystemWrite("Section", kKeyRepeatTrack, " 12", ini);
    SystemWrite("Section", kKeyMusicFile, music, ini);
    EXPECT_EQ("2", GetIni("Section", kKeyMusicSource, ini));
    EXPECT_EQ("12", GetIni("Section", kKeyRepeatTrack, ini));
    EXPECT_EQ(music, GetIni("Section", kKeyMusicFile, ini));
    EXPECT_EQ("値", GetIni("Other", "名前", ini));
    ReadSettings();
    EXPECT_EQ(2, BGM_Type);
    EXPECT_EQ(12, BGM_Track);
    EXPECT_EQ(music, BGM_File);

    // A value longer than 255 bytes comes back cut the same way.
    SystemWrite("Section", "Long", std::string(300, 'z'), ini);
    EXPECT_EQ(std::string(255, 'z'), GetIni("Section", "Long", ini));
    EXPECT_EQ(std::string(255, 'z'), SystemRead("Section", "Long", ini));
}

TEST_F(IniWinTest, WhatWeWriteTheSystemReads) {
    const std::string ini = SettingsFilePath();
    WriteIni("Section", kKeyMusicSource, " 1", ini);
    WriteIni("Section", kKeyRepeatTrack, " 30", ini);
    WriteIni("Section", kKeyMusicFile, "D:\\曲\\ﾃｽﾄ 1.wav", ini);
    EXPECT_EQ(" 1", " " + SystemRead("Section", kKeyMusicSource, ini));
    EXPECT_EQ("30", SystemRead("Section", kKeyRepeatTrack, ini));
    EXPECT_EQ(Sjis("D:\\曲\\ﾃｽﾄ 1.wav"), SystemRead("Section", kKeyMusicFile, ini));
    // Then the system adds to our file, and we still read all of it.
    SystemWrite("Section", "Added", "by the system", ini);
    SystemWrite("Section", kKeyRepeatTrack, " 4", ini);
    EXPECT_EQ("4", GetIni("Section", kKeyRepeatTrack, ini));
    EXPECT_EQ("by the system", GetIni("Section", "Added", ini));
    EXPECT_EQ("D:\\曲\\ﾃｽﾄ 1.wav", GetIni("Section", kKeyMusicFile, ini));
}

TEST_F(IniWinTest, OurFileHasTheSystemsLayout) {
    // Wine's writer drops the blanks before a value (" 2" becomes "2"), where
    // Windows keeps them, as we do; the layout is compared without them.
    const std::string ours = dir.File("ours.ini"), theirs = dir.File("theirs.ini");
    for (const char* key : {kKeyMusicSource, kKeyRepeatTrack, kKeyMusicFile}) {
        WriteIni("Section", key, "2", ours);
        SystemWrite("Section", key, "2", theirs);
    }
    WriteIni("Second", "k", "v", ours);
    SystemWrite("Second", "k", "v", theirs);
    EXPECT_EQ(Bytes(theirs), Bytes(ours));
}

namespace {

std::string Utf16Le(const std::string& utf8) {
    const std::wstring wide = Utf8ToWide(utf8);
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : wide) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

}  // namespace

TEST_F(IniWinTest, EveryLineBreakAndUtf16ReadAsTheSystemReadsThem) {
    const std::string ini = SettingsFilePath();
    const std::string lines = std::string("[Other]\r\nA=x\r\n[Section]") + "|" + kKeyMusicSource + "=1|" +
                              kKeyRepeatTrack + "=7|Z=z";
    struct Case {
        const char* name;
        std::string bytes;
    };
    auto with = [&](const std::string& brk) {
        std::string text = lines;
        for (size_t at; (at = text.find('|')) != std::string::npos;) text.replace(at, 1, brk);
        return text;
    };
    const Case cases[] = {{"CR", Sjis(with("\r"))},
                          {"LF", Sjis(with("\n"))},
                          {"CR LF", Sjis(with("\r\n"))},
                          {"mixed", Sjis(with("\n\r"))},
                          {"UTF-16 CR", Utf16Le(with("\r"))},
                          {"UTF-16 mixed", Utf16Le(with("\r\n\n"))}};
    for (const Case& c : cases) {
        WriteBytes(ini, c.bytes);
        for (const char* key : {kKeyMusicSource, kKeyRepeatTrack, "Z"}) {
            EXPECT_EQ(FromShiftJis(SystemRead("Section", key, ini)), GetIni("Section", key, ini)) << c.name << key;
        }
        EXPECT_EQ("7", GetIni("Section", kKeyRepeatTrack, ini)) << c.name;
        // After our write the system reads every key, the new one too.
        ASSERT_TRUE(WriteIni("Section", kKeyMusicFile, "C:\\曲.mp3", ini)) << c.name;
        EXPECT_EQ("1", FromShiftJis(SystemRead("Section", kKeyMusicSource, ini))) << c.name;
        EXPECT_EQ("z", FromShiftJis(SystemRead("Section", "Z", ini))) << c.name;
        EXPECT_EQ("x", FromShiftJis(SystemRead("Other", "A", ini))) << c.name;
        EXPECT_EQ("C:\\曲.mp3", FromShiftJis(SystemRead("Section", kKeyMusicFile, ini))) << c.name;
    }
}

TEST_F(IniWinTest, AFileHeldOpenIsNotReplacedAndAMissingOneIsCreated) {
    const std::string ini = SettingsFilePath();
    const std::string before = "[Section]\r\nKeep=me\r\n";
    WriteBytes(ini, before);
    HANDLE held = CreateFileW(Utf8ToWide(ini).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(WriteIni("Section", kKeyMusicSource, " 2", ini));
    EXPECT_EQ(0, API_Result);
    CloseHandle(held);
    EXPECT_EQ(before, Bytes(ini));

    // A hidden file stays hidden when it is replaced.
    ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(ini).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(WriteIni("Section", kKeyMusicSource, " 1", ini));
    EXPECT_TRUE(GetFileAttributesW(Utf8ToWide(ini).c_str()) & FILE_ATTRIBUTE_HIDDEN);

    SetFileAttributesW(Utf8ToWide(ini).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Utf8ToWide(ini).c_str());
    EXPECT_TRUE(WriteIni("Section", kKeyMusicSource, " 2", ini));
    EXPECT_EQ("[Section]\r\n" + Sjis(kKeyMusicSource) + "= 2\r\n", Bytes(ini));
}
