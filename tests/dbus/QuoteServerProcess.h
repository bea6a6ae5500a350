// Starts the stand-in quote server for a test on the private session bus, and ends it.
#pragma once

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace norvale {

// The server, started with args, once it owns its bus name (the running test fails when it does not).
// Killed when destroyed.
class QuoteServerProcess {
public:
    explicit QuoteServerProcess(const QStringList& args) {
        process_.start(QStringLiteral(NORVALE_QUOTE_SERVER), args);
        // It prints "ready <bus name>" once the name is its own.
        QByteArray output;
        while (!output.contains("ready ") && process_.waitForReadyRead(10000))
            output += process_.readAllStandardOutput();
        if (!output.contains("ready ")) ADD_FAILURE() << "no quote server: " << process_.readAllStandardError().data();
    }
    ~QuoteServerProcess() { Kill(); }

    // Ends it at once, as a crash would; nothing is said on the bus beforehand.
    void Kill() {
        if (process_.state() == QProcess::NotRunning) return;
        process_.kill();
        process_.waitForFinished(10000);
    }

private:
    QProcess process_;
};

}  // namespace norvale
