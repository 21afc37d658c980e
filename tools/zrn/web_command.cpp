// zrn web: a static web site that plays a game in the browser. The site holds the web
// player (its page, program and font), the game's files below game/, and the list of
// those files that the page fetches with its progress bar.
#include "web_command.h"

#include "zrn_commands.h"

#include "archive/folder_convert.h"

#include "platform/files/host_files.h"
#include "platform/files/host_folders.h"

#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* COMMAND = "web";
// The player's files as the web build leaves them; index.html is written from its own.
const char* const PLAYER_FILES[] = {"tavelle.js", "tavelle.wasm", "tavelle-page.js",
                                    "tavelle-page.css", "font/gothic.ttf"};
constexpr const char* PAGE_TEMPLATE = "index.html";

struct WebArguments {
    std::string gameDir;
    std::string outDir;
    std::string title;
    std::string playerDir;
};

bool IsHostFile(const std::string& path) {
    return GetHostEntryKind(path) == HOST_FILE;
}

bool HasPlayer(const std::string& dir) {
    return std::all_of(std::begin(PLAYER_FILES), std::end(PLAYER_FILES),
                       [&](const char* f) { return IsHostFile(JoinHostPath(dir, f)); }) &&
           IsHostFile(JoinHostPath(dir, PAGE_TEMPLATE));
}

// --player DIR, else TAVELLE_WEB_PLAYER, else the installed player (share/tavelle/web
// beside bin/), else the web build's beside a build tree (build-web/player/web).
std::string FindPlayer(const std::string& given) {
    std::vector<std::string> candidates;
    if (!given.empty())
        return HasPlayer(given) ? given : "";
    if (const std::string env = HostEnvironment("TAVELLE_WEB_PLAYER"); !env.empty())
        candidates.push_back(env);
    // The player lies beside zrn itself when installed.
    const std::string self = HostProgramPath();
    if (!self.empty()) {
        const std::string prefix = HostParentFolder(HostParentFolder(self));
        candidates.push_back(JoinHostPath(prefix, "share/tavelle/web"));
        candidates.push_back(JoinHostPath(prefix, "build-web/player/web"));
    }
    for (const std::string& dir : candidates) {
        if (HasPlayer(dir))
            return dir;
    }
    return "";
}

bool ParseArguments(int argc, char** argv, WebArguments* args) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if ((arg == "--title" || arg == "--player") && i + 1 < argc) {
            (arg == "--title" ? args->title : args->playerDir) = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2)
        return false;
    args->gameDir = positional[0];
    args->outDir = positional[1];
    return true;
}

std::string EscapeHtml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string EscapeJson(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool WriteText(const std::string& path, const std::string& text) {
    return WriteHostFile(path, text.data(), text.size());
}

struct GameFile {
    std::string path;   // relative, with '/'
    std::string source; // where it is read from: a link's target inside the folder
    std::uint64_t size;
};

// Every regular file below the game folder, in name order. Links are followed only
// inside the folder, as the game's folder mode does.
bool CollectGameFiles(const std::string& root, std::vector<GameFile>* files) {
    std::vector<HostFolderFile> listed;
    std::vector<std::string> refusedLinks;
    std::string realRoot;
    if (!ListHostFolder(root, &listed, &refusedLinks, &realRoot)) {
        const std::string problem = HostFolderProblem(root);
        PrintError(COMMAND, "cannot read " + root + (problem.empty() ? "" : ": " + problem));
        return false;
    }
    for (const HostFolderFile& file : listed) {
        std::uint64_t size = 0;
        if (GetHostFileSize(file.path, &size))
            files->push_back({file.relative, file.path, size});
    }
    return true;
}

// A packed game has its archive at the top; anything else plays as an unpacked folder.
bool IsPackedGame(const std::vector<GameFile>& files) {
    return std::any_of(files.begin(), files.end(), [](const GameFile& f) {
        return strcasecmp(f.path.c_str(), "zrn.dat") == 0;
    });
}

bool CopyInto(const std::string& from, const std::string& to) {
    std::string reason;
    if (MakeHostFolders(HostParentFolder(to), &reason) && CopyHostFile(from, to, &reason))
        return true;
    PrintError(COMMAND, "cannot write " + to + ": " + reason);
    return false;
}

std::string Manifest(const std::string& title, bool unpacked, std::uint64_t fontSize,
                     const std::vector<GameFile>& files) {
    std::string json = "{\n  \"title\": \"" + EscapeJson(title) + "\",\n";
    json += std::string("  \"unpacked\": ") + (unpacked ? "true" : "false") + ",\n";
    json += "  \"font\": \"font/gothic.ttf\",\n  \"fontSize\": " + std::to_string(fontSize) + ",\n";
    json += "  \"files\": [";
    for (std::size_t i = 0; i < files.size(); i++) {
        json += i ? ",\n    " : "\n    ";
        json += "{\"path\": \"" + EscapeJson(files[i].path) +
                "\", \"size\": " + std::to_string(files[i].size) + "}";
    }
    json += "\n  ]\n}\n";
    return json;
}

} // namespace

