#include "app/save_format.h"

#include "core/frame_state.h"
#include "field/map_change.h"
#include "field/map_files.h"
#include "render/render_setup.h"
#include "scenario/scenario_store.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {

// Magic, version, the two identity hashes, the payload's length.
constexpr std::size_t HEADER_BYTES = sizeof SAVE_MAGIC + 4 + 8 + 8 + 4;
constexpr std::uint32_t MAX_PAYLOAD_BYTES = 1u << 20;
// Positions on the page grid and the script walk stay far inside these.
constexpr std::int32_t MAX_TEXT_GRID = 4096;
constexpr std::int32_t MAX_REMOVED_BYTES = 2 * SCENARIO_SLOT_SIZE;

// One walk over the records serves both directions: writing appends each value in
// little-endian order, reading fills it back and fails on the first value that is
// cut short or could not have been saved.
class RecordStream {
  public:
    explicit RecordStream(std::vector<std::uint8_t>* out) : m_out(out) {}
    RecordStream(const std::uint8_t* data, std::size_t size) : m_in(data), m_left(size) {}

    bool Ok() const { return m_ok; }
    bool Reading() const { return m_out == nullptr; }
    bool AtEnd() const { return m_left == 0; }
    void Fail() { m_ok = false; }

    template <class T> void Value(T& value) {
        static_assert(std::is_arithmetic_v<T> && !std::is_same_v<T, bool>);
        std::uint8_t bytes[sizeof(T)];
        if (Reading()) {
            if (!Take(bytes, sizeof bytes))
                return;
            T read;
            std::memcpy(&read, bytes, sizeof read);
            if constexpr (std::is_floating_point_v<T>) {
                if (!std::isfinite(read))
                    return Fail();
            }
            value = read;
        } else {
            if constexpr (std::is_floating_point_v<T>) {
                if (!std::isfinite(value))
                    return Fail();
            }
            std::memcpy(bytes, &value, sizeof bytes);
            m_out->insert(m_out->end(), bytes, bytes + sizeof bytes);
        }
    }

    void Flag(bool& value) {
        std::uint8_t byte = value ? 1 : 0;
        Value(byte);
        if (byte > 1)
            return Fail();
        value = byte == 1;
    }

    void Bytes(char* data, std::size_t size) {
        if (Reading()) {
            Take(data, size);
        } else {
            m_out->insert(m_out->end(), data, data + size);
        }
    }

    // An integer that must lie in [low, high].
    template <class T> void Ranged(T& value, std::int64_t low, std::int64_t high) {
        Value(value);
        if (value < low || value > high)
            Fail();
    }

  private:
    bool Take(void* to, std::size_t size) {
        if (!m_ok || size > m_left) {
            m_ok = false;
            return false;
        }
        std::memcpy(to, m_in, size);
        m_in += size;
        m_left -= size;
        return true;
    }

    std::vector<std::uint8_t>* m_out = nullptr;
    const std::uint8_t* m_in = nullptr;
    std::size_t m_left = 0;
    bool m_ok = true;
};

void TransferVec(RecordStream& s, Vec3& v) {
    s.Value(v.x);
    s.Value(v.y);
    s.Value(v.z);
}

void TransferBox(RecordStream& s, CollisionBox& box) {
    TransferVec(s, box.centre);
    for (Vec3& axis : box.axes)
        TransferVec(s, axis);
    TransferVec(s, box.halfExtents);
}

void TransferQuad(RecordStream& s, ScreenQuad& quad) {
    for (ScreenVertex& v : quad.v) {
        s.Value(v.x);
        s.Value(v.y);
        s.Value(v.z);
        s.Value(v.rhw);
        s.Value(v.diffuse);
        s.Value(v.u);
        s.Value(v.v);
    }
}

void TransferCharacter(RecordStream& s, FieldCharacter& c) {
    TransferBox(s, c.box);
    TransferVec(s, c.position);
    s.Value(c.nextX);
    s.Value(c.nextZ);
    s.Value(c.pathLength);
    s.Value(c.travelled);
    s.Value(c.heading);
    s.Value(c.velocityX);
    s.Value(c.velocityZ);
    s.Value(c.lastTime);
    s.Ranged(c.state, LEAD_IDLE, WANDER_PAUSING);
    s.Ranged(c.spriteWidth, 0, 4096);
    s.Ranged(c.spriteHeight, 0, 4096);
    s.Ranged(c.number, 0, CHARACTER_SHEET_COUNT - 1);
    s.Value(c.animationCounter);
    TransferQuad(s, c.spriteQuad);
    s.Flag(c.active);
    s.Ranged(c.mode, MODE_LEAD, MODE_WANDER);
    s.Flag(c.pressLatch);
    TransferVec(s, c.target);
    s.Value(c.pauseLength);
    s.Value(c.pauseStart);
}

