#include "platform/win32/Win32FileSystem.h"
#include "tools/master/ToolFiles.h"

namespace norvale::master {

int RunWithFiles(int, char**, const std::function<int(FileSystem&)>& run) {
    win32::Win32FileSystem files;
    return run(files);
}

}  // namespace norvale::master
