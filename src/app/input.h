// Mouse and keyboard: reading the devices once per frame, and the per-frame latch
// that turns them into buttons, the click latch, the pointer quad and the pick.
#pragma once

#include "core/input_state.h"

bool InitKeyboard();
bool InitMouse();
void ReadInputDevices();
void ResetInputState();
void LatchInput();
void ReleaseInput();
