#!/usr/bin/env python3
"""Synthesises the music (as WAV, for oggenc) and the two sound effects.

The music is written as exact loops: every note's tail that runs past the end
of the piece is folded back onto its beginning, so the last sample leads into
the first without a click. A piece lasts a whole number of the music channel's
streaming blocks, so that no silence pads its last block before it starts again.

usage: gen_sound.py OUT_DIR     (normal.wav, korvath.wav, click.wav, talk.wav)
"""
import os
import sys
import wave

import numpy as np

RATE = 44100
# The music channel refills 3/16 s of 16-bit stereo at a time, rounded up to whole frames.
BLOCK_FRAMES = -(-(RATE * 4 * 3 // 16) // 4)


def Frequency(note):
    """MIDI note number -> Hz."""
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def Tone(note, seconds, kind):
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    f = Frequency(note)
    if kind == "bell":
        envelope = np.exp(-t * 3.2) * np.minimum(1, t * 400)
        wave_ = np.sin(2 * np.pi * f * t) + 0.35 * np.sin(2 * np.pi * f * 2.01 * t) * np.exp(-t * 4) \
            + 0.12 * np.sin(2 * np.pi * f * 3.98 * t) * np.exp(-t * 7)
    elif kind == "pluck":
        envelope = np.exp(-t * 5.0) * np.minimum(1, t * 300)
        wave_ = np.sin(2 * np.pi * f * t) + 0.25 * np.sin(2 * np.pi * f * 2 * t) * np.exp(-t * 8)
    elif kind == "pad":
        attack = np.minimum(1, t / 0.6)
        release = np.clip((seconds - t) / 0.8, 0, 1)
        envelope = attack * release * (0.85 + 0.15 * np.sin(2 * np.pi * 0.4 * t))
        wave_ = np.sin(2 * np.pi * f * t) + 0.3 * np.sin(2 * np.pi * f * 2.003 * t) + 0.12 * np.sin(2 * np.pi * f * 0.5 * t)
    elif kind == "toll":
        envelope = np.exp(-t * 0.7) * np.minimum(1, t * 200)
        wave_ = sum(a * np.sin(2 * np.pi * f * m * t) * np.exp(-t * d)
                    for a, m, d in ((1.0, 1.0, 0.0), (0.6, 2.0, 0.6), (0.4, 2.4, 1.0), (0.25, 3.0, 1.5), (0.2, 4.2, 2.5)))
    else:
        raise ValueError(kind)
    return wave_ * envelope


class Score:
    def __init__(self, seconds):
        """The piece takes the whole number of streaming blocks nearest to seconds."""
        self.length = int(round(seconds * RATE / BLOCK_FRAMES)) * BLOCK_FRAMES
        self.seconds = self.length / RATE
        self.left = np.zeros(self.length)
        self.right = np.zeros(self.length)

    def Add(self, start, note, seconds, kind, gain, pan=0.0):
        sound = Tone(note, seconds, kind) * gain
        begin = int(round(start * RATE)) % self.length
        index = (begin + np.arange(len(sound))) % self.length
        np.add.at(self.left, index, sound * (1 - pan) * 0.5)
        np.add.at(self.right, index, sound * (1 + pan) * 0.5)

    def Pcm(self, peak=0.8):
        stereo = np.stack([self.left, self.right], axis=1)
        stereo *= peak / (np.abs(stereo).max() + 1e-9)
        return (stereo * 32767).astype(np.int16)


def Village():
    """A gentle waltz-like tune in F major for the village and the forest."""
    bars = 16
    score = Score(bars * 4 * 60.0 / 92)
    beat = score.seconds / (bars * 4)
    chords = [[53, 57, 60], [50, 53, 57], [46, 50, 53], [48, 52, 55]]
    melody = [[72, 69, 67, 69], [65, 67, 69, 72], [74, 72, 70, 69], [67, 69, 67, 64],
              [72, 74, 72, 69], [65, 64, 65, 67], [70, 69, 67, 65], [67, 65, 64, 60]]
    for bar in range(bars):
        chord = chords[(bar // 2) % 4]
        start = bar * 4 * beat
        for note in chord:
            score.Add(start, note, 4 * beat, "pad", 0.16, pan=-0.3)
        score.Add(start, chord[0] - 12, 2 * beat, "pluck", 0.5)
        score.Add(start + 2 * beat, chord[0] - 5, 2 * beat, "pluck", 0.35)
        for k in range(3):
            score.Add(start + (1 + k) * beat, chord[k % 3] + 12, beat, "pluck", 0.12, pan=0.4)
        phrase = melody[bar % 8]
        for k, note in enumerate(phrase):
            if bar % 4 == 3 and k == 3:
                continue
            score.Add(start + k * beat, note, 2.0, "bell", 0.32, pan=0.2)
    return score.Pcm()


def Ruin():
    """A slow D minor piece under a tolling bell, for the ruin."""
    bars = 12
    score = Score(bars * 4 * 60.0 / 64)
    beat = score.seconds / (bars * 4)
    chords = [[38, 45, 50], [34, 41, 46], [36, 43, 48], [33, 40, 45]]
    line = [69, 67, 65, 64, 62, 64, 65, 69, 70, 69, 67, 64]
    for bar in range(bars):
        chord = chords[bar % 4]
        start = bar * 4 * beat
        for note in chord:
            score.Add(start, note, 4 * beat + 0.5, "pad", 0.2)
        score.Add(start, 50, 6.0, "toll", 0.28 if bar % 2 == 0 else 0.0)
        score.Add(start + 2 * beat, line[bar], 2.5, "bell", 0.22, pan=0.5)
        score.Add(start + 3 * beat, line[(bar + 5) % 12] - 12, 2.0, "bell", 0.14, pan=-0.5)
    return score.Pcm(0.75)


def Click():
    """A short soft wooden tick."""
    n = int(0.07 * RATE)
    t = np.arange(n) / RATE
    rng = np.random.default_rng(5)
    tick = (np.sin(2 * np.pi * 1800 * t) * 0.6 + rng.standard_normal(n) * 0.15) * np.exp(-t * 90)
    tick += np.sin(2 * np.pi * 900 * t) * np.exp(-t * 60) * 0.5
    stereo = np.stack([tick, tick], axis=1) * 0.45 / np.abs(tick).max()
    return (stereo * 32767).astype(np.int16)


def Talk():
    """Two soft rising chime notes."""
    n = int(0.4 * RATE)
    sound = np.zeros(n)
    for start, note in ((0.0, 79), (0.09, 84)):
        tone = Tone(note, 0.4 - start, "bell") * np.exp(-np.arange(int((0.4 - start) * RATE)) / RATE * 6)
        begin = int(start * RATE)
        sound[begin:begin + len(tone)] += tone[:n - begin]
    sound *= np.minimum(1, (n - np.arange(n)) / (0.02 * RATE))
    stereo = np.stack([sound, sound], axis=1) * 0.45 / np.abs(sound).max()
    return (stereo * 32767).astype(np.int16)


def WriteWav(path, pcm):
    with wave.open(path, "wb") as f:
        f.setnchannels(2)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(pcm.tobytes())


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, pcm in (("normal", Village()), ("korvath", Ruin()), ("click", Click()), ("talk", Talk())):
        WriteWav(os.path.join(out_dir, name + ".wav"), pcm)


if __name__ == "__main__":
    main()
