// Paces the main loop. Text speed, fades and spins count frames and were written for
// 60 Hz displays, so frames never come faster than the cap, vsync or not.
#pragma once

// Frames per second at most; 0 leaves the loop unpaced but for a 1 ms pause per frame.
void SetFrameRateCap(int fps);
// Called after each frame: waits until the next frame is due. Frames late by a few
// periods are made up without waiting; a loop that fell further behind (a minimised
// window, a long stall) starts counting afresh rather than racing to catch up.
void WaitForNextFrame();
