// Starts the stand-in quote server for a test on the private session bus, and ends it.
#pragma once

#include <QProcess>
#include <QStringList>

#include <string>

namespace norvale {

// The server, started with args; ready once it owns its bus name. Killed when destroyed.
class QuoteServerProcess {
public:
    explicit QuoteServerProcess(const QStringList& args) {
        process_.start(QStringLiteral(NORVALE_QUOTE_SERVER), args);
        // It prints "ready <bus name>" once the name is its own.
        while (!ready_ && process_.waitForReadyRead(10000))
            ready_ = (output_ += process_.readAllStandardOutput()).contains("ready ");
    }
    ~QuoteServerProcess() { Kill(); }

    bool Ready() const { return ready_; }
    std::string Errors() { return process_.readAllStandardError().toStdString(); }
    // Ends it at once, as a crash would; nothing is said on the bus beforehand.
    void Kill() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(10000);
    }
    // Waits for a server that ends by itself (--exit-after).
    bool WaitForExit() { return process_.waitForFinished(10000); }

private:
    QProcess process_;
    QByteArray output_;
    bool ready_ = false;
};

}  // namespace norvale
