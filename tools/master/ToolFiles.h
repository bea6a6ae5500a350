// The platform's real file system for norvale-master, its program folder the executable's.
#pragma once

#include <functional>

#include "platform/FileSystem.h"

namespace norvale::master {

// Runs run with the file system, once whatever the platform needs for it is set up; gives run's result.
int RunWithFiles(int argc, char** argv, const std::function<int(FileSystem&)>& run);

}  // namespace norvale::master
