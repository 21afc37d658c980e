// zrn's command line from outside: the input is the arguments after "zrn", separated
// by NUL bytes. The choice of command and pack's argument parser run; no command does.
#include "command_line.h"
#include "zrn_commands.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t MAX_ARGUMENTS = 16;

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments = {"zrn"};
    const char* text = reinterpret_cast<const char*>(data);
    for (std::size_t start = 0; start < size && arguments.size() <= MAX_ARGUMENTS;) {
        const std::size_t end = std::find(text + start, text + size, '\0') - text;
        arguments.emplace_back(text + start, end - start);
        start = end + 1;
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(arguments.size());

    const ZrnCommandLine line = ParseZrnCommandLine(argc, argv.data());
    if (!line.command) {
        if (line.exitCode != 0 && line.exitCode != EXIT_USAGE)
            std::abort();
        return 0;
    }
    if (argc < 2 || arguments[1] != line.command->name)
        std::abort();
    for (int i = 2; i < argc; ++i) {
        if (IsHelp(arguments[i]))
            std::abort();
    }
    if (arguments[1] == "pack") {
        std::string out, root;
        if (ParsePackArguments(argc - 1, argv.data() + 1, &out, &root) &&
            (out.empty() || out[0] == '-' || root.empty()))
            std::abort();
    }
    return 0;
}
