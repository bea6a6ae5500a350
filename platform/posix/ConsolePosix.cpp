#include "platform/Console.h"

namespace norvale {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

// A terminal outlives the programs it starts.
void KeepOwnConsoleOpen() {}

}  // namespace norvale
