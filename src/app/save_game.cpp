#include "app/save_game.h"

#include "app/frame_states.h"
#include "app/save_format.h"
#include "app/text_pace.h"
#include "archive/archive.h"
#include "core/frame_clock.h"
#include "core/frame_state.h"
#include "core/input_state.h"
#include "field/cursor_pick.h"
#include "field/terrain.h"
#include "render/render_setup.h"
#include "scenario/page.h"
#include "scenario/scenario_store.h"
#include "scene/note.h"
#include "scene/object_draws.h"

#include "platform/files/stored_files.h"
#include "platform/files/stored_files_lasting.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr const char* SLOT_FILES[] = {"quick.sav", "auto.sav"};

std::string s_saveRoot;
bool s_saveRequested = false;
bool s_loadRequested = false;
std::unique_ptr<SaveRecords> s_pendingLoad;

// FNV-1a, 64 bits: stable across runs and builds.
struct Hash {
    std::uint64_t value = 0xcbf29ce484222325ull;
    void Add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            value ^= bytes[i];
            value *= 0x100000001b3ull;
        }
    }
    void AddNumber(std::uint32_t n) { Add(&n, sizeof n); }
};

// The game is named by its files' names; its contents by its scripts and the sizes of
// all its files, which is what a save's page offsets and markers depend on.
GameIdentity CurrentGameIdentity() {
    Hash names, contents;
    for (const auto& [key, entry] : g_archiveIndex) {
        names.Add(key.data(), key.size() + 1);
        contents.AddNumber(entry.length);
    }
    for (int n = 0; n < SCENARIO_COUNT; ++n) {
        const char* text = ScenarioText(n);
        contents.Add(text, std::strlen(text) + 1);
    }
    contents.AddNumber(static_cast<std::uint32_t>(names.value));
    return {names.value, contents.value};
}

bool IsPlayFrame() {
    return g_frameNo == FRAME_FIELD || g_frameNo == FRAME_SCENARIO;
}

void Report(const std::string& note, const std::string& line) {
    ShowNote(note.c_str());
    std::fprintf(stderr, "tavelle: %s\n", line.c_str());
}

void CaptureField(SaveRecords* r) {
    r->builtMap = g_builtMap;
    r->wanderSeed = g_wanderSeed;
    r->pickedPoint = g_pickedPoint;
    r->cursorBox = g_cursorBox;
    r->cursorSpin = g_cursorSpin;
    r->fadeActive = g_renderSet.fadeActive;
    r->renderMode = g_renderSet.renderMode;
    r->passCount = g_renderSet.passCount;
    r->fadeAlpha = g_renderSet.fadeAlpha;
    r->fadeCounter = g_renderSet.fadeCounter;
    r->fadeDestination = g_renderSet.fadeDestination;
    r->fadeArrivalX = g_renderSet.fadeArrivalX;
    r->fadeArrivalZ = g_renderSet.fadeArrivalZ;
    std::copy(std::begin(g_fieldCharacters), std::end(g_fieldCharacters), r->characters);
    for (int k = 0; k < EVENT_OBJECT_COUNT; ++k) {
        const EventObject& m = g_eventObjects[k];
        r->markers[k] = {m.box,      m.position,     m.kind, m.size,
                         m.reserved, m.scenarioSlot, m.spin, m.active};
    }
}

void CaptureScenario(SaveRecords* r) {
    r->currentScenario = g_currentScenario;
    r->pageSourceOffset = static_cast<std::int32_t>(g_pageSource - ScenarioText(g_currentScenario));
    r->pageEndOffset = g_pageEndOffset;
    std::memcpy(r->messageBuffer, g_messageBuffer, sizeof r->messageBuffer);
    r->pageLength = g_pageLength;
    r->messagePos = g_messagePos;
    r->removedBytes = g_removedBytes;
    r->textLine = g_textLine;
    r->textColumn = g_textColumn;
    r->linkMode = g_linkMode;
    r->selectWait = g_selectWait;
    r->clickIconQuad = g_clickIconQuad;
    r->clickIconX = g_clickIconX;
    r->clickIconY = g_clickIconY;
    r->clickLatch = g_clickLatch;
    r->clickArmed = g_clickArmed;
    r->cursorQuad = g_cursorQuad;
    std::copy(std::begin(g_links), std::end(g_links), r->links);
    r->linkCount = g_linkCount;
    std::copy(std::begin(g_pictureLayers), std::end(g_pictureLayers), r->layers);
    r->basePicture = g_basePicture;
}

