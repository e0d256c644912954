// The music module's system calls on Windows: winmm's wide-character MCI
// command strings and PlaySound, so that file names in any script play.
#include <windows.h>
#include <mmsystem.h>

#include <vector>

#include "Utf16.h"
#include "Vey_BGM.h"

namespace {

constexpr wchar_t kUntouched = 0xFFFF;  // marks a reply buffer the device did not write

class WinmmDevice : public MusicDevice {
public:
    int32_t SendString(const std::string& command, std::string* reply, uint32_t offeredSize) override {
        const std::wstring wide = Utf8ToWide(command);
        if (reply == nullptr || offeredSize == 0) {
            return static_cast<int32_t>(mciSendStringW(wide.c_str(), nullptr, 0, nullptr));
        }
        std::vector<wchar_t> buffer(offeredSize, L'\0');
        buffer[0] = kUntouched;
        const MCIERROR code = mciSendStringW(wide.c_str(), buffer.data(), offeredSize, nullptr);
        if (buffer[0] != kUntouched) {
            buffer[offeredSize - 1] = L'\0';
            *reply = WideToUtf8(buffer.data());
        }
        return static_cast<int32_t>(code);
    }

    bool GetErrorString(int32_t code, std::string* text, uint32_t offeredSize) override {
        std::vector<wchar_t> buffer(offeredSize, L'\0');
        if (!mciGetErrorStringW(static_cast<MCIERROR>(code), buffer.data(), offeredSize)) return false;
        buffer[offeredSize - 1] = L'\0';
        *text = WideToUtf8(buffer.data());
        return true;
    }

    int32_t PlaySoundFile(const std::string* path, uint32_t flags) override {
        if (path == nullptr) return PlaySoundW(nullptr, nullptr, flags);
        return PlaySoundW(Utf8ToWide(*path).c_str(), nullptr, flags);
    }

    uint32_t WaveOutDeviceCount() override { return waveOutGetNumDevs(); }
};

}  // namespace

MusicDevice& PlatformMusicDevice() {
    static WinmmDevice device;
    return device;
}
