// The real file system, instance guard and file dialog of the Qt platform, on real
// temporary folders. A write that fails midway is one that runs into the file size limit.
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
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

#include "frontend/qt/QtWindowServices.h"
#include "platform/BulkMemory.h"
#include "platform/qt/QtFileSystem.h"
#include "platform/qt/QtInstanceGuard.h"

namespace norvale {
namespace {

std::string S(const QString& s) { return s.toStdString(); }

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

QByteArray Get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
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
    const QByteArray old = "6758\r\n8306\r\n";
    const QString list = dir.filePath(QStringLiteral("監視銘柄.txt"));
    Put(list, old);
    const QStringList before = Entries(dir.path());
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
    EXPECT_EQ(std::pair(Get(list), Entries(dir.path())), std::pair(old, before));
    QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    EXPECT_FALSE(fs.WriteAll(S(list), "7203\r\n"));
    EXPECT_EQ(std::pair(Get(list), Entries(dir.path())), std::pair(old, before));
    QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_TRUE(fs.WriteAll(S(list), "7203\r\n"));
    EXPECT_EQ(Get(list), QByteArray("7203\r\n"));
}

// A lock file that no process holds is taken whatever it names (a dead process, another machine). A
// live holder ending the next start is SingleInstance's test.
TEST(QtInstanceGuard, OnlyALiveLockEndsTheNewStart) {
    QProcess gone;
    gone.start(QStringLiteral("/bin/true"));
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 dead = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
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

// Runs f on the next modal widget once it shows; should a check fail inside f and leave the box
// open, it is closed a little later, so the test fails instead of waiting for ever.
void WhenModal(std::function<void(QWidget*)> f) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        timer->deleteLater();
        timer->stop();
        f(modal);
        QTimer::singleShot(5000, modal, [modal] { modal->close(); });
    });
    timer->start(10);
}

// Import and export share it: a name that does not exist yet is accepted, an existing one replaced.
TEST(QtFileDialog, OffersTheThreeFiltersAndAcceptsANewName) {
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("新規.txt"));  // does not exist yet
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(std::tuple(d->nameFilters().size(), d->acceptMode(),
                             d->testOption(QFileDialog::DontConfirmOverwrite)),
                  std::tuple(3, QFileDialog::AcceptOpen, true));
        d->selectFile(chosen);
        QMetaObject::invokeMethod(d, "accept");
    });
    const std::string filter = "すべてのファイル (*.*)|*.*|テキスト ファイル (*.txt)|*.txt|バッチ ファイル (*.bat)|*.bat";
    EXPECT_EQ(QtFileDialog(nullptr).ShowOpen(filter), std::optional(S(chosen)));
}

}  // namespace
}  // namespace norvale