void CaptureMusic(SaveRecords* r) {
    r->bgmChannel = g_bgmChannel;
    r->bgmRequestedChannel = g_bgmRequestedChannel;
    r->bgmStopped = g_bgmStopped;
    for (int i = 0; i < MUSIC_CHANNEL_COUNT; ++i) {
        r->channels[i].playing = g_streamSoundBuffers[i].IsPlaying();
        r->channels[i].frame = g_streamSoundBuffers[i].GetPlayedFrame();
    }
}

void CaptureRecords(SaveRecords* r) {
    r->frameNo = g_frameNo;
    r->frameTime = g_frameTime;
    std::copy(std::begin(g_eVars), std::end(g_eVars), r->eVars);
    std::copy(std::begin(g_sVars), std::end(g_sVars), r->sVars);
    CaptureField(r);
    CaptureScenario(r);
    CaptureMusic(r);
    r->backlog.clear();
    for (int back = g_backlogCount - 1; back >= 0; --back) {
        const BacklogPage* page = BacklogPageBack(back);
        r->backlog.emplace_back(page->text, static_cast<std::size_t>(page->length));
    }
}

void PlaceField(const SaveRecords& r) {
    if (g_builtMap != r.builtMap)
        BuildMapTerrain(r.builtMap);
    g_wanderSeed = r.wanderSeed;
    g_pickedPoint = r.pickedPoint;
    g_cursorBox = r.cursorBox;
    g_cursorSpin = r.cursorSpin;
    g_renderSet.fadeActive = r.fadeActive;
    g_renderSet.renderMode = r.renderMode;
    g_renderSet.passCount = r.passCount;
    g_renderSet.fadeAlpha = r.fadeAlpha;
    g_renderSet.fadeCounter = r.fadeCounter;
    g_renderSet.fadeDestination = r.fadeDestination;
    g_renderSet.fadeArrivalX = r.fadeArrivalX;
    g_renderSet.fadeArrivalZ = r.fadeArrivalZ;
    // Timed walks and pauses count from the clock: they resume with the time they had left.
    const float shift = g_frameTime - r.frameTime;
    for (int k = 0; k < FIELD_CHARACTER_COUNT; ++k) {
        FieldCharacter& c = g_fieldCharacters[k];
        GfxVertexBuffer* markerBuffer = c.markerBuffer;
        c = r.characters[k];
        c.markerBuffer = markerBuffer;
        c.lastTime += shift;
        c.pauseStart += shift;
    }
    for (int k = 0; k < EVENT_OBJECT_COUNT; ++k) {
        const SavedMarker& saved = r.markers[k];
        EventObject& m = g_eventObjects[k];
        if (m.kind != saved.kind)
            PlaceEventObject(k, saved.kind, saved.position.x, saved.position.y, saved.position.z,
                             saved.size, saved.reserved, saved.scenarioSlot);
        m.box = saved.box;
        m.position = saved.position;
        m.size = saved.size;
        m.reserved = saved.reserved;
        m.scenarioSlot = saved.scenarioSlot;
        m.spin = saved.spin;
        m.active = saved.active;
    }
}

void PlaceScenario(const SaveRecords& r) {
    g_currentScenario = r.currentScenario;
    g_pageSource = ScenarioText(r.currentScenario) + r.pageSourceOffset;
    g_pageEndOffset = r.pageEndOffset;
    std::memcpy(g_messageBuffer, r.messageBuffer, sizeof g_messageBuffer);
    g_pageLength = r.pageLength;
    g_messagePos = r.messagePos;
    g_removedBytes = r.removedBytes;
    g_textLine = r.textLine;
    g_textColumn = r.textColumn;
    g_linkMode = r.linkMode;
    g_selectWait = r.selectWait;
    g_clickIconQuad = r.clickIconQuad;
    g_clickIconX = r.clickIconX;
    g_clickIconY = r.clickIconY;
    g_clickLatch = r.clickLatch;
    g_clickArmed = r.clickArmed;
    g_cursorQuad = r.cursorQuad;
    std::copy(std::begin(r.links), std::end(r.links), g_links);
    g_linkCount = r.linkCount;
    std::copy(std::begin(r.layers), std::end(r.layers), g_pictureLayers);
    g_basePicture = r.basePicture;
}

void PlaceMusic(const SaveRecords& r) {
    for (int i = 0; i < MUSIC_CHANNEL_COUNT; ++i)
        StopMusicChannel(i);
    g_bgmChannel = r.bgmChannel;
    g_bgmRequestedChannel = r.bgmRequestedChannel;
    g_bgmStopped = r.bgmStopped;
    for (int i = 0; i < MUSIC_CHANNEL_COUNT; ++i) {
        if (r.channels[i].playing)
            g_streamSoundBuffers[i].PlayFrom(r.channels[i].frame);
    }
}

