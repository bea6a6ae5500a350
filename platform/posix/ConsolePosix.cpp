#include "platform/Console.h"

#include <cstdio>

namespace norvale {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

void PrintUtf8(std::string_view utf8, bool toError) {
    std::FILE* out = toError ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), out);
    std::fflush(out);
}

// A terminal outlives the programs it starts.
void KeepOwnConsoleOpen() {}

}  // namespace norvale
