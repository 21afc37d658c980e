// zrn pack: one archive from a directory tree, its UTF-8 file names turned into Shift-JIS
// keys as folder mode turns them. The archive is written beside its
// final name and renamed into place, so a failed pack leaves no partial archive; files
// go in key order and nothing else enters the bytes, so equal trees give equal archives.
#include "zrn_commands.h"

#include "archive/archive.h"
#include "archive/archive_writer.h"

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr const char* COMMAND = "pack";
constexpr std::size_t COPY_CHUNK = 65536;

struct PackFile {
    std::string path;
    ArchiveTableFile tableFile;
    bool converted;                  // packed from bytes, not copied from path
    std::vector<std::uint8_t> bytes; // a UTF-8 text or a PNG as the game reads it
};

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes) {
    std::FILE* in = OpenHostFile(path, "rb");
    if (!in)
        return false;
    std::vector<std::uint8_t> chunk(COPY_CHUNK);
    std::size_t count = 0;
    while ((count = std::fread(chunk.data(), 1, chunk.size(), in)) > 0)
        bytes->insert(bytes->end(), chunk.begin(), chunk.begin() + static_cast<long>(count));
    const bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

// A UTF-8 text or a PNG, packed as what the game reads: the same conversion as folder
// mode's, so the archive plays as the folder does.
bool ConvertPackFile(const FolderFile& file, const std::string& shown, PackFile* packed) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(file.path, &bytes)) {
        PrintError(COMMAND, "cannot read " + shown);
        return false;
    }
    FolderConverted converted;
    if (!ConvertFolderFile(file.conversion, std::move(bytes), &converted)) {
        const std::string line = converted.line > 0 ? ":" + std::to_string(converted.line) : "";
        PrintError(COMMAND, shown + line + ": " + converted.problem);
        return false;
    }
    if (converted.changed)
        std::printf("%s: packed as %s\n", shown.c_str(),
                    file.conversion == FOLDER_PNG ? "a bitmap under its .bmp name"
                                                  : "Shift-JIS (CP932) text");
    packed->converted = true;
    packed->bytes = std::move(converted.bytes);
    packed->tableFile.size = static_cast<std::uint32_t>(packed->bytes.size());
    return true;
}

// Every file below root that the game's folder mode would serve, in the order it
// serves them; the archive being written is left out when it lies inside the tree. A
// file that folder mode would not serve (a link out of the folder or to a folder, a
// name that cannot be a key, a file too large) stops the pack, rather than packing
// what the folder does not play.
bool CollectFiles(const std::string& root, const std::string& out,
                  const std::vector<std::string>& leaveOut, std::vector<PackFile>* files) {
    std::vector<FolderFile> listed;
    std::string realRoot;
    if (!ListGameFolder(root, &listed, &realRoot)) {
        PrintError(COMMAND, "cannot read " + root);
        return false;
    }
    for (const FolderFile& file : listed) {
        const std::string shown = JoinHostPath(root, file.relative);
        switch (file.problem) {
        case FOLDER_FILE_SERVED:
        case FOLDER_FILE_KEY_TOO_LONG: // the table's builder names it with its key
            break;
        case FOLDER_FILE_LINK_OUT:
            PrintError(COMMAND, shown + ": a symbolic link out of the folder or to a folder, "
                                        "which the game's folder mode does not follow either");
            return false;
        case FOLDER_FILE_NO_KEY:
            PrintError(COMMAND, shown + ": its name is not UTF-8 with a Shift-JIS (CP932) "
                                        "form, so it cannot be an archive key");
            return false;
        case FOLDER_FILE_UNREADABLE:
            PrintError(COMMAND, "cannot read " + shown);
            return false;
        case FOLDER_FILE_TOO_LARGE:
            PrintError(COMMAND, shown + ": too large for an archive (" + std::to_string(file.size) +
                                    " bytes)");
            return false;
        case FOLDER_FILE_PNG_BESIDE_BITMAP:
            PrintError(COMMAND, shown + ": a bitmap of the same name is there too, and only "
                                        "one of them can be its key; remove the other");
            return false;
        }
        const auto same = [&](const std::string& other) {
            return IsSameHostFile(file.path, other);
        };
        if (same(out) || std::any_of(leaveOut.begin(), leaveOut.end(), same))
            continue;
        PackFile packed{file.path, {file.key, static_cast<std::uint32_t>(file.size)}, false, {}};
        if (file.conversion != FOLDER_AS_IS && !ConvertPackFile(file, shown, &packed))
            return false;
        files->push_back(std::move(packed));
    }
    return true;
}

