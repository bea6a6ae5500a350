// norvale-master as a whole, apart from its platform: the arguments, the list read, the master written,
// and the lines that tell the trader what happened.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace norvale::master {

// More than this is no list of listed issues (a real one is well under 1 MiB); nothing more is read.
inline constexpr std::size_t kMaxListBytes = std::size_t{8} << 20;

struct ToolOutcome {
    int exitCode = 0;  // 0 written, 1 nothing written, 2 a usage error
    std::string text;  // the lines to show, each ended by "\n"; on the standard error unless exitCode is 0
};

// norvale-master LIST [--output FILE], args as UTF-8 with the program's name first: reads the list and
// writes the master to FILE, by default mei_code.txt in the program's folder, whole or not at all.
[[nodiscard]] ToolOutcome RunMasterTool(FileSystem& files, const std::vector<std::string>& args);

}  // namespace norvale::master
