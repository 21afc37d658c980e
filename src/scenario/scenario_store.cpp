#include "scenario/scenario_store.h"

#include "archive/archive.h"
#include "archive/line_ends.h"
#include "core/file_report.h"
#include "core/tokenizer.h"
#include "platform/window/message_box.h"

#include <cstdio>
#include <cstring>
#include <vector>

char g_scenarioStore[SCENARIO_COUNT * SCENARIO_SLOT_SIZE];

static const char g_emptyScenario[1] = {'\0'};

bool IsScenarioSlot(int n) {
    return n >= 0 && n < SCENARIO_COUNT;
}

const char* ScenarioText(int n) {
    if (!IsScenarioSlot(n))
        return g_emptyScenario;
    return g_scenarioStore + static_cast<std::size_t>(n) * SCENARIO_SLOT_SIZE;
}

void StoreScenarioText(int n, const char* text, std::size_t length) {
    if (!IsScenarioSlot(n))
        return;
    const void* nul = std::memchr(text, '\0', length);
    if (nul)
        length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
    if (length > static_cast<std::size_t>(SCENARIO_MAX_LENGTH))
        length = SCENARIO_MAX_LENGTH;
    char* slot = g_scenarioStore + static_cast<std::size_t>(n) * SCENARIO_SLOT_SIZE;
    std::memcpy(slot, text, length);
    // The whole rest of the slot, so that nothing of an earlier, longer script remains.
    std::memset(slot + length, 0, SCENARIO_SLOT_SIZE - length);
}

// Reads an archive entry whole; false (after the archive's own messages) when it is
// missing. The text is the bytes up to the first NUL or the end of the entry, with
// CR LF line ends whatever the author's editor wrote.
static bool ReadWholeEntry(const char* key, std::vector<char>* text) {
    const std::uint32_t size = GetArchiveFileSize(key);
    if (size == ARCHIVE_SIZE_NOT_FOUND) {
        ReadMissingArchiveFile(key);
        return false;
    }
    const std::size_t decoded = DecodedLength(size);
    std::vector<char> bytes(decoded + 1, '\0');
    if (FAILED(ReadArchiveFile(key, bytes.data())))
        return false;
    bytes[decoded] = '\0';
    *text = ToCrLfLineEnds(bytes.data(), std::strlen(bytes.data()));
    return true;
}

static void LoadScenarioSlot(int n, const char* key) {
    std::vector<char> script;
    if (!ReadWholeEntry(key, &script))
        return;
    const std::size_t length = script.size();
    script.push_back('\0');
    if (length > static_cast<std::size_t>(SCENARIO_MAX_LENGTH)) {
        char text[128];
        std::snprintf(text, sizeof text, "シナリオ %d が長すぎます。%d バイトで切りました", n,
                      SCENARIO_MAX_LENGTH);
        ShowMessageBox(text, "ERROR");
        ReportFileFailure(key, "too long for a script slot: cut after its first 65,534 bytes");
    }
    StoreScenarioText(n, script.data(), length);
}

void LoadScenarioStore() {
    std::vector<char> list;
    if (!ReadWholeEntry(SCENARIO_LIST_KEY, &list))
        return;
    list.push_back('\0');
    // Lines past the end of a short list count as "NONE": their slots stay as they are.
    char* names[SCENARIO_COUNT] = {};
    char* cursor = list.data();
    for (int n = 0; n < SCENARIO_COUNT; ++n) {
        names[n] = NextToken(&cursor, "\n");
        if (!names[n])
            break;
        // The carriage return of the CR LF line end.
        names[n][std::strlen(names[n]) - 1] = '\0';
    }
    for (int n = 0; n < SCENARIO_COUNT && names[n]; ++n) {
        if (std::strstr(names[n], "NONE"))
            continue;
        LoadScenarioSlot(n, names[n]);
    }
}
