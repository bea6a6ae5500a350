#include "platform/qt/QtPlatformServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

namespace norvale {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

void QtEventPump::RunPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

std::optional<std::string> QtFileDialog::ShowOpen(const std::string& filter) {
    // "text|pattern|text|pattern…" becomes Qt's "text (pattern)" entries. The texts already
    // show their patterns, so the pattern that Qt appends is hidden from view.
    const QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file where the list comes from; here it would miss names
        // without a dot.
        for (QString& pattern : patterns) {
            if (pattern.trimmed() == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        filters << parts[i] + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    QFileDialog dialog(parent_);
    // Qt's own dialog on every desktop, so that the options below hold everywhere. It has
    // no read-only check box to hide.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // new names are accepted: export creates them
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
    if (!lastName_.isEmpty()) dialog.selectFile(lastName_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastName_ = dialog.selectedFiles().first();
    return QDir::toNativeSeparators(lastName_).toStdString();
}

void QtAlert::ShowCriticalOkCancel(const std::string& text, const std::string& title) {
    // Lines come joined by CR LF; a path may hold '<', so the text is never taken as markup.
    QString shown = Q(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QMessageBox::Critical, Q(title), shown, QMessageBox::Ok | QMessageBox::Cancel, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

namespace {

// A folder that is ours and that no other user can write, so nobody else can plant a lock there.
bool PrivateFolder(const QString& folder, QString& why) {
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        why = QStringLiteral("the folder %1 does not exist").arg(folder);
        return false;
    }
    if (info.st_uid != ::getuid() || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        why = QStringLiteral("other users can write the folder %1").arg(folder);
        return false;
    }
    return true;
}

}  // namespace

QtInstanceGuard::QtInstanceGuard(QString lockPath) : lockPath_(std::move(lockPath)) {}

// The file stays: removing it would let a start that opened it just before lock a file that is no
// longer the lock, beside one that locks the new file.
QtInstanceGuard::~QtInstanceGuard() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

QString QtInstanceGuard::DefaultLockPath() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) return runtime + QStringLiteral("/norvale.lock");
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/norvale");
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QString host = QSysInfo::machineHostName();
    host.replace(QLatin1Char('/'), QLatin1Char('_'));
    return dir + QStringLiteral("/norvale-") + host + QStringLiteral(".lock");
}

bool QtInstanceGuard::AnotherInstanceRunning() {
    doubt_.clear();
    if (lockFd_ >= 0) return false;  // ours already
    QString why;
    if (PrivateFolder(QFileInfo(lockPath_).absolutePath(), why)) {
        // Not through a link, and nothing but a regular file: a FIFO must not hold the start.
        const int fd = ::open(QFile::encodeName(lockPath_).constData(),
                              O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                // Who holds it, for whoever looks; nothing reads it.
                const QByteArray holder = QByteArray::number(QCoreApplication::applicationPid()) + "\nnorvale\n" +
                                          QSysInfo::machineHostName().toUtf8() + "\n";
                [[maybe_unused]] const bool noted =
                    ::ftruncate(fd, 0) == 0 && ::write(fd, holder.constData(), std::size_t(holder.size())) >= 0;
                lockFd_ = fd;
                return false;
            }
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) return true;
            why = QStringLiteral("the lock %1 cannot be taken: %2")
                      .arg(lockPath_, QString::fromLocal8Bit(std::strerror(error)));
        } else {
            if (fd >= 0) ::close(fd);
            why = QStringLiteral("the lock %1 cannot be opened as a file").arg(lockPath_);
        }
    }
    doubt_ = QStringLiteral("Norvale cannot tell whether it runs already (%1); it starts anyway.").arg(why);
    std::fprintf(stderr, "%s\n", doubt_.toLocal8Bit().constData());
    return false;
}

namespace {

// Opened without waiting, so a FIFO with no writer cannot hold start-up in open(); what is no
// regular file (a FIFO, /dev/zero, a folder) is then refused before a byte is read. -1 for those,
// and for what cannot be opened.
int OpenRegularFile(const std::string& path, struct stat& info) {
    const int fd = ::open(QFile::encodeName(Q(path)).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// size bytes whose memory is faulted in by one call rather than by a fault on each page: for a
// large master those faults cost a start-up more than the read itself.
std::string FaultedInString(std::size_t size) {
    std::string bytes;
    bytes.reserve(size);
#ifdef MADV_POPULATE_WRITE
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto from = (reinterpret_cast<std::uintptr_t>(bytes.data()) + page - 1) / page * page;
    const auto to = (reinterpret_cast<std::uintptr_t>(bytes.data()) + size) / page * page;
    if (to > from) (void)::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);  // only a hint
#endif
    bytes.resize(size);
    return bytes;
}

}  // namespace

bool QtFileSystem::ReadPieces(const std::string& path, std::size_t maxBytes,
                              const std::function<bool(std::string_view)>& consume) {
    struct stat info {};
    const int fd = OpenRegularFile(path, info);
    if (fd < 0) return false;
    bool ok = true;
    std::array<char, 64 * 1024> buffer{};
    std::size_t left = maxBytes;
    while (ok && left > 0) {
        const ssize_t n = ::read(fd, buffer.data(), std::min(buffer.size(), left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        left -= static_cast<std::size_t>(n);
        if (!consume(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) break;
    }
    ::close(fd);
    return ok;
}

std::optional<std::string> QtFileSystem::ReadAll(const std::string& path, std::size_t maxBytes) {
    struct stat info {};
    const int fd = OpenRegularFile(path, info);
    if (fd < 0) return std::nullopt;
    // One buffer of the file's size, a byte more to see its end: a large master grown piece by
    // piece would be copied at every doubling into memory touched for the first time.
    std::string bytes = FaultedInString(std::min(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)), maxBytes) + 1);
    std::size_t used = 0;
    bool ok = true;
    while (used < maxBytes) {
        if (used == bytes.size()) bytes.resize(std::min(maxBytes, bytes.size() * 2));  // it grew meanwhile
        const ssize_t n = ::read(fd, bytes.data() + used, std::min(bytes.size(), maxBytes) - used);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        used += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    bytes.resize(used);
    return bytes;
}

bool QtFileSystem::WriteAll(const std::string& path, std::string_view bytes) {
    // The new file goes in by a rename, which no mark on the old file stops: a file that this user
    // may not write, or that nobody may (root may write anything), is refused here, as on Windows.
    const QByteArray native = QFile::encodeName(Q(path));
    struct stat old {};
    const bool replacing = ::stat(native.constData(), &old) == 0 && S_ISREG(old.st_mode);
    if (replacing && ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                      ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0)) {
        return false;
    }
    QSaveFile f(Q(path));  // it keeps the old file's permissions
    if (!f.open(QIODevice::WriteOnly)) return false;
    // The buffer is flushed and checked here: commit() flushes it too, but ignores a write
    // that fails there and would put a cut-off file in place of the old one.
    if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !f.flush()) {
        f.cancelWriting();
        (void)f.commit();  // only removes the new file
        return false;
    }
    return f.commit();
}

std::string QtFileSystem::InProgramFolder(const std::string& name) const {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') + Q(name))
        .toStdString();
}

}  // namespace norvale
