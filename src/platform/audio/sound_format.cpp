#include "platform/audio/sound_format.h"

bool IsPlayableFormat(const SoundFormat& format) {
    if (format.formatTag != WAVE_FORMAT_PCM)
        return false;
    if (format.channels != 1 && format.channels != 2)
        return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        return false;
    if (format.blockAlign != format.channels * format.bitsPerSample / 8)
        return false;
    return format.samplesPerSec >= 1000 && format.samplesPerSec <= MIXER_MAX_INPUT_RATE;
}
