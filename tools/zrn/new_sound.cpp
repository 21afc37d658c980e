// The starter game's sound: two short effects as WAV and two tunes as Ogg Vorbis,
// synthesised here. A tune lasts a whole number of the player's 3/16-second
// streaming blocks, so that its loop has no gap of silence.
#include "new_game.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int MUSIC_RATE = 44100;
// One streaming block of 44100 Hz stereo 16-bit sound: 3/16 s rounded up to whole frames.
constexpr int BLOCK_FRAMES = (4 * MUSIC_RATE * 3 / 16 + 3) / 4;

void PutLe(std::vector<std::uint8_t>* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<std::uint8_t>* out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<std::uint8_t>(tag[i]));
}

// A mono 16-bit PCM WAV of a tone sliding from one pitch to another and fading out.
std::vector<std::uint8_t> Chirp(double seconds, double from, double to) {
    const int rate = 22050;
    const int frames = static_cast<int>(seconds * rate);
    std::vector<std::uint8_t> out;
    PutTag(&out, "RIFF");
    PutLe(&out, 36 + 2 * frames, 4);
    PutTag(&out, "WAVE");
    PutTag(&out, "fmt ");
    PutLe(&out, 16, 4);
    PutLe(&out, 1, 2); // PCM
    PutLe(&out, 1, 2);
    PutLe(&out, rate, 4);
    PutLe(&out, 2 * rate, 4);
    PutLe(&out, 2, 2);
    PutLe(&out, 16, 2);
    PutTag(&out, "data");
    PutLe(&out, 2 * frames, 4);
    double phase = 0;
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / frames;
        phase += 2 * PI * (from + (to - from) * t) / rate;
        const double sample = 0.4 * (1 - t) * std::sin(phase);
        PutLe(&out, static_cast<std::uint16_t>(static_cast<std::int16_t>(sample * 32767)), 2);
    }
    return out;
}

// A soft arpeggio over the notes (in semitones above A3), one note per block.
std::vector<float> Tune(const std::vector<int>& notes, int blocksPerNote) {
    const int noteFrames = blocksPerNote * BLOCK_FRAMES;
    std::vector<float> samples;
    samples.reserve(notes.size() * noteFrames);
    for (int note : notes) {
        const double pitch = 220.0 * std::pow(2.0, note / 12.0);
        for (int i = 0; i < noteFrames; ++i) {
            const double t = static_cast<double>(i) / MUSIC_RATE;
            const double envelope = std::exp(-3.0 * t) * std::min(1.0, i / 200.0);
            samples.push_back(static_cast<float>(
                0.3 * envelope *
                (std::sin(2 * PI * pitch * t) + 0.3 * std::sin(4 * PI * pitch * t))));
        }
    }
    return samples;
}

void AppendPage(std::vector<std::uint8_t>* out, const ogg_page& page) {
    out->insert(out->end(), page.header, page.header + page.header_len);
    out->insert(out->end(), page.body, page.body + page.body_len);
}

// Stereo Ogg Vorbis of the mono samples; the stream serial is fixed so that the same
// tune always gives the same file.
bool EncodeOgg(const std::vector<float>& samples, int serial, std::vector<std::uint8_t>* out,
               std::string* why) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, MUSIC_RATE, 0.3f) != 0) {
        vorbis_info_clear(&info);
        *why = "the Vorbis encoder refused its settings";
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    ogg_packet header, commentPacket, codePacket;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codePacket);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentPacket);
    ogg_stream_packetin(&stream, &codePacket);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(out, page);

    constexpr int CHUNK = 4096;
    std::size_t done = 0;
    bool ended = false;
    while (!ended) {
        const int count = static_cast<int>(std::min<std::size_t>(CHUNK, samples.size() - done));
        float** buffer = vorbis_analysis_buffer(&dsp, CHUNK);
        for (int i = 0; i < count; ++i)
            buffer[0][i] = buffer[1][i] = samples[done + i];
        vorbis_analysis_wrote(&dsp, count); // 0 marks the end of the stream
        done += count;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(out, page);
                    ended = ended || ogg_page_eos(&page);
                }
            }
        }
        if (count == 0)
            ended = true;
    }
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(out, page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

} // namespace

bool AddNewGameSound(NewGameFiles* files, std::string* why) {
    files->push_back({"Sound/click.wav", Chirp(0.08, 1200, 900)});
    files->push_back({"Sound/talk.wav", Chirp(0.25, 500, 700)});
    const struct {
        const char* path;
        std::vector<int> notes;
    } tunes[] = {{"Sound/normal.ogg", {0, 4, 7, 12, 7, 4, 0, -5}},
                 {"Sound/korvath.ogg", {0, 3, 7, 10, 7, 3, 0, -2}}};
    int serial = 1;
    for (const auto& tune : tunes) {
        NewGameFile file{tune.path, {}};
        if (!EncodeOgg(Tune(tune.notes, 3), serial++, &file.bytes, why))
            return false;
        files->push_back(std::move(file));
    }
    return true;
}
