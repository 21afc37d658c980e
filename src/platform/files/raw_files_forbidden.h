// Put before every source of the game's folders and tools by the build: the host's own
// file, folder and environment calls become compile errors there, so every such access
// goes through platform/files/host_files.h, which finds names whatever their case and
// walks game folders in one order. The headers that declare them come first, so that
// only code written after this point is refused.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iosfwd>
#include <locale>

#pragma GCC poison fopen freopen fdopen tmpfile open openat creat stat lstat fstat
#pragma GCC poison opendir fdopendir readdir scandir chdir fchdir getcwd readlink realpath access
#pragma GCC poison mkdir rmdir unlink rename mkstemp getenv secure_getenv setenv putenv
#pragma GCC poison ifstream ofstream fstream filesystem popen system
