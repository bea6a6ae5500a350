// Command-line programs: their arguments as UTF-8, and a console that shows UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace norvale {

// The program's arguments as UTF-8, argv[0] included. On Windows they are read from the wide
// command line (argv holds them in the ANSI code page, where Japanese item names can be lost),
// and the console is switched to UTF-8 output.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Writes UTF-8 text to the standard output, or to the standard error: as characters to a console
// window, whatever its code page, and as the UTF-8 bytes to a file or a pipe.
void PrintUtf8(std::string_view utf8, bool toError = false);

// When the program runs in a console window of its own, which closes with it (started by a double
// click, or by a file dropped on it), waits for a key so that what it printed stays readable;
// returns at once otherwise.
void KeepOwnConsoleOpen();

}  // namespace norvale
