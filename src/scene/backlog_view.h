// The backlog drawn over the scene: a darkened frame, the page read, and where it
// stands among the pages kept.
#pragma once

void DrawBacklog();
