// The 2D pass of scenario mode over the field scene: pictures, the link highlight,
// the message text with its shadow, the click-wait icon and the pointer.
#pragma once

// Draws only in scenario mode.
void DrawOverlay();