void PlaceRecords(const SaveRecords& r) {
    std::copy(std::begin(r.eVars), std::end(r.eVars), g_eVars);
    std::copy(std::begin(r.sVars), std::end(r.sVars), g_sVars);
    PlaceField(r);
    PlaceScenario(r);
    PlaceMusic(r);
    ClearBacklog();
    for (const std::string& page : r.backlog)
        AddBacklogPage(page.data(), static_cast<int>(page.size()));
    g_frameNo = r.frameNo;
}

bool WriteSave(SaveSlot slot) {
    auto records = std::make_unique<SaveRecords>();
    CaptureRecords(records.get());
    std::vector<std::uint8_t> bytes;
    const std::string path = SaveSlotPath(slot);
    if (!EncodeSave(*records, CurrentGameIdentity(), &bytes)) {
        Report("Cannot save now", path + ": not saved: the game holds a value a save cannot keep");
        return false;
    }
    std::string error;
    if (!WriteStoredFile(path, bytes.data(), bytes.size(), true, &error)) {
        Report("Cannot save: the save folder is not writable", "not saved: " + error);
        return false;
    }
    return true;
}

// The newest of the quick and the automatic save, or -1 when there is none.
int NewestSlot() {
    int newest = -1;
    std::int64_t newestTime = 0;
    for (int slot : {SAVE_SLOT_QUICK, SAVE_SLOT_AUTO}) {
        std::int64_t time = 0;
        if (GetStoredFileTime(SaveSlotPath(SaveSlot(slot)), &time) &&
            (newest < 0 || time > newestTime)) {
            newest = slot;
            newestTime = time;
        }
    }
    return newest;
}

const char* RefusalNote(SaveDecodeResult result) {
    switch (result) {
    case SAVE_NEWER_FORMAT:
        return "Save not loaded: made by a newer version";
    case SAVE_OTHER_GAME:
        return "Save not loaded: it belongs to another game";
    case SAVE_CHANGED_GAME:
        return "Save not loaded: the game has changed since";
    default:
        return "Save not loaded: the file is damaged";
    }
}

void LoadNewestSave() {
    const int slot = NewestSlot();
    if (slot < 0) {
        Report("No save to load", "no save to load in " + GameSaveFolder());
        return;
    }
    const std::string path = SaveSlotPath(SaveSlot(slot));
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadStoredFile(path, &bytes, &error)) {
        Report("Save not loaded: the file cannot be read", "save not loaded: " + error);
        return;
    }
    auto records = std::make_unique<SaveRecords>();
    const SaveDecodeResult result =
        DecodeSave(bytes.data(), bytes.size(), CurrentGameIdentity(), records.get());
    if (result != SAVE_DECODED) {
        const char* note = RefusalNote(result);
        Report(note, path + ": " + note);
        return;
    }
    s_pendingLoad = std::move(records);
    BeginReload();
}

} // namespace

void SetSaveRootFolder(const std::string& folder) {
    s_saveRoot = folder;
}

std::string GameSaveFolder() {
    const std::string root = s_saveRoot.empty() ? UserDataFolder() + "/saves" : s_saveRoot;
    char name[17];
    std::snprintf(name, sizeof name, "%016" PRIx64, CurrentGameIdentity().game);
    return root + "/" + name;
}

std::string SaveSlotPath(SaveSlot slot) {
    return GameSaveFolder() + "/" + SLOT_FILES[slot];
}

void RequestQuickSave() {
    s_saveRequested = true;
}

void RequestLoad() {
    s_loadRequested = true;
}

void RunSaveRequests() {
    if (!IsPlayFrame())
        return;
    if (s_loadRequested) {
        s_loadRequested = false;
        s_saveRequested = false;
        LoadNewestSave();
        return;
    }
    if (s_saveRequested) {
        s_saveRequested = false;
        if (WriteSave(SAVE_SLOT_QUICK))
            ShowNote(StoredFilesLast() ? "Saved"
                                       : "Saved for this session only: no lasting storage");
    }
}

void PlaceLoadedSave() {
    if (!s_pendingLoad)
        return;
    const std::unique_ptr<SaveRecords> records = std::move(s_pendingLoad);
    PlaceRecords(*records);
    ShowNote("Loaded");
}

bool WriteAutomaticSave() {
    StoreReadPages();
    return !IsPlayFrame() || WriteSave(SAVE_SLOT_AUTO);
}
