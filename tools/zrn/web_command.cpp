// zrn web: a static web site that plays a game in the browser. The site holds the web
// player (its page, program and font), the game's files below game/, and the list of
// those files that the page fetches with its progress bar.
#include "web_command.h"

#include "zrn_commands.h"

#include "archive/folder_convert.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

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

// The folder of zrn itself, through /proc: the player lies beside it when installed.
fs::path ProgramFolder() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self.parent_path();
}

bool HasPlayer(const fs::path& dir) {
    std::error_code error;
    return std::all_of(std::begin(PLAYER_FILES), std::end(PLAYER_FILES),
                       [&](const char* f) { return fs::is_regular_file(dir / f, error); }) &&
           fs::is_regular_file(dir / PAGE_TEMPLATE, error);
}

// --player DIR, else TAVELLE_WEB_PLAYER, else the installed player (share/tavelle/web
// beside bin/), else the web build's beside a build tree (build-web/player/web).
std::string FindPlayer(const std::string& given) {
    std::vector<fs::path> candidates;
    if (!given.empty())
        return HasPlayer(given) ? given : "";
    if (const char* env = std::getenv("TAVELLE_WEB_PLAYER"); env && env[0])
        candidates.push_back(env);
    const fs::path bin = ProgramFolder();
    if (!bin.empty()) {
        candidates.push_back(bin.parent_path() / "share/tavelle/web");
        candidates.push_back(bin.parent_path() / "build-web/player/web");
    }
    for (const fs::path& dir : candidates) {
        if (HasPlayer(dir))
            return dir.string();
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

bool ReadText(const fs::path& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *text = buffer.str();
    return static_cast<bool>(in) || in.eof();
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

struct GameFile {
    std::string path; // relative, with '/'
    std::uintmax_t size;
};

// Every regular file below the game folder, in name order. Links are followed only
// inside the folder, as the game's folder mode does.
bool CollectGameFiles(const fs::path& root, std::vector<GameFile>* files) {
    std::error_code error;
    const fs::path canonicalRoot = fs::canonical(root, error);
    if (error) {
        PrintError(COMMAND, "cannot read " + root.string() + ": " + error.message());
        return false;
    }
    fs::recursive_directory_iterator it(canonicalRoot, error), end;
    for (; !error && it != end; it.increment(error)) {
        const fs::path target = fs::canonical(it->path(), error);
        if (error)
            break;
        const auto [rootEnd, unused] =
            std::mismatch(canonicalRoot.begin(), canonicalRoot.end(), target.begin(), target.end());
        if (rootEnd != canonicalRoot.end() || !fs::is_regular_file(target, error))
            continue;
        const std::string relative =
            fs::relative(it->path(), canonicalRoot, error).generic_string();
        files->push_back({relative, fs::file_size(target, error)});
    }
    if (error) {
        PrintError(COMMAND, "cannot read " + root.string() + ": " + error.message());
        return false;
    }
    std::sort(files->begin(), files->end(),
              [](const GameFile& a, const GameFile& b) { return a.path < b.path; });
    return true;
}

// A packed game has its archive at the top; anything else plays as an unpacked folder.
bool IsPackedGame(const std::vector<GameFile>& files) {
    return std::any_of(files.begin(), files.end(), [](const GameFile& f) {
        return strcasecmp(f.path.c_str(), "zrn.dat") == 0;
    });
}

bool CopyInto(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::create_directories(to.parent_path(), error);
    if (!error)
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    if (error)
        PrintError(COMMAND, "cannot write " + to.string() + ": " + error.message());
    return !error;
}

std::string Manifest(const std::string& title, bool unpacked, std::uintmax_t fontSize,
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
    std::error_code error;
    const fs::path out = args.outDir;
    if (fs::exists(out / "game", error))
        fs::remove_all(out / "game", error);
    for (const char* file : PLAYER_FILES) {
        if (!CopyInto(fs::path(player) / file, out / file))
            return EXIT_PROBLEM;
    }
    const bool unpacked = !IsPackedGame(files);
    for (const GameFile& file : files) {
        if (!CopyInto(fs::path(args.gameDir) / file.path, out / "game" / file.path))
            return EXIT_PROBLEM;
        std::string key = file.path;
        if (unpacked && FolderConversionOfKey(&key) == FOLDER_PNG)
            PrintError(COMMAND, file.path + ": the web player reads no PNG files, so this "
                                            "picture will not load; publish the game packed "
                                            "by zrn pack GAME_DIR OUT_DIR, which converts it");
    }
    // Without --title the page is named after the game's folder.
    fs::path named = fs::absolute(args.gameDir).lexically_normal();
    if (named.filename().empty())
        named = named.parent_path();
    const std::string title = args.title.empty() ? named.filename().string() : args.title;
    std::string page;
    if (!ReadText(fs::path(player) / PAGE_TEMPLATE, &page)) {
        PrintError(COMMAND, "cannot read the player's page");
        return EXIT_PROBLEM;
    }
    for (std::size_t at; (at = page.find("@TITLE@")) != std::string::npos;)
        page.replace(at, 7, EscapeHtml(title));
    const std::uintmax_t fontSize = fs::file_size(out / "font/gothic.ttf", error);
    if (!WriteText(out / PAGE_TEMPLATE, page) ||
        !WriteText(out / "tavelle-game.json", Manifest(title, unpacked, fontSize, files))) {
        PrintError(COMMAND, "cannot write the page into " + out.string());
        return EXIT_PROBLEM;
    }
    std::printf("%s: %zu game files; serve the folder over HTTP and open index.html\n",
                out.string().c_str(), files.size());
    return 0;
}
