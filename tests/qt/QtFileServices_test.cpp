// The real file system, file dialog and message box of the Qt platform, on real temporary
// folders. Tests run as root, which no permission bit stops: a folder that cannot be written
// is a path under a regular file or a folder made immutable, and a write that fails midway
// is one that runs into the file size limit.
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>

#include <QApplication>
#include <QFileInfo>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "platform/qt/QtPlatformServices.h"
#include "watchlist/WatchListFile.h"

namespace norvale {
namespace {

std::string S(const QString& s) { return s.toStdString(); }

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray Get(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// chattr +i for the life of the guard; false when the file system does not support it.
class Immutable {
public:
    explicit Immutable(const QString& path) : path_(path) {
        set_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~Immutable() {
        if (set_) QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
    }
    bool Set() const { return set_; }

private:
    QString path_;
    bool set_ = false;
};

// Writes past limit bytes fail with EFBIG instead of raising SIGXFSZ, for the life of the guard.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        const rlimit lowered{limit, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    sighandler_t oldHandler_ = nullptr;
};

TEST(QtFileSystem, ReadsAndReplacesWholeFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileSystem fs;
    const QString path = dir.filePath(QStringLiteral("監視銘柄.txt"));
    EXPECT_EQ(fs.ReadAll(S(path), 100), std::nullopt);
    EXPECT_EQ(fs.ReadAll(dir.path().toStdString(), 100), std::nullopt);  // a folder is no file

    ASSERT_TRUE(fs.WriteAll(S(path), std::string("7203\r\n\x83\x5C\r\n")));
    EXPECT_EQ(fs.ReadAll(S(path), 100), std::string("7203\r\n\x83\x5C\r\n"));
    ASSERT_TRUE(fs.WriteAll(S(path), ""));
    EXPECT_EQ(fs.ReadAll(S(path), 100), std::string());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("監視銘柄.txt")});
}

TEST(QtFileSystem, ReadsOnlyRegularFilesAndOnlySoMuch) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileSystem fs;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Nobody writes the FIFO: opening it to read must not wait for a writer.
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        const QString link = dir.filePath(QString::fromLatin1(device).section(QLatin1Char('/'), -1));
        ASSERT_TRUE(QFile::link(QString::fromLatin1(device), link));
        for (const QString& path : {fifo, link}) {
            SCOPED_TRACE(S(path));
            EXPECT_EQ(fs.ReadAll(S(path), 1 << 20), std::nullopt);
            WatchTable table;
            EXPECT_EQ(LoadWatchListFile(fs, S(path), BrandMaster{}, table).status, WatchListStatus::NotOpened);
        }
    }
    const QString big = dir.filePath(QStringLiteral("big"));
    Put(big, QByteArray(200000, '7'));
    EXPECT_EQ(fs.ReadAll(S(big), 100001), std::string(100001, '7'));
}

// Only a lock held by a live program ends the new start; whatever else stands in the way lets
// it start and says why.
TEST(QtInstanceGuard, OnlyALiveLockEndsTheNewStart) {
    const auto mkdir = [](const QString& lock) { return QDir().mkdir(lock); };
    const auto write = [](QByteArray bytes) {
        return [bytes](const QString& lock) { return Put(lock, bytes), true; };
    };
    const auto dangling = [](const QString& lock) { return QFile::link(lock + QStringLiteral(".gone"), lock); };
    const auto othersWrite = [](const QString& lock) {
        return QFile::setPermissions(QFileInfo(lock).absolutePath(), QFileDevice::Permissions(0x7777));
    };
    const auto underAFile = [](const QString&) { return true; };  // the folder is a regular file
    const struct {
        const char* what;
        std::function<bool(const QString&)> plant;
        bool started;
    } cases[] = {
        {"a folder named like the lock", mkdir, true},
        {"an empty lock", write(""), true},
        {"a garbled lock", write("\xff\xfe garbage\n\n"), true},
        {"a dangling link", dangling, true},
        {"a folder that others can write", othersWrite, true},
        {"a folder that cannot be made", underAFile, true},
        {"the lock of a process that died",
         write("999999999\nnorvale\n" + QSysInfo::machineHostName().toUtf8() + "\n"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        QString lock = dir.filePath(QStringLiteral("norvale.lock"));
        if (std::string(c.what) == "a folder that cannot be made") {
            Put(dir.filePath(QStringLiteral("plain")), "x");
            lock = dir.filePath(QStringLiteral("plain/norvale.lock"));
        }
        ASSERT_TRUE(c.plant(lock));
        QtInstanceGuard guard(lock);
        EXPECT_FALSE(guard.AnotherInstanceRunning());
        EXPECT_EQ(!guard.Doubt().isEmpty(), c.started) << guard.Doubt().toStdString();
    }
    // A live holder ends the next start, silently.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtInstanceGuard first(dir.filePath(QStringLiteral("norvale.lock")));
    ASSERT_FALSE(first.AnotherInstanceRunning());
    QtInstanceGuard second(dir.filePath(QStringLiteral("norvale.lock")));
    EXPECT_TRUE(second.AnotherInstanceRunning());
    EXPECT_TRUE(second.Doubt().isEmpty());
    EXPECT_EQ(QFileInfo(QtInstanceGuard::DefaultLockPath()).absolutePath(),
              QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
}

TEST(QtFileSystem, FailedWritesLeaveWhatWasThere) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileSystem fs;
    const QByteArray old = "6758\r\n";

    // A folder that is a regular file.
    Put(dir.filePath(QStringLiteral("plain")), old);
    EXPECT_FALSE(fs.WriteAll(S(dir.filePath(QStringLiteral("plain/out.txt"))), "7203\r\n"));
    EXPECT_EQ(Get(dir.filePath(QStringLiteral("plain"))), old);

    // The name of an existing folder.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("sub/inner")));
    EXPECT_FALSE(fs.WriteAll(S(dir.filePath(QStringLiteral("sub"))), "7203\r\n"));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("sub/inner"))).isDir());

    // A write that fails midway, as on a full disk.
    const QString list = dir.filePath(QStringLiteral("list.txt"));
    Put(list, old);
    {
        FileSizeLimit limit(64);
        EXPECT_FALSE(fs.WriteAll(S(list), std::string(100000, '7')));
    }
    EXPECT_EQ(Get(list), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("list.txt"), QStringLiteral("plain")}));
}

