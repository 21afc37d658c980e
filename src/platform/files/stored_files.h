// The files the game keeps for the player (saves, settings): where they live, and
// writing that never leaves a half-written file in place of a good one. All of the
// game's own file writes go through here, so another kind of storage can back them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Larger files are not ours: a read refuses them instead of allocating their size.
constexpr std::size_t STORED_FILE_MAX_BYTES = 4u << 20;

// "$XDG_DATA_HOME/tavelle", else "~/.local/share/tavelle".
std::string UserDataFolder();
// "$XDG_CONFIG_HOME/tavelle", else "~/.config/tavelle".
std::string UserConfigFolder();

// The whole file. false, with why in *error, when it is missing, unreadable or larger
// than STORED_FILE_MAX_BYTES; *missing tells the first case apart when given (also when
// a part of its folder is not a folder).
bool ReadStoredFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error,
                    bool* missing = nullptr);

// Makes the file's folder, writes "path.tmp", flushes it to the disk and renames it over
// path. With keepBackup the file it replaces stays as "path.bak". false, with why in
// *error, when anything fails: path is then left as it was.
// When the file was last written, in nanoseconds of the file system's clock; false
// when it is missing.
bool GetStoredFileTime(const std::string& path, std::int64_t* nanoseconds);

bool WriteStoredFile(const std::string& path, const void* data, std::size_t size, bool keepBackup,
                     std::string* error);
