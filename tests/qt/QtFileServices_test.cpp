// The real file system, instance guard, file dialog and message box of the Qt platform, on real
// temporary folders. Tests run as root, which no permission bit stops: a folder that cannot be
// written is a path under a regular file or a folder made immutable, and a write that fails midway
// is one that runs into the file size limit.
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

#include "frontend/qt/QtWindowServices.h"
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

// Runs undo when it goes out of scope.
struct Undo {
    std::function<void()> undo;
    ~Undo() { undo(); }
};

// chattr +i (or -i); false where the file system has no such flag.
bool SetImmutable(const QString& path, bool on = true) {
    return QProcess::execute(QStringLiteral("chattr"), {on ? QStringLiteral("+i") : QStringLiteral("-i"), path}) == 0;
}

// Whole files are written and read back, up to a limit; a missing file, a folder, a FIFO that
// nobody writes (opening it must not wait for a writer) and devices are not read at all.
TEST(QtFileSystem, ReadsOnlyRegularFilesAndOnlySoMuch) {
    QTemporaryDir dir;
    QtFileSystem fs;
    const QString path = dir.filePath(QStringLiteral("監視銘柄.txt"));
    for (const std::string& bytes : {std::string("7203\r\n\x83\x5C\r\n"), std::string(), std::string(100001, '7'),
                                     std::string(200000, '7')}) {
        ASSERT_TRUE(fs.WriteAll(S(path), bytes));
        EXPECT_EQ(fs.ReadAll(S(path), 100001), bytes.substr(0, 100001));
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("監視銘柄.txt")});

    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
    for (const QString device : {"zero", "urandom"}) ASSERT_TRUE(QFile::link("/dev/" + device, dir.filePath(device)));
    // Read whole, or in pieces as the watch list is.
    for (const char* name : {"missing", ".", "fifo", "zero", "urandom"}) {
        const std::string path = S(dir.filePath(QString::fromLatin1(name)));
        const bool pieces = fs.ReadPieces(path, 1 << 20, [](auto) { return true; });
        EXPECT_EQ(std::pair(fs.ReadAll(path, 1 << 20), pieces), std::pair(std::optional<std::string>(), false)) << name;
    }
}

// Whatever stops a write leaves the old file as it was and no other file behind; once it is
// gone, the write goes through.
TEST(QtFileSystem, FailedWritesLeaveWhatWasThere) {
    QTemporaryDir dir;
    QtFileSystem fs;
    const QByteArray old = "6758\r\n8306\r\n";
    const QString list = dir.filePath(QStringLiteral("監視銘柄.txt"));
    Put(list, old);
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("sub/inner")));
    if (!SetImmutable(list) || !SetImmutable(list, false)) GTEST_SKIP() << "chattr is not supported here";
    const QStringList before = Entries(dir.path());
    const auto nothing = [] { return Undo{[] {}}; };
    const auto immutable = [](QString path) { return SetImmutable(path), Undo{[path] { SetImmutable(path, false); }}; };
    const struct {
        const char* what;
        std::function<Undo()> guard;
        std::vector<const char*> names;  // every write fails
        std::string bytes = "7203\r\n";
    } cases[] = {
        {"onto the name of a folder", nothing, {"sub"}},
        {"in a missing folder", nothing, {"missing/監視銘柄.txt"}},
        // As on a full disk: writes past 64 bytes fail with EFBIG instead of raising SIGXFSZ.
        {"midway",
         [] {
             rlimit old{};
             getrlimit(RLIMIT_FSIZE, &old);
             const rlimit lowered{64, old.rlim_max};
             signal(SIGXFSZ, SIG_IGN);
             setrlimit(RLIMIT_FSIZE, &lowered);
             return Undo{[old] {
                 setrlimit(RLIMIT_FSIZE, &old);
                 signal(SIGXFSZ, SIG_DFL);
             }};
         },
         {"監視銘柄.txt"}, std::string(100000, '7')},
        {"in a folder made immutable", [&] { return immutable(dir.path()); }, {"監視銘柄.txt", "new.txt"}},
        {"onto a file made immutable", [&] { return immutable(list); }, {"監視銘柄.txt"}},
        {"onto a read-only file",
         [&] {
             QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
             return Undo{[&] { QFile::setPermissions(list, QFileDevice::ReadOwner | QFileDevice::WriteOwner); }};
         },
         {"監視銘柄.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            const Undo guard = c.guard();
            for (const char* name : c.names)
                EXPECT_FALSE(fs.WriteAll(S(dir.filePath(QString::fromUtf8(name))), c.bytes));
        }
        EXPECT_EQ(Get(list), old);
        EXPECT_EQ(Entries(dir.path()), before);
        EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("sub/inner"))).isDir());
    }
    // A file that is replaced keeps its permissions.
    ASSERT_EQ(::chmod(QFile::encodeName(list).constData(), 0640), 0);
    EXPECT_TRUE(fs.WriteAll(S(list), "7203\r\n7203\r\n"));
    EXPECT_EQ(Get(list), QByteArray("7203\r\n7203\r\n"));
    struct stat replaced {};
    EXPECT_EQ(::stat(QFile::encodeName(list).constData(), &replaced) == 0 ? replaced.st_mode & 07777 : 0u, 0640u);
}

