#include "Vey_B.h"

#include <algorithm>

#include "Contract.h"
#include "ProfileFile.h"
#include "SaverPlatform.h"
#include "Texts.h"
#include "Utf8.h"
#include "VBConvert.h"
#include "Vey_BGM.h"

const char* const kSettingsFileName = "\\Tavelo.ini";
const char* const kSettingsSection = "Section";
const char* const kKeyMusicSource = "BGM区分";
const char* const kKeyRepeatTrack = "BGMﾘﾋﾟｰﾄ";
const char* const kKeyMusicFile = "BGMﾌｧｲﾙ";
const char* const kKeyScreenMode = "画面ﾓｰﾄﾞ";
const char* const kProgramTitle = "Tavelo (ScreenSaver)";
const char* const kSaverFormCaption = "Vey_Main";
const char* const kSettingsFormCaption = "<Tavelo>";

namespace {

constexpr size_t kIniValueLimit = 255;  // bytes of a read value, in Shift_JIS

bool IsShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// A 16-bit setting: empty gives 0; a number is floored; anything else (or a
// value out of range) leaves the variable as it was.
void ReadInt16Setting(const std::string& text, int16_t& variable) {
    if (text.empty()) {
        variable = 0;
        return;
    }
    double number;
    int16_t value;
    if (ParseWholeNumber(text, number) && FloorToInt16(number, value)) variable = value;
}

}  // namespace

std::string SettingsFilePath() { return ProgramFolder() + kSettingsFileName; }

namespace {

// Cuts a value to what the system's ANSI reader gives back: 255 bytes of
// Shift_JIS (never half a double-byte character), or 255 UTF-16 units of a
// Unicode file (never half a surrogate pair).
std::string LimitValue(const std::string& value, profile::Charset charset) {
    size_t cut = 0, units = 0;
    while (cut < value.size()) {
        const unsigned char c = static_cast<unsigned char>(value[cut]);
        size_t width = 1, weight = 1;
        if (charset == profile::Charset::ShiftJis) {
            width = weight = IsShiftJisLead(c) ? 2 : 1;
        } else {
            width = Utf8Length(c);
            weight = width == 4 ? 2 : 1;
        }
        if (units + weight > kIniValueLimit) break;
        cut = std::min(value.size(), cut + width);
        units += weight;
    }
    return value.substr(0, cut);
}

// A name as it is written into a file of that encoding.
std::string InFile(const std::string& utf8, const profile::FileText& file) {
    return file.encoding == profile::Encoding::Ansi ? ToShiftJis(utf8) : utf8;
}

}  // namespace

std::string GetIni(const std::string& section, const std::string& key, const std::string& file) {
    std::string bytes, value;
    if (ReadWholeFile(file, bytes) != FileRead::Ok) return std::string();
    const profile::FileText text = profile::Decode(bytes);
    if (!profile::GetValue(text.text, InFile(section, text), InFile(key, text), value, text.charset())) {
        return std::string();
    }
    value = LimitValue(value, text.charset());
    return text.encoding == profile::Encoding::Ansi ? FromShiftJis(value) : value;
}

bool WriteIni(const std::string& section, const std::string& key, const std::string& value, const std::string& file) {
    return WriteIniKeys(section, {{key, value}}, file);
}

bool WriteIniKeys(const std::string& section, const std::vector<std::pair<std::string, std::string>>& keys,
                  const std::string& file) {
    // Section and key names reach the system only up to 127 characters.
    auto limited = [](const std::string& name) {
        std::string out;
        size_t characters = 0;
        for (size_t i = 0; i < name.size() && characters < 127; ++characters) {
            const size_t width = Utf8Length(static_cast<unsigned char>(name[i]));
            out += name.substr(i, width);
            i += width;
        }
        return out;
    };
    // Only a file that does not exist yet starts empty: a file that could
    // not be read is never replaced by one that lacks what it held.
    std::string bytes;
    const FileRead read = ReadWholeFile(file, bytes);
    if (read == FileRead::Failed) {
        API_Result = 0;
        return false;
    }
    if (read == FileRead::Missing) bytes.clear();
    profile::FileText text = profile::Decode(bytes);
    const std::string sectionName = InFile(limited(section), text);
    for (const auto& [key, value] : keys) {
        text.text = profile::SetValue(text.text, sectionName, InFile(limited(key), text), InFile(value, text),
                                      text.charset());
    }
    const bool written = ReplaceFileContents(file, profile::Encode(text));
    API_Result = written ? 1 : 0;
    return written;
}

