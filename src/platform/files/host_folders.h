// Making, copying, replacing and removing files and folders on the host, and the plain
// path arithmetic that goes with them, for the author tool. Paths are the host's, "/"
// between the parts; a failure comes back false with the system's reason in *reason.
#pragma once

#include <cstdio>
#include <string>

// folder and name with one "/" between them; name alone when folder is empty.
std::string JoinHostPath(const std::string& folder, const std::string& name);
// The path without its last part ("" when it has only one).
std::string HostParentFolder(const std::string& path);
// The last part of the path.
std::string HostFileName(const std::string& path);
// The path from the root, "." and ".." folded away; links are not followed.
std::string HostAbsolutePath(const std::string& path);
// The path with every link resolved, as far as it exists; the rest is kept as written.
std::string HostResolvedPath(const std::string& path);

// True when path is itself a symbolic link (whatever it leads to).
bool IsHostLink(const std::string& path);
// True when both name the very same existing file.
bool IsSameHostFile(const std::string& a, const std::string& b);
// True when path is a folder with nothing in it.
bool IsEmptyHostFolder(const std::string& path);

// The folder and every missing folder above it.
bool MakeHostFolders(const std::string& path, std::string* reason);
// Copies the file whole over to, which is made or replaced.
bool CopyHostFile(const std::string& from, const std::string& to, std::string* reason);
// The file or folder and everything below it; nothing there is no failure.
bool RemoveHostTree(const std::string& path, std::string* reason);

// A new, empty file beside path (path's name with a unique ending), open for writing
// with the usual mode of new files; its name goes to *tempPath.
std::FILE* CreateHostFileBeside(const std::string& path, std::string* tempPath,
                                std::string* reason);
// Flushes the file to the disk and closes it, also when that fails.
bool CloseHostFileToDisk(std::FILE* file, std::string* reason);
// Moves from over to, replacing it at once.
bool RenameHostFile(const std::string& from, const std::string& to, std::string* reason);
bool RemoveHostFile(const std::string& path);
// Gives the file from a second name, to, which must not exist yet: nothing is ever
// replaced. *taken says whether to was already in use when it fails.
bool LinkHostFileAsNew(const std::string& from, const std::string& to, bool* taken,
                       std::string* reason);