// Only a lock held by a live Norvale ends the new start, silently: a lock file that no process holds is
// taken whatever it names (a dead process, another machine, a live program that is called norvale);
// whatever else stands in the way lets it start and says why. Without a runtime folder the lock is
// this machine's own.
TEST(QtInstanceGuard, OnlyALiveLockEndsTheNewStart) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid() && QFile::copy(QStringLiteral("/bin/sleep"), bin.filePath(QStringLiteral("norvale"))));
    QProcess impostor;  // not this user's Norvale, whatever its name
    impostor.start(bin.filePath(QStringLiteral("norvale")), {QStringLiteral("30")});
    ASSERT_TRUE(impostor.waitForStarted());
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    const auto write = [](QByteArray bytes) { return [bytes](const QString& lock) { return Put(lock, bytes), true; }; };
    const struct {
        const char* what;
        std::function<bool(const QString&)> plant;
        bool saysWhy = true;
        const char* lock = "norvale.lock";
    } cases[] = {
        {"a folder named like the lock", [](const QString& lock) { return QDir().mkdir(lock); }},
        {"a dangling link", [](const QString& lock) { return QFile::link(lock + QStringLiteral(".gone"), lock); }},
        {"a folder that others can write",
         [](const QString& lock) {
             return QFile::setPermissions(QFileInfo(lock).absolutePath(), QFileDevice::Permissions(0x7777));
         }},
        {"a folder that cannot be made, a regular file there",
         [](const QString& lock) { return Put(QFileInfo(lock).absolutePath(), "x"), true; }, true,
         "plain/norvale.lock"},
        // What the lock says decides nothing (a dead holder's pid is the plainest case of the last).
        {"an empty lock", write(""), false},
        {"a garbled lock", write("\xff\xfe garbage\n\n"), false},
        {"a lock from another machine, its pid alive here", write("1\nnorvale\nelsewhere\n"), false},
        {"a lock naming a live program called norvale",
         write(QByteArray::number(impostor.processId()) + "\nnorvale\n" + host + "\n"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString lock = dir.filePath(QString::fromLatin1(c.lock));
        ASSERT_TRUE(dir.isValid() && c.plant(lock));
        QtInstanceGuard guard(lock);
        EXPECT_FALSE(guard.AnotherInstanceRunning());
        EXPECT_EQ(!guard.Doubt().isEmpty(), c.saysWhy) << guard.Doubt().toStdString();
    }
    impostor.kill();
    impostor.waitForFinished();
    // A live holder ends the next start, silently.
    QTemporaryDir dir;
    QtInstanceGuard first(dir.filePath(QStringLiteral("norvale.lock")));
    ASSERT_FALSE(first.AnotherInstanceRunning());
    QtInstanceGuard second(dir.filePath(QStringLiteral("norvale.lock")));
    EXPECT_EQ(std::pair(second.AnotherInstanceRunning(), second.Doubt()), std::pair(true, QString()));
    EXPECT_EQ(QFileInfo(QtInstanceGuard::DefaultLockPath()).absolutePath(),
              QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    // No usable runtime folder (not private, and a file where one would be made in the temporary
    // folder): the lock goes to the cache, named after this machine.
    std::vector<std::pair<const char*, QByteArray>> saved;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"}) {
        saved.emplace_back(name, qgetenv(name));
        qputenv(name, dir.path().toUtf8());
    }
    const Undo restore{[&saved] {
        for (const auto& [name, value] : saved) value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }};
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    Put(dir.filePath(QStringLiteral("runtime-") + QString::fromLocal8Bit(getpwuid(geteuid())->pw_name)), "x");
    EXPECT_EQ(QtInstanceGuard::DefaultLockPath(), dir.filePath(QStringLiteral("norvale/norvale-") + host + ".lock"));
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

TEST(QtFileDialog, OffersTheThreeFiltersAcceptsNewNamesAndRemembersTheLast) {
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("新規.txt"));  // does not exist yet
    const std::string filter = "すべてのファイル (*.*)|*.*|テキスト ファイル (*.txt)|*.txt|バッチ ファイル (*.bat)|*.bat";
    QtFileDialog dialog(nullptr);
    for (const bool again : {false, true}) {
        SCOPED_TRACE(again ? "opened again" : "opened first");
        WhenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(d, nullptr);
            const auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            ASSERT_NE(types, nullptr);
            QStringList shown;
            for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
            EXPECT_EQ(shown, (QStringList{"すべてのファイル (*.*)", "テキスト ファイル (*.txt)", "バッチ ファイル (*.bat)"}));
            const bool replacesSilently = d->testOption(QFileDialog::DontConfirmOverwrite);
            EXPECT_EQ(std::tuple(types->currentIndex(), d->acceptMode(), replacesSilently),
                      std::tuple(0, QFileDialog::AcceptOpen, true));
            if (again) {
                EXPECT_EQ(d->selectedFiles(), QStringList{chosen}) << "the last name is offered again";
                d->reject();
            } else {
                d->selectFile(chosen);
                QMetaObject::invokeMethod(d, "accept");
            }
        });
        EXPECT_EQ(dialog.ShowOpen(filter), again ? std::nullopt : std::optional(S(chosen)));
    }
}

TEST(QtAlert, ShowsTheStopIconOkCancelAndPlainLines) {
    std::tuple<QString, QString, QMessageBox::Icon, QMessageBox::StandardButtons, Qt::TextFormat> shown;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->textFormat()};
        box->button(QMessageBox::Cancel)->click();
    });
    QtAlert(nullptr).ShowCriticalOkCancel("初期設定ファイル読込みエラー\r\nFILE : /tmp/<b>a</b>.txt\r\nLINE : 3", "Error");
    EXPECT_EQ(shown, std::tuple(QStringLiteral("Error"),
                                QStringLiteral("初期設定ファイル読込みエラー\nFILE : /tmp/<b>a</b>.txt\nLINE : 3"),
                                QMessageBox::Critical, QMessageBox::Ok | QMessageBox::Cancel, Qt::PlainText));
}

}  // namespace
}  // namespace norvale
