// A file of the input part that asks the window itself instead of through the record
// the platform's start-up fills. The input part does not link the window part, so
// its link check must refuse it, naming the function it calls.
#include "platform/window/window.h"

bool PlantedSidewaysCall() {
    return GetMainWindowHandle() != nullptr;
}
