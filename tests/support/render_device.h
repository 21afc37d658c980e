// The game's window and device, its render states and targets, both effects and the
// buffer of the full-screen quads, made once per program for the tests and benchmarks
// that draw without running the game's loading.
#pragma once

// false when any part cannot be made (no OpenGL 3.3 here, say); later calls give the
// first call's answer. With `captureFrames`, each Present's frame can be read back.
bool OpenRenderDevice(const char* title, bool captureFrames);
