#include "platform/qt/QtInstanceGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace norvale {

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

}  // namespace norvale