bool SettingsFileCanHold(const std::string& value) {
    const std::string bytes = ToShiftJis(value);
    return bytes.size() <= kIniValueLimit && FromShiftJis(bytes) == value;
}

bool FileExists(const std::string& path) {
    std::string p = path;
    if (!p.empty() && p.back() == '\\') p.pop_back();
    return CanOpenForReading(p);
}

std::string FolderOf(const std::string& path) {
    size_t last = 0;  // 1-based position of the last ":" or "\"
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == ':' || path[i] == '\\') last = i + 1;
    }
    std::string folder = path.substr(0, last);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    return folder;
}

void ReadSettings() {
    const std::string file = SettingsFilePath();
    INI_Value = GetIni(kSettingsSection, kKeyMusicSource, file);
    ReadInt16Setting(INI_Value, BGM_Type);
    INI_Value = GetIni(kSettingsSection, kKeyRepeatTrack, file);
    ReadInt16Setting(INI_Value, BGM_Track);
    INI_Value = GetIni(kSettingsSection, kKeyMusicFile, file);
    if (INI_Value.empty()) {
        BGM_File.clear();
        if (BGM_Type == 2) BGM_Type = 0;
    } else {
        BGM_File = INI_Value;
        if (!FileExists(BGM_File)) {
            BGM_File.clear();
            if (BGM_Type == 2) BGM_Type = 0;
        }
    }
    BGM_Folder = BGM_File.empty() ? ProgramFolder() : FolderOf(BGM_File);
    INI_Value = GetIni(kSettingsSection, kKeyScreenMode, file);
    ReadInt16Setting(INI_Value, Screen_Mode);
}

std::string ModeLetter(const std::string& commandLine) {
    // The second character (a UTF-8 sequence), upper-cased.
    size_t i = 0, index = 0;
    while (i < commandLine.size()) {
        const unsigned char c = static_cast<unsigned char>(commandLine[i]);
        const size_t width = Utf8Length(c);
        if (index == 1) {
            std::string letter = commandLine.substr(i, width);
            if (width == 1 && letter[0] >= 'a' && letter[0] <= 'z') letter[0] = static_cast<char>(letter[0] - 32);
            return letter;
        }
        i += width;
        ++index;
    }
    return std::string();
}

void Main(StartupServices& services) {
    // A running full-screen run or settings dialog of another instance: end.
    const bool saverRunning = services.WindowExists(kSaverFormCaption);
    const bool settingsOpen = services.WindowExists(kSettingsFormCaption);
    if (saverRunning || settingsOpen) {
        services.EndAtOnce();
        return;
    }
    const std::string commandLine = services.CommandLine();  // read once, here
    const std::string letter = ModeLetter(commandLine);
    if (letter == "P") {
        services.ShowPreview(commandLine);
        return;
    }
    ReadSettings();
    if (!FileExists(ProgramFolder() + contract::kRendererFile)) {
        services.ShowMessage(TextOf(Text::RendererMissing));
        services.EndAtOnce();
        return;
    }
    if (letter == "C") {
        services.ShowSettingsModal();
        services.EndAtOnce();
        return;
    }
    if (!commandLine.empty() && letter != "S") {
        services.EndAtOnce();
        return;
    }
    // Only an "S" run hides the pointer, and only it gives it back at its end.
    const bool hidePointer = letter == "S";
    if (hidePointer) Cursor_Count = services.ShowCursor(false);
    services.LoadSaverForm(hidePointer);
}
