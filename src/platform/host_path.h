// Loose files are named with backslashes (".\CG\NowLoading.bmp") and were made on a
// file system that ignores case; the host uses "/" and keeps case.
#pragma once

#include <string>

// The game's path with "/" separators, each component matched to what is on disk:
// the exact name when it exists, else the first name in sorted order that differs
// only in ASCII case. A component with no match stays as written, so a missing
// file is still reported missing by whoever opens it.
std::string ToHostPath(const char* path);
