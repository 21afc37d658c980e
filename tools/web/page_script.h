// The page's input script: tavelle-play's input file, played on the virtual clock, with
// the frames the page asked for copied to it as they are presented.
#pragma once

// Before the game starts. With drawShotsOnly, only the frames wanted are rasterised
// (as tavelle-play's --draw shots), so that a long script runs at the browser's frame
// rate. Returns an empty string, or why the script was refused (its bad line) when it
// starts nothing.
extern "C" const char* TavelleStartScript(const char* text, int drawShotsOnly);
// The game frame copied to the page's tavelleShot(frame, rgba, width, height) once
// presented (rgba null when the frame presented nothing).
extern "C" void TavelleWantShot(long frame);
