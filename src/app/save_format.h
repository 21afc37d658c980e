// A saved game as bytes: the records a frame reads, copied out of the process-wide
// tables, and the file format that carries them (versioned, tied to one game, checked).
#pragma once

#include "field/characters.h"
#include "field/collision_box.h"
#include "field/events.h"
#include "scenario/backlog.h"
#include "scenario/interpreter.h"
#include "scenario/links.h"
#include "scenario/picture_layers.h"
#include "scenario/variables.h"
#include "sound/music.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t SAVE_FORMAT_VERSION = 1;
constexpr char SAVE_MAGIC[8] = {'T', 'A', 'V', 'S', 'A', 'V', 'E', '\0'};

// What a marker keeps besides its model, which the map build gives it.
struct SavedMarker {
    CollisionBox box;
    Vec3 position;
    std::int32_t kind;
    float size;
    std::int32_t reserved;
    std::int32_t scenarioSlot;
    float spin;
    bool active;
};

struct SavedChannel {
    bool playing;
    std::uint32_t frame; // the sample frame being heard
};

struct SaveRecords {
    std::uint8_t frameNo;
    float frameTime; // the clock at saving: timed waits are moved by the time between
    std::int32_t eVars[E_VAR_COUNT];
    std::int32_t sVars[S_VAR_COUNT];
    // The field.
    std::int32_t builtMap;
    std::uint32_t wanderSeed;
    Vec3 pickedPoint;
    CollisionBox cursorBox;
    float cursorSpin;
    std::uint8_t fadeActive;
    std::int32_t renderMode;
    std::int32_t passCount;
    float fadeAlpha;
    std::int32_t fadeCounter;
    std::int32_t fadeDestination;
    float fadeArrivalX, fadeArrivalZ;
    FieldCharacter characters[FIELD_CHARACTER_COUNT]; // their marker buffers are not kept
    SavedMarker markers[EVENT_OBJECT_COUNT];
    // The scenario interpreter.
    std::int32_t currentScenario;
    std::int32_t pageSourceOffset; // into the current script
    std::int32_t pageEndOffset;
    char messageBuffer[MESSAGE_BUFFER_SIZE];
    std::int32_t pageLength;
    std::int32_t messagePos;
    std::int32_t removedBytes;
    std::int32_t textLine;
    std::int32_t textColumn;
    bool linkMode;
    bool selectWait;
    ScreenQuad clickIconQuad;
    std::int32_t clickIconX, clickIconY;
    bool clickLatch;
    bool clickArmed;
    ScreenQuad cursorQuad;
    LinkRecord links[LINK_COUNT];
    std::int32_t linkCount;
    PictureLayer layers[PICTURE_LAYER_COUNT];
    std::int32_t basePicture;
    // The music.
    std::int32_t bgmChannel;
    std::int32_t bgmRequestedChannel;
    bool bgmStopped;
    SavedChannel channels[MUSIC_CHANNEL_COUNT];
    // The backlog: CP932 pages, oldest first, at most BACKLOG_PAGE_COUNT.
    std::vector<std::string> backlog;
};

// Who a save belongs to: the game (the names of its files) and the game's contents
// (its scripts and the sizes of its files). Both are hashes.
struct GameIdentity {
    std::uint64_t game;
    std::uint64_t contents;
};

enum SaveDecodeResult {
    SAVE_DECODED,
    SAVE_DAMAGED,      // cut short, a wrong checksum, or records that cannot be
    SAVE_NEWER_FORMAT, // written by a later version of the program
    SAVE_OTHER_GAME,   // another game's
    SAVE_CHANGED_GAME, // this game's, before its files changed
};

// The bytes of a save file. false (and nothing appended) when a record holds a value
// no game state can have, which a load would refuse.
bool EncodeSave(const SaveRecords& records, const GameIdentity& identity,
                std::vector<std::uint8_t>* out);
// Checks and reads a save file; *records is filled only for SAVE_DECODED.
SaveDecodeResult DecodeSave(const std::uint8_t* data, std::size_t size,
                            const GameIdentity& identity, SaveRecords* records);
// The checksum the format uses (CRC-32, as zlib computes it).
std::uint32_t SaveChecksum(const std::uint8_t* data, std::size_t size);
// The offset in a save file where the checksum stands: the last four bytes.
constexpr std::size_t SAVE_CHECKSUM_BYTES = 4;
