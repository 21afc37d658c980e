// The platform's start-up and end: SDL's video, events and game controllers, and the
// parts of the platform connected to one another. Each part takes what it needs from
// another through a record of its own, filled here, so that no part includes another
// part's header.
#pragma once

// Connects the parts, then opens SDL's video and event subsystems and the game
// controllers; true on success. false also when SDL found no display and fell back to
// an invisible driver that was not asked for (only SDL_VIDEODRIVER=offscreen or dummy,
// set on purpose, runs without a display).
bool InitWindowSystem();
void QuitWindowSystem();
