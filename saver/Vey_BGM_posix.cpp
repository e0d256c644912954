// Off Windows there is no MCI: every command fails as on a machine without
// any multimedia device, and no sound plays. Only tests run the module here,
// against their own device.
#include "Vey_BGM.h"

namespace {

constexpr int32_t kDeviceNotInstalled = 263;  // MCIERR_DEVICE_NOT_INSTALLED

class SilentDevice : public MusicDevice {
public:
    int32_t SendString(const std::string&, std::string*, uint32_t) override { return kDeviceNotInstalled; }
    bool GetErrorString(int32_t, std::string*, uint32_t) override { return false; }
    int32_t PlaySoundFile(const std::string*, uint32_t) override { return 0; }
    uint32_t WaveOutDeviceCount() override { return 0; }
};

}  // namespace

MusicDevice& PlatformMusicDevice() {
    static SilentDevice device;
    return device;
}
