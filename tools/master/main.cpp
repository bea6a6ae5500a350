// norvale-master: makes Norvale's brand master, mei_code.txt, from the exchange's list of listed issues
// saved as CSV. On Windows the list can be dropped on norvale-master.exe.
#include "NorvaleVersion.h"
#include "platform/Console.h"
#include "tools/master/MasterTool.h"
#include "tools/master/ToolFiles.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args = norvale::Utf8Arguments(argc, argv);
    if (args.size() == 2 && args[1] == "--version") {
        norvale::PrintUtf8("norvale-master " NORVALE_VERSION "\n", false);
        return 0;
    }
    return norvale::master::RunWithFiles(argc, argv, [&args](norvale::FileSystem& files) {
        const norvale::master::ToolOutcome outcome = norvale::master::RunMasterTool(files, args);
        norvale::PrintUtf8(outcome.text, outcome.exitCode != 0);
        norvale::KeepOwnConsoleOpen();
        return outcome.exitCode;
    });
}
