// Starts the stand-in quote server for a test on the private session bus, and ends it.
#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

#include "platform/TextCodec.h"

namespace norvale {

// The server on a brand master of its own (UTF-8 lines, written as CP932), started with args, once it
// owns its bus name (the running test fails when it does not). Killed when destroyed.
class QuoteServerProcess {
public:
    QuoteServerProcess(const std::string& master, const QStringList& args) {
        QFile file(dir_.filePath(QStringLiteral("mei_code.txt")));
        const QByteArray bytes = QByteArray::fromStdString(Utf8ToCp932(master));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) ADD_FAILURE() << "no master";
        file.close();
        process_.start(QStringLiteral(NORVALE_QUOTE_SERVER), QStringList{"--master", file.fileName()} + args);
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
    QTemporaryDir dir_;
    QProcess process_;
};

}  // namespace norvale
