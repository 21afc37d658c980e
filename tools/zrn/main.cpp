// zrn: makes, inspects and checks the game's data archives.
#include "command_line.h"

#include "platform/window/message_box.h"

int main(int argc, char** argv) {
    // Archive failures are printed, never shown as boxes.
    SetMessageBoxHeadless(true);
    const ZrnCommandLine line = ParseZrnCommandLine(argc, argv);
    return line.command ? line.command->run(argc - 1, argv + 1) : line.exitCode;
}
