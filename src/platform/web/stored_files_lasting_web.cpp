// In the browser the player's files live in memory; the page copies their folders to
// the browser's storage (IndexedDB). A save counts as made only once that copy is
// complete, so a note saying "Saved" never outruns a tab being closed.
#include "platform/files/stored_files_lasting.h"

#include <emscripten.h>

namespace {

bool s_lasting = true;

// clang-format off
EM_ASYNC_JS(int, CopyFilesToBrowserStorage, (), {
    const keep = Module['tavelleKeepFiles'];
    return keep ? ((await keep()) ? 1 : 0) : 0;
});
// clang-format on

} // namespace

void MakeStoredFilesLast(const std::string&) {
    s_lasting = CopyFilesToBrowserStorage() != 0;
}

bool StoredFilesLast() {
    return s_lasting;
}
