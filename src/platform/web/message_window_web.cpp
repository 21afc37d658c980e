// The message box as a dialog on the page. The game waits for its OK while the
// browser goes on running the page.
#include "platform/window/message_window.h"

#include <emscripten.h>

// clang-format off
EM_ASYNC_JS(int, ShowPageDialog, (const char* caption, const char* text), {
    const show = Module['tavelleShowMessage'];
    if (!show) return 0;
    await show(UTF8ToString(caption), UTF8ToString(text));
    return 1;
});
// clang-format on

bool ShowMessageWindow(const char* caption, const char* text, void*) {
    return ShowPageDialog(caption, text) != 0;
}