void TransferMarker(RecordStream& s, SavedMarker& m) {
    TransferBox(s, m.box);
    TransferVec(s, m.position);
    s.Value(m.kind);
    s.Value(m.size);
    s.Value(m.reserved);
    s.Value(m.scenarioSlot);
    s.Value(m.spin);
    s.Flag(m.active);
}

void TransferLink(RecordStream& s, LinkRecord& link) {
    TransferQuad(s, link.quad);
    s.Bytes(link.target, sizeof link.target);
    if (!std::memchr(link.target, '\0', sizeof link.target))
        s.Fail();
    s.Flag(link.present);
    s.Flag(link.hover);
    s.Flag(link.hasTarget);
}

void TransferField(RecordStream& s, SaveRecords& r) {
    s.Ranged(r.builtMap, 1, MAP_COUNT);
    s.Value(r.wanderSeed);
    TransferVec(s, r.pickedPoint);
    TransferBox(s, r.cursorBox);
    s.Value(r.cursorSpin);
    s.Ranged(r.fadeActive, 0, 1);
    s.Value(r.renderMode);
    if (r.renderMode != RENDER_MODE_FADE && r.renderMode != RENDER_MODE_FOG)
        s.Fail();
    s.Ranged(r.passCount, 0, 2);
    s.Value(r.fadeAlpha);
    s.Ranged(r.fadeCounter, 0, MAP_CHANGE_LAST_FRAME + 1);
    s.Ranged(r.fadeDestination, 0, MAP_COUNT);
    s.Value(r.fadeArrivalX);
    s.Value(r.fadeArrivalZ);
    for (FieldCharacter& c : r.characters)
        TransferCharacter(s, c);
    for (SavedMarker& m : r.markers)
        TransferMarker(s, m);
}

void TransferScenario(RecordStream& s, SaveRecords& r) {
    s.Ranged(r.currentScenario, 0, SCENARIO_COUNT - 1);
    s.Ranged(r.pageSourceOffset, 0, SCENARIO_MAX_LENGTH);
    s.Ranged(r.pageEndOffset, 0, SCENARIO_MAX_LENGTH);
    s.Bytes(r.messageBuffer, sizeof r.messageBuffer);
    s.Ranged(r.pageLength, 0, MESSAGE_BUFFER_SIZE);
    s.Ranged(r.messagePos, 0, r.pageLength);
    s.Ranged(r.removedBytes, -MAX_REMOVED_BYTES, MAX_REMOVED_BYTES);
    s.Ranged(r.textLine, 0, MAX_TEXT_GRID);
    s.Ranged(r.textColumn, 0, MAX_TEXT_GRID);
    s.Flag(r.linkMode);
    s.Flag(r.selectWait);
    TransferQuad(s, r.clickIconQuad);
    s.Value(r.clickIconX);
    s.Value(r.clickIconY);
    s.Flag(r.clickLatch);
    s.Flag(r.clickArmed);
    TransferQuad(s, r.cursorQuad);
    for (LinkRecord& link : r.links)
        TransferLink(s, link);
    s.Ranged(r.linkCount, 0, LINK_COUNT);
    for (PictureLayer& layer : r.layers) {
        TransferQuad(s, layer.quad);
        s.Value(layer.picture);
        s.Flag(layer.visible);
    }
    s.Value(r.basePicture);
}

void TransferMusic(RecordStream& s, SaveRecords& r) {
    s.Ranged(r.bgmChannel, 0, STREAM_CHANNEL_COUNT - 1);
    s.Ranged(r.bgmRequestedChannel, 0, STREAM_CHANNEL_COUNT - 1);
    s.Flag(r.bgmStopped);
    for (SavedChannel& channel : r.channels) {
        s.Flag(channel.playing);
        s.Value(channel.frame);
    }
}

