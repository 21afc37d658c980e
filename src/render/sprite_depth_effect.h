// The effect that writes a character sprite's depth in the fog's depth pass. Sprites
// are screen quads that no mesh technique can draw, so this pass takes them as they
// are: it reads the sprite sheet to leave the transparent texels out, and turns the
// window depth the quad carries back into view-space depth.
//
// Parameters: SpriteTex (the sheet), IntScale (as the fog's), DepthProjection
// (x = projection row 2 column 2, y = projection row 3 column 2).
#pragma once

struct GfxEffect;

// Compiled on the first call and kept for the run; null when the device cannot
// compile it (the sprites then leave no depth for the fog).
GfxEffect* GetSpriteDepthEffect();
