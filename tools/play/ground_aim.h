// Aiming a click at a point on the ground of the field, through the game's own camera.
#pragma once

// The pointer position at which the field's pick lands nearest the ground point
// (x, 0, z), with the transforms the device holds now. False, leaving the pointer
// alone, when the point is not in front of the camera or its pointer would be off
// the screen.
bool AimAtGroundPoint(double x, double z, int* pointerX, int* pointerY);