int RunWebCommand(int argc, char** argv) {
    WebArguments args;
    if (!ParseArguments(argc, argv, &args))
        return ReportUsageError(COMMAND);
    const std::string player = FindPlayer(args.playerDir);
    if (player.empty()) {
        PrintError(COMMAND, "the web player was not found: build it with scripts/web.sh, or "
                            "name its folder with --player DIR");
        return EXIT_PROBLEM;
    }
    std::vector<GameFile> files;
    if (!CollectGameFiles(args.gameDir, &files))
        return EXIT_PROBLEM;
    if (files.empty()) {
        PrintError(COMMAND, args.gameDir + " holds no files");
        return EXIT_PROBLEM;
    }
    const std::string& out = args.outDir;
    const std::string gameOut = JoinHostPath(out, "game");
    // The files of a game published here before go; a failure shows in the copies below.
    std::string reason;
    RemoveHostTree(gameOut, &reason);
    for (const char* file : PLAYER_FILES) {
        if (!CopyInto(JoinHostPath(player, file), JoinHostPath(out, file)))
            return EXIT_PROBLEM;
    }
    const bool unpacked = !IsPackedGame(files);
    for (const GameFile& file : files) {
        if (!CopyInto(file.source, JoinHostPath(gameOut, file.path)))
            return EXIT_PROBLEM;
        std::string key = file.path;
        if (unpacked && FolderConversionOfKey(&key) == FOLDER_PNG)
            PrintError(COMMAND, file.path + ": the web player reads no PNG files, so this "
                                            "picture will not load; publish the game packed "
                                            "by zrn pack GAME_DIR OUT_DIR, which converts it");
    }
    // Without --title the page is named after the game's folder.
    std::string named = HostAbsolutePath(args.gameDir);
    if (HostFileName(named).empty())
        named = HostParentFolder(named);
    const std::string title = args.title.empty() ? HostFileName(named) : args.title;
    std::string page;
    if (!ReadFileBytes(JoinHostPath(player, PAGE_TEMPLATE), &page)) {
        PrintError(COMMAND, "cannot read the player's page");
        return EXIT_PROBLEM;
    }
    for (std::size_t at; (at = page.find("@TITLE@")) != std::string::npos;)
        page.replace(at, 7, EscapeHtml(title));
    std::uint64_t fontSize = 0;
    GetHostFileSize(JoinHostPath(out, "font/gothic.ttf"), &fontSize);
    if (!WriteText(JoinHostPath(out, PAGE_TEMPLATE), page) ||
        !WriteText(JoinHostPath(out, "tavelle-game.json"),
                   Manifest(title, unpacked, fontSize, files))) {
        PrintError(COMMAND, "cannot write the page into " + out);
        return EXIT_PROBLEM;
    }
    std::printf("%s: %zu game files; serve the folder over HTTP and open index.html\n", out.c_str(),
                files.size());
    return 0;
}
