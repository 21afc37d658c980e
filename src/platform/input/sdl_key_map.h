// SDL scancodes to DirectInput key codes (0 where the key has none).
#pragma once

int DirectInputKeyFromScancode(int sdlScancode);

// Fills a 256-byte DirectInput key state (0x80 = down) from SDL's keyboard state.
void FillDirectInputKeyState(const unsigned char* sdlKeys, int sdlKeyCount, unsigned char out[256]);
