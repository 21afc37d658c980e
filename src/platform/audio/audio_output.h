// Where the mixed sound goes. The mixer plays on one output at a time: the one the
// program chose (the system's sound device, the automation driver's hand-pumped
// output, or the null output of a muted game), or the null output standing in while
// the chosen one has no device. Each kind of output is one class in a file of its
// own, and takes its sound from MixOutput (mixer.h) whenever it likes.
#pragma once

enum AudioOpenResult {
    AUDIO_OPENED,    // the output takes sound from now on
    AUDIO_NO_DEVICE, // there is no device to play on at all (one may appear later)
    AUDIO_FAILED,    // a device is there, but it could not be opened
};

class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    virtual AudioOpenResult Open() = 0;
    // When it returns, this output calls MixOutput no more.
    virtual void Close() = 0;
    // Nothing needs sound any more: the output also stops watching for devices.
    virtual void Shutdown() {}
};

// The output to play on; call before the first sound device or music performance is
// created. Until then the null output is chosen.
void ChooseAudioOutput(AudioOutput* output);

// The stand-ins share one output: the first user opens it, the last closes it. When
// the chosen output finds no device at all, the null output stands in (said once on
// stderr) and this still succeeds. false when a device is there but fails to open.
bool AcquireAudioOutput();
void ReleaseAudioOutput();

// The output device went away (unplugged, or the sound server ended). The null
// output stands in: every buffer keeps its contents, cursor and playing state and no
// notification fires, so the game goes on silently and no streaming thread gets work
// it would have to finish. The effects sounding end.
void HandleAudioDeviceRemoved();
// True while sound reaches no device: the null output plays, chosen or standing in.
// No effect starts then: one kept for later would sound with all the others of that
// time at once.
bool IsAudioOutputSilent();
// After a device was lost, or while there was none: opens the chosen output again,
// and mixing resumes where it stopped. Called when a device appears and when the game
// reloads. true when the chosen output plays (also when it never stopped).
bool RestoreAudioOutput();
