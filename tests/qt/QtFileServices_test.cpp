// The real file system, instance guard and file dialog of the Qt platform, on real temporary folders.
// A write that fails midway is one that runs into the file size limit.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <tuple>

#include "platform/BulkMemory.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtInstanceGuard.h"
#include "tests/qt/QtHarness.h"

namespace norvale {
namespace {

std::string S(const QString& s) { return s.toStdString(); }

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// The bytes of a file and the names in its folder.
std::pair<QByteArray, QStringList> Get(const QString& path) {
    QFile f(path);
    return {f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"),
            QFileInfo(path).dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)};
}

// Whole files are written and read back, up to a limit; a missing file, a folder and a FIFO that
// nobody writes (opening it must not wait for a writer) are not read at all.
TEST(QtFileSystem, ReadsOnlyRegularFilesAndOnlySoMuch) {
    QTemporaryDir dir;
    QtFileSystem fs;
    const QString path = dir.filePath(QStringLiteral("監視銘柄.txt"));
    // The large one goes into the bulk memory's huge pages.
    const auto read = [&](const std::string& file, std::size_t limit) {
        const std::optional<std::pmr::string> bytes = fs.ReadAll(file, limit, BulkMemory());
        return bytes ? std::optional<std::string>(std::string_view(*bytes)) : std::nullopt;
    };
    for (const std::string& bytes : {std::string("7203\r\n\x83\x5C\r\n"), std::string(3 << 20, '7')}) {
        ASSERT_TRUE(fs.WriteAll(S(path), bytes));
        EXPECT_EQ(read(S(path), (2 << 20) + 1), bytes.substr(0, (2 << 20) + 1));
    }
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    for (const char* name : {"missing", ".", "fifo"}) {
        const std::string path = S(dir.filePath(QString::fromLatin1(name)));
        const bool pieces = fs.ReadPieces(path, 1 << 20, [](auto) { return true; });
        EXPECT_EQ(std::pair(read(path, 1 << 20), pieces), std::pair(std::optional<std::string>(), false)) << name;
    }
}

// Whatever stops a write (a missing folder, a full disk, a read-only file) leaves the old file as it
// was and no other file behind; once it is gone, the write goes through.
TEST(QtFileSystem, FailedWritesLeaveWhatWasThere) {
    QTemporaryDir dir;
    QtFileSystem fs;
    const QString list = dir.filePath(QStringLiteral("監視銘柄.txt"));
    Put(list, "6758\r\n8306\r\n");
    const auto before = Get(list);
    EXPECT_FALSE(fs.WriteAll(S(dir.filePath(QStringLiteral("missing/監視銘柄.txt"))), "7203\r\n"));
    {
        // As on a full disk: writes past 64 bytes fail with EFBIG instead of raising SIGXFSZ.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit lowered{64, saved.rlim_max};
        signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &lowered);
        EXPECT_FALSE(fs.WriteAll(S(list), std::string(100000, '7')));
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, SIG_DFL);
    }
    EXPECT_EQ(Get(list), before);
    QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_FALSE(fs.WriteAll(S(list), "7203\r\n"));
    EXPECT_EQ(Get(list), before);
    QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(fs.WriteAll(S(list), "7203\r\n"));
    EXPECT_EQ(Get(list).first, QByteArray("7203\r\n"));
}

// Two real processes: the second start ends at once with status 0. A lock file that no process holds
// is taken whatever it names (a dead process, another machine).
TEST(QtInstanceGuard, OnlyALiveLockEndsTheNewStart) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(env);
        p->setProgram(QStringLiteral(NORVALE_BINARY_DIR "/frontend/qt/norvale"));
    }
    first.start();
    WAIT_UNTIL_MS(QFile::exists(runtime.filePath("norvale.lock")), 10000);
    second.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(std::tuple(second.exitStatus(), second.exitCode(), first.state()),
              std::tuple(QProcess::NormalExit, 0, QProcess::Running));
    const qint64 dead = first.processId();
    first.kill();
    first.waitForFinished(5000);

    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    for (const QByteArray& stale : {QByteArray::number(dead) + "\nnorvale\n" + host + "\n",
                                    QByteArray("1\nnorvale\nelsewhere\n")}) {
        SCOPED_TRACE(stale.toStdString());
        QTemporaryDir dir;
        const QString lock = dir.filePath(QStringLiteral("norvale.lock"));
        Put(lock, stale);
        EXPECT_FALSE(QtInstanceGuard(lock).AnotherInstanceRunning());
    }
}

// Import and export share it: a name that does not exist yet is accepted, an existing one replaced.
TEST(QtFileDialog, OffersTheThreeFiltersAndAcceptsANewName) {
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("新規.txt"));  // does not exist yet
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (d == nullptr || !d->isVisible()) return;
        poll.stop();
        EXPECT_EQ(std::tuple(d->nameFilters().size(), d->acceptMode(), d->testOption(QFileDialog::DontConfirmOverwrite)),
                  std::tuple(3, QFileDialog::AcceptOpen, true));
        d->selectFile(chosen);
        QMetaObject::invokeMethod(d, "accept");
    });
    poll.start(10);
    const std::string filter = "すべてのファイル (*.*)|*.*|テキスト ファイル (*.txt)|*.txt|バッチ ファイル (*.bat)|*.bat";
    EXPECT_EQ(QtFileDialog(nullptr).ShowOpen(filter), std::optional(S(chosen)));
}

}  // namespace
}  // namespace norvale
