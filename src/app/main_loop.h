// The process's frame function.
#pragma once

// One frame: sample the time, read input, clear, begin the scene, run the frame
// state, end the scene, present. 1 after a normal frame, 0 after the bad-state message.
int RunFrame();