void TransferBacklog(RecordStream& s, SaveRecords& r) {
    std::uint32_t pages = static_cast<std::uint32_t>(r.backlog.size());
    s.Ranged(pages, 0, BACKLOG_PAGE_COUNT);
    if (!s.Ok())
        return;
    r.backlog.resize(pages);
    for (std::string& page : r.backlog) {
        std::uint32_t length = static_cast<std::uint32_t>(page.size());
        s.Ranged(length, 0, MESSAGE_BUFFER_SIZE);
        if (!s.Ok())
            return;
        page.resize(length);
        s.Bytes(page.data(), length);
    }
}

void TransferRecords(RecordStream& s, SaveRecords& r) {
    s.Value(r.frameNo);
    if (r.frameNo != FRAME_FIELD && r.frameNo != FRAME_SCENARIO)
        s.Fail();
    s.Value(r.frameTime);
    for (std::int32_t& v : r.eVars)
        s.Value(v);
    for (std::int32_t& v : r.sVars)
        s.Value(v);
    TransferField(s, r);
    TransferScenario(s, r);
    TransferMusic(s, r);
    TransferBacklog(s, r);
}

void PutU32(std::vector<std::uint8_t>* out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutU64(std::vector<std::uint8_t>* out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i)
        out->push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t GetLittleEndian(const std::uint8_t* at, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | at[i];
    return v;
}

struct CrcTable {
    std::uint32_t entries[256];
    constexpr CrcTable() : entries() {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
            entries[n] = c;
        }
    }
    constexpr std::uint32_t operator[](std::uint32_t i) const { return entries[i]; }
};

constexpr CrcTable CRC_TABLE;

} // namespace

std::uint32_t SaveChecksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        crc = CRC_TABLE[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

bool EncodeSave(const SaveRecords& records, const GameIdentity& identity,
                std::vector<std::uint8_t>* out) {
    std::vector<std::uint8_t> payload;
    RecordStream stream(&payload);
    auto copy = std::make_unique<SaveRecords>(records);
    TransferRecords(stream, *copy);
    if (!stream.Ok() || payload.size() > MAX_PAYLOAD_BYTES)
        return false;
    const std::size_t start = out->size();
    out->insert(out->end(), SAVE_MAGIC, SAVE_MAGIC + sizeof SAVE_MAGIC);
    PutU32(out, SAVE_FORMAT_VERSION);
    PutU64(out, identity.game);
    PutU64(out, identity.contents);
    PutU32(out, static_cast<std::uint32_t>(payload.size()));
    out->insert(out->end(), payload.begin(), payload.end());
    PutU32(out, SaveChecksum(out->data() + start, out->size() - start));
    return true;
}

SaveDecodeResult DecodeSave(const std::uint8_t* data, std::size_t size,
                            const GameIdentity& identity, SaveRecords* records) {
    if (size < HEADER_BYTES + SAVE_CHECKSUM_BYTES ||
        std::memcmp(data, SAVE_MAGIC, sizeof SAVE_MAGIC) != 0)
        return SAVE_DAMAGED;
    const std::size_t body = size - SAVE_CHECKSUM_BYTES;
    if (SaveChecksum(data, body) != GetLittleEndian(data + body, 4))
        return SAVE_DAMAGED;
    const std::uint8_t* at = data + sizeof SAVE_MAGIC;
    const auto version = static_cast<std::uint32_t>(GetLittleEndian(at, 4));
    if (version > SAVE_FORMAT_VERSION)
        return SAVE_NEWER_FORMAT;
    if (version != SAVE_FORMAT_VERSION)
        return SAVE_DAMAGED;
    if (GetLittleEndian(at + 4, 8) != identity.game)
        return SAVE_OTHER_GAME;
    if (GetLittleEndian(at + 12, 8) != identity.contents)
        return SAVE_CHANGED_GAME;
    const auto payloadSize = static_cast<std::size_t>(GetLittleEndian(at + 20, 4));
    if (payloadSize != body - HEADER_BYTES)
        return SAVE_DAMAGED;
    // Read into a copy, so that a save refused half way leaves *records as it was.
    auto decoded = std::make_unique<SaveRecords>();
    RecordStream stream(data + HEADER_BYTES, payloadSize);
    TransferRecords(stream, *decoded);
    if (!stream.Ok() || !stream.AtEnd())
        return SAVE_DAMAGED;
    *records = std::move(*decoded);
    return SAVE_DECODED;
}
