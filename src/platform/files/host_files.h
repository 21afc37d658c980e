// The one way from the game and its tools to the host's file system. Loose files are
// named with backslashes (".\CG\NowLoading.bmp") and were made on a file system that
// ignores case; the host uses "/" and keeps case. Game folders are walked in one fixed
// order and never left through a symbolic link. Everything above the platform reaches
// files only through here (forbidden_calls.h makes the raw calls compile errors there).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The game's path with "/" separators, each component matched to what is on disk:
// the exact name when it exists, else the first name in byte order that differs
// only in ASCII case. A component with no match stays as written, so a missing
// file is still reported missing by whoever opens it.
std::string ToHostPath(const char* path);

enum HostEntryKind { HOST_NOTHING, HOST_FILE, HOST_FOLDER, HOST_OTHER };

// What path names, following symbolic links.
HostEntryKind GetHostEntryKind(const std::string& path);
bool GetHostFileSize(const std::string& path, std::uint64_t* size);

// Why dir cannot be used as a folder to read ("" when it can): missing, not a
// folder, or not readable.
std::string HostFolderProblem(const std::string& dir);
bool EnterHostFolder(const std::string& dir, std::string* reason);
// The running program's own file, "" when the host does not tell.
std::string HostProgramPath();
// An environment variable, "" when it is unset.
std::string HostEnvironment(const char* name);
// The folder the program runs in; empty when it cannot be told.
std::string HostCurrentFolder();
// Sets an environment variable for this process and the libraries it starts.
void SetHostEnvironment(const char* name, const char* value);

std::FILE* OpenHostFile(const std::string& path, const char* mode);
// A read-only handle on a regular file and its size, or -1 (errno tells why). Read,
// seek and close it with the usual descriptor calls.
int OpenHostFileHandle(const std::string& path, std::uint64_t* size);
// The whole of a regular file; false (errno tells why) when it cannot be read or holds
// more than maxBytes (refused before anything is allocated).
bool ReadHostFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>* bytes);
// Writes the file whole, made or replaced in place; false (errno tells why) on failure.
bool WriteHostFile(const std::string& path, const void* data, std::size_t size);

// A file below a walked folder: its path to open (a link's target inside the folder)
// and its name relative to the folder, "/" between the parts, as written on disk.
struct HostFolderFile {
    std::string path;
    std::string relative;
    bool linked; // reached through a symbolic link
};

// Every regular file below root, in byte order of the relative names, links followed
// only to regular files inside the folder. A link that leads out of the folder or to
// a folder is listed in refusedLinks (relative names) instead. *realRoot receives the
// folder's own path with links resolved. false when the folder cannot be read.
bool ListHostFolder(const std::string& root, std::vector<HostFolderFile>* files,
                    std::vector<std::string>* refusedLinks, std::string* realRoot);
// Reads exactly size bytes of path, which must still be a regular file inside
// realRoot of that very size (the folder may have changed since it was walked).
bool ReadHostFileInside(const std::string& realRoot, const std::string& path, std::uint8_t* out,
                        std::size_t size);