bool WriteAll(std::FILE* out, const std::vector<std::uint8_t>& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
}

// Streams one file's encoded bytes; it must still have the size the table promised.
bool CopyEncoded(const PackFile& file, std::FILE* out) {
    if (file.converted) {
        std::vector<std::uint8_t> stored;
        EncodeArchiveBytes(file.bytes.data(), file.bytes.size(), &stored);
        return WriteAll(out, stored);
    }
    std::FILE* in = OpenHostFile(file.path, "rb");
    if (!in) {
        PrintError(COMMAND, "cannot open " + file.path + ": " + std::strerror(errno));
        return false;
    }
    std::vector<std::uint8_t> chunk(COPY_CHUNK);
    std::vector<std::uint8_t> stored;
    std::uint64_t total = 0;
    bool ok = true;
    while (ok) {
        const std::size_t count = std::fread(chunk.data(), 1, chunk.size(), in);
        if (count == 0)
            break;
        total += count;
        stored.clear();
        EncodeArchiveBytes(chunk.data(), count, &stored);
        ok = total <= file.tableFile.size && WriteAll(out, stored);
    }
    ok = ok && !std::ferror(in) && total == file.tableFile.size;
    std::fclose(in);
    if (!ok)
        PrintError(COMMAND, file.path + ": changed or unreadable while packing");
    return ok;
}

bool WriteArchive(const std::vector<PackFile>& files, const std::vector<std::uint8_t>& table,
                  const std::string& outPath) {
    std::string tempPath, reason;
    std::FILE* out = CreateHostFileBeside(outPath, &tempPath, &reason);
    if (!out) {
        PrintError(COMMAND, "cannot create a file beside " + outPath + ": " + reason);
        return false;
    }
    bool ok = WriteAll(out, table);
    for (std::size_t i = 0; ok && i < files.size(); ++i)
        ok = CopyEncoded(files[i], out);
    ok = CloseHostFileToDisk(out, &reason) && ok;
    if (ok && !RenameHostFile(tempPath, outPath, &reason)) {
        PrintError(COMMAND, "cannot write " + outPath + ": " + reason);
        ok = false;
    } else if (!ok) {
        PrintError(COMMAND, "writing " + outPath + " failed; nothing was written");
    }
    if (!ok)
        RemoveHostFile(tempPath);
    return ok;
}

} // namespace

bool ParsePackArguments(int argc, char** argv, std::string* out, std::string* root) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--root" && i + 1 < argc)
            *root = argv[++i];
        else if (argument.rfind("--root=", 0) == 0)
            *root = argument.substr(7);
        else if (out->empty() && argument.rfind("-", 0) != 0)
            *out = argument;
        else
            return false;
    }
    return !out->empty() && !root->empty();
}

bool PackTree(const std::string& root, const std::string& outPath,
              const std::vector<std::string>& leaveOut) {
    std::vector<PackFile> files;
    if (!CollectFiles(root, outPath, leaveOut, &files))
        return false;
    std::vector<ArchiveTableFile> tableFiles;
    for (const PackFile& file : files)
        tableFiles.push_back(file.tableFile);
    std::vector<std::uint8_t> table;
    std::vector<std::uint32_t> offsets;
    std::string message;
    if (!BuildArchiveTable(tableFiles, &table, &offsets, &message)) {
        PrintError(COMMAND, message);
        return false;
    }
    if (!WriteArchive(files, table, outPath))
        return false;
    std::printf("%s: %zu files\n", outPath.c_str(), files.size());
    return true;
}

int RunPackCommand(int argc, char** argv) {
    // zrn pack GAME_DIR OUT_DIR: the game as it is handed out.
    if (argc == 3 && argv[1][0] != '-' && std::string(argv[2]).rfind("--root", 0) != 0)
        return PackGame(argv[1], argv[2]);
    std::string outPath, root;
    if (!ParsePackArguments(argc, argv, &outPath, &root))
        return ReportUsageError(argv[0]);
    if (GetHostEntryKind(root) != HOST_FOLDER) {
        PrintError(COMMAND, root + ": not a directory");
        return EXIT_PROBLEM;
    }
    return PackTree(root, outPath, {}) ? 0 : EXIT_PROBLEM;
}
