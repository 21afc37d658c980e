// The page's virtual clock, for tests and bug reports: as tavelle-play runs the game,
// every browser frame is one game frame of exactly 1/fps seconds of game time however
// long it took, so that an input script plays the same frames in every run.
#pragma once

// Called before game frame n (from 1 on: frame 0 runs before the first wait).
using VirtualFrameHook = void (*)(long frame);

// Before the game starts: the clock stands at frame 0 from now on, and each wait for
// the next frame moves it on by one frame and then calls beforeFrame.
void StartVirtualClock(int fps, VirtualFrameHook beforeFrame);
