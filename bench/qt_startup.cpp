// Start-up to the first painted table, each start a process of its own as a trader's is: from
// the start of the process to the end of the table surface's first paint, with a full master
// and a full watch list, beside the same start with both files empty, measured in the same run.
// The same program, given --start FOLDER, is that one start: it builds the window as Norvale's
// main() does, with the two files read from FOLDER, and ends after the first paint, so it can
// also be timed from outside as a whole process; --write-files FOLDER writes FOLDER/full and
// FOLDER/empty for that.
#include <QApplication>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/MainWindowLogic.h"
#include "bench/SampleFiles.h"
#include "bench/Timing.h"
#include "frontend/qt/QtMainWindow.h"
#include "frontend/qt/QtSurface.h"
#include "frontend/qt/QtTicker.h"
#include "frontend/qt/QtWindowServices.h"
#include "platform/PlatformDdeml.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtInstanceGuard.h"

extern char** environ;

namespace norvale {
namespace {

// The program's files from a folder of the benchmark's choosing.
class FolderFiles : public QtFileSystem {
public:
    explicit FolderFiles(std::string folder) : folder_(std::move(folder)) {}
    std::string InProgramFolder(const std::string& name) const override { return folder_ + "/" + name; }

private:
    std::string folder_;
};

double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Ends the program once the table surface has painted: the line it prints is the CPU time of
// the whole process until then.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Runs once the paint, which follows this filter, is done.
            QTimer::singleShot(0, [] {
                std::printf("painted %.3f\n", ProcessCpuMs());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool seen_ = false;
};

// One start, wired as frontend/qt/main.cpp wires it.
int StartOnce(int argc, char** argv, const std::string& folder) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("norvale"));

    QtMainWindow window;
    QtEventPump events;
    QtFileDialog fileDialog(&window);
    QtAlert alert(&window);
    FolderFiles files(folder);
    QtInstanceGuard instance(QString::fromStdString(folder + "/norvale.lock"));
    const std::unique_ptr<Ddeml> ddeml = MakePlatformDdeml();
    MainWindowLogic* logic = nullptr;
    QtTicker loadTicker(1000, [&] { logic->LoadTick(); });
    QtTicker waitTicker(1000, [&] { logic->WaitTick(); });

    Platform platform{window,     window,     window.TableSurface(), loadTicker, waitTicker, events,
                      fileDialog, alert,      files,                 instance,   *ddeml};
    const auto windowLogic = std::make_unique<MainWindowLogic>(platform);
    logic = windowLogic.get();
    window.SetEvents(logic);
    FirstPaint firstPaint;
    window.TableSurface().installEventFilter(&firstPaint);

    if (!logic->StartUp()) return 1;
    window.show();
    window.PlaceWhenFramed([logic] { logic->PlaceOnScreen(); });
    return QApplication::exec();
}

std::string self;    // this program
std::string folder;  // holds full/ and empty/

// Starts this program on one folder; wall time until it printed its first paint, and the CPU
// time it printed. Negative figures when it did not paint.
bench::Took TimeOneStart(const std::string& files) {
    int out[2];
    if (pipe(out) != 0) return {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string startArg = "--start";
    char* args[] = {self.data(), startArg.data(), const_cast<char*>(files.c_str()), nullptr};
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return {-1, -1};
    }
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    const auto t1 = std::chrono::steady_clock::now();
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    double cpuMs = -1;
    if (std::sscanf(line.c_str(), "painted %lf", &cpuMs) != 1) return {-1, -1};
    return {std::chrono::duration<double, std::milli>(t1 - t0).count(), cpuMs};
}

void BM_StartUpToFirstPaint(benchmark::State& state) {
    bench::Figures figures;
    int pair = 0;
    for (auto _ : state) {
        // In turns, so that neither start always follows the other.
        bench::Took full, empty;
        if (pair++ % 2 == 0) {
            full = TimeOneStart(folder + "/full");
            empty = TimeOneStart(folder + "/empty");
        } else {
            empty = TimeOneStart(folder + "/empty");
            full = TimeOneStart(folder + "/full");
        }
        if (full.wallMs < 0 || empty.wallMs < 0) {
            state.SkipWithError("a start did not paint its table");
            return;
        }
        state.SetIterationTime(full.wallMs / 1000);
        figures.Add(full, empty);
    }
    figures.Report(state, "ref_empty");
    // The ratios pair by pair, each full start beside the empty one next to it: a machine whose
    // speed drifts during the run moves both starts of a pair alike.
    std::vector<double> cpuRatios, wallRatios;
    for (std::size_t k = 0; k < figures.cpu.size(); ++k) {
        cpuRatios.push_back(figures.cpu[k] / figures.refCpu[k]);
        wallRatios.push_back(figures.wall[k] / figures.refWall[k]);
    }
    state.counters["ratio"] = bench::Median(cpuRatios);
    state.counters["wall_ratio"] = bench::Median(wallRatios);
}
BENCHMARK(BM_StartUpToFirstPaint)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}


// FOLDER/full with the full files, FOLDER/empty with both files empty.
void WriteStartFolders(const std::string& folder) {
    namespace fs = std::filesystem;
    const bench::SampleFiles& files = bench::FullFiles();
    fs::create_directories(folder + "/full");
    fs::create_directories(folder + "/empty");
    WriteFile(folder + "/full/mei_code.txt", files.master);
    WriteFile(folder + "/full/監視銘柄.txt", files.watch);
    WriteFile(folder + "/empty/mei_code.txt", "");
    WriteFile(folder + "/empty/監視銘柄.txt", "");
}

}  // namespace
}  // namespace norvale

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) return norvale::StartOnce(argc, argv, argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--write-files") == 0) {
        norvale::WriteStartFolders(argv[2]);
        return 0;
    }

    namespace fs = std::filesystem;
    char folder[] = "/tmp/norvale-startup-XXXXXX";
    if (mkdtemp(folder) == nullptr) return 1;
    norvale::folder = folder;
    norvale::self = fs::canonical("/proc/self/exe").string();
    norvale::WriteStartFolders(norvale::folder);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(norvale::folder);
    return 0;
}
