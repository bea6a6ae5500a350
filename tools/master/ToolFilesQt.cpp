#include <QCoreApplication>

#include "platform/qt/QtFileSystem.h"
#include "tools/master/ToolFiles.h"

namespace norvale::master {

int RunWithFiles(int argc, char** argv, const std::function<int(FileSystem&)>& run) {
    QCoreApplication app(argc, argv);  // the program folder comes from it
    QtFileSystem files;
    return run(files);
}

}  // namespace norvale::master
