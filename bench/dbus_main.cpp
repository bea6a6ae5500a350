// The D-Bus benchmarks run against one stand-in quote server started here. Run them inside a
// session bus: dbus-run-session -- norvale_bench_dbus
#include <QCoreApplication>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QProcess server;
    server.start(QStringLiteral(NORVALE_QUOTE_SERVER), {QStringLiteral("--speed"), QStringLiteral("0")});
    if (!server.waitForReadyRead(10000) || !server.readAllStandardOutput().startsWith("ready")) {
        std::fprintf(stderr, "the quote server did not start; run this inside a session bus\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    server.kill();
    server.waitForFinished(10000);
    return 0;
}
