#include "platform/audio/device_output.h"

#include "platform/audio/mixer.h"
#include "platform/audio/sound_format.h"

#include <SDL.h>

#include <atomic>

namespace {

constexpr int DEVICE_BUFFER_FRAMES = 1024;

void SDLCALL AudioCallback(void*, Uint8* stream, int length) {
    MixOutput(reinterpret_cast<std::int16_t*>(stream), length / (MIXER_CHANNELS * 2));
}

class SdlDeviceOutput final : public AudioOutput {
  public:
    AudioOpenResult Open() override {
        // SDL's audio part stays initialised until the shutdown, also while no device
        // plays, so that SDL reports the devices that appear.
        if (!m_subsystem) {
            if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
                return AUDIO_NO_DEVICE;
            m_subsystem = true;
        }
        // A machine without sound is not probed further: opening the default device
        // there only adds the sound library's own complaints to the player's one line.
        if (SDL_GetNumAudioDevices(0) == 0)
            return AUDIO_NO_DEVICE;
        SDL_AudioSpec want = {};
        want.freq = MIXER_RATE;
        want.format = AUDIO_S16SYS;
        want.channels = MIXER_CHANNELS;
        want.samples = DEVICE_BUFFER_FRAMES;
        want.callback = AudioCallback;
        SDL_AudioSpec have = {};
        // No changes allowed: SDL converts to whatever the hardware wants.
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device == 0)
            return AUDIO_FAILED;
        m_device.store(device);
        SDL_PauseAudioDevice(device, 0);
        return AUDIO_OPENED;
    }

    // Closing waits for SDL's audio thread to leave the callback, which takes only
    // voice locks.
    void Close() override {
        const SDL_AudioDeviceID device = m_device.exchange(0);
        if (device != 0)
            SDL_CloseAudioDevice(device);
    }

    void Shutdown() override {
        Close();
        if (m_subsystem) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            m_subsystem = false;
        }
    }

    bool IsDevice(std::uint32_t id) const { return id != 0 && m_device.load() == id; }

  private:
    bool m_subsystem = false;
    std::atomic<SDL_AudioDeviceID> m_device{0};
};

// Never destroyed: sound buffers are released during static destruction.
SdlDeviceOutput& GetSdlOutput() {
    static SdlDeviceOutput* output = new SdlDeviceOutput;
    return *output;
}

} // namespace

AudioOutput* GetDeviceOutput() {
    return &GetSdlOutput();
}

bool IsAudioOutputDevice(std::uint32_t id) {
    return GetSdlOutput().IsDevice(id);
}
