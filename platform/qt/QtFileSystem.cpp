#include "platform/qt/QtFileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

namespace norvale {

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

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
std::pmr::string FaultedInString(std::size_t size, std::pmr::memory_resource& memory) {
    std::pmr::string bytes(&memory);
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

std::optional<std::pmr::string> QtFileSystem::ReadAll(const std::string& path, std::size_t maxBytes,
                                                      std::pmr::memory_resource& memory) {
    struct stat info {};
    const int fd = OpenRegularFile(path, info);
    if (fd < 0) return std::nullopt;
    // One buffer of the file's size, a byte more to see its end: a large master grown piece by
    // piece would be copied at every doubling into memory touched for the first time.
    std::pmr::string bytes =
        FaultedInString(std::min(static_cast<std::size_t>(std::max<off_t>(info.st_size, 0)), maxBytes) + 1, memory);
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