TEST(QtFileSystem, MissingAndReadOnlyFoldersAndFilesRefuseTheWrite) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QtFileSystem fs;
    const QByteArray old = "6758\r\n8306\r\n";
    const QString list = dir.filePath(QStringLiteral("監視銘柄.txt"));
    Put(list, old);
    EXPECT_FALSE(fs.WriteAll(S(dir.filePath(QStringLiteral("missing/監視銘柄.txt"))), "7203\r\n"));
    {
        Immutable locked(dir.path());
        if (!locked.Set()) GTEST_SKIP() << "chattr is not supported here";
        EXPECT_FALSE(fs.WriteAll(S(list), "7203\r\n"));
        EXPECT_FALSE(fs.WriteAll(S(dir.filePath(QStringLiteral("new.txt"))), "7203\r\n"));
    }
    EXPECT_EQ(Get(list), old);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("new.txt"))));
    {
        Immutable locked(list);
        ASSERT_TRUE(locked.Set());
        EXPECT_FALSE(fs.WriteAll(S(list), "7203\r\n"));
    }
    EXPECT_EQ(Get(list), old);
    EXPECT_TRUE(fs.WriteAll(S(list), "7203\r\n7203\r\n"));
    EXPECT_EQ(Get(list), QByteArray("7203\r\n7203\r\n"));
}

// Runs f on the next modal widget once it shows.
void WhenModal(std::function<void(QWidget*)> f) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        f(modal);
        // A check that failed inside f leaves the box open: close it, so the test fails
        // instead of waiting for ever.
        QTimer::singleShot(5000, modal, [modal] { modal->close(); });
    });
    timer->start();
}

TEST(QtFileDialog, OffersTheThreeFiltersAcceptsNewNamesAndRemembersTheLast) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string filter = "すべてのファイル (*.*)|*.*|テキスト ファイル (*.txt)|*.txt|バッチ ファイル (*.bat)|*.bat";
    const QString chosen = dir.filePath(QStringLiteral("新規.txt"));
    QtFileDialog dialog(nullptr);

    QStringList shownFilters;
    int shownIndex = -1;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        for (int i = 0; i < types->count(); ++i) shownFilters << types->itemText(i);
        shownIndex = types->currentIndex();
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_TRUE(d->testOption(QFileDialog::DontConfirmOverwrite));
        d->selectFile(chosen);  // does not exist yet
        QMetaObject::invokeMethod(d, "accept");
    });
    EXPECT_EQ(dialog.ShowOpen(filter), S(chosen));
    EXPECT_EQ(shownFilters, (QStringList{QStringLiteral("すべてのファイル (*.*)"),
                                         QStringLiteral("テキスト ファイル (*.txt)"),
                                         QStringLiteral("バッチ ファイル (*.bat)")}));
    EXPECT_EQ(shownIndex, 0);

    QString offeredName;
    QString offeredFolder;
    WhenModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(d, nullptr);
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        offeredName = name->text();
        offeredFolder = d->directory().absolutePath();
        d->reject();
    });
    EXPECT_EQ(dialog.ShowOpen(filter), std::nullopt);
    EXPECT_EQ(offeredName, QStringLiteral("新規.txt"));
    EXPECT_EQ(offeredFolder, QDir(dir.path()).absolutePath());
}

TEST(QtMessageBox, ShowsTheStopIconOkCancelAndPlainLines) {
    QtMessageBox messages(nullptr);
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::TextFormat format = Qt::AutoText;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        format = box->textFormat();
        box->button(QMessageBox::Cancel)->click();
    });
    messages.ShowCriticalOkCancel("初期設定ファイル読込みエラー\r\nFILE : /tmp/<b>a</b>.txt\r\nLINE : 3", "Error");
    EXPECT_EQ(title, QStringLiteral("Error"));
    EXPECT_EQ(text, QStringLiteral("初期設定ファイル読込みエラー\nFILE : /tmp/<b>a</b>.txt\nLINE : 3"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(format, Qt::PlainText);
}

}  // namespace
}  // namespace norvale
