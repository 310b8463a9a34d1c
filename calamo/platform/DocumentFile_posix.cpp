#include "DocumentFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace calamo {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString notARegularFile(const QString& path)
{
    return QStringLiteral("%1: non è un file regolare (è una cartella, una pipe o un dispositivo).").arg(path);
}

// Owns a file descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    void reset(int fd)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now and reports the error a late write-back may give.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool writeAll(int fd, const char* data, qsizetype size, int& error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<std::size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool readAll(int fd, QByteArray& out, qsizetype sizeHint, int& error)
{
    out.clear();
    out.reserve(sizeHint + 1);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0)
            return true;
        out.append(buffer, n);
    }
}

// Writes over the file itself: owner, mode and hard links stay. On failure the old bytes are put back as well
// as the disk allows.
std::optional<QString> writeInPlace(const QByteArray& target, const QByteArray& bytes)
{
    // A file we may write but not read is written without a copy of its old bytes.
    bool readable = true;
    Fd fd(::open(target.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0 && errno == EACCES) {
        readable = false;
        fd.reset(::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
    }
    if (fd.get() < 0)
        return systemError(errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return systemError(errno);
    if (!S_ISREG(st.st_mode))
        return notARegularFile(QFile::decodeName(target));
    QByteArray old;
    int error = 0;
    if (readable && !readAll(fd.get(), old, st.st_size, error))
        return systemError(error);
    const auto restore = [&] {
        int ignored = 0;
        if (readable && ::lseek(fd.get(), 0, SEEK_SET) == 0 && writeAll(fd.get(), old.constData(), old.size(), ignored))
            (void)::ftruncate(fd.get(), old.size());
    };
    if (::lseek(fd.get(), 0, SEEK_SET) != 0)
        return systemError(errno);
    if (!writeAll(fd.get(), bytes.constData(), bytes.size(), error)) {
        restore();
        return systemError(error);
    }
    if (::ftruncate(fd.get(), bytes.size()) != 0 || ::fsync(fd.get()) != 0) {
        error = errno;
        restore();
        return systemError(error);
    }
    if (fd.close() != 0)
        return systemError(errno);
    return std::nullopt;
}

// A new file beside `target`, named after it; -1 with errno set when none can be made.
int createTemporary(const QByteArray& target, mode_t mode, QByteArray& name)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash >= 0 ? target.left(slash + 1) : QByteArray();
    const QByteArray base = target.mid(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = dir + '.' + base + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

BytesResult readRegularFile(const QString& path)
{
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type is checked before reading.
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return {std::nullopt, systemError(errno)};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return {std::nullopt, systemError(errno)};
    if (!S_ISREG(st.st_mode))
        return {std::nullopt, notARegularFile(path)};
    QByteArray bytes;
    int error = 0;
    if (!readAll(fd.get(), bytes, st.st_size, error))
        return {std::nullopt, systemError(error)};
    return {std::move(bytes), {}};
}

ReadResult readDocumentFile(const QString& path)
{
    BytesResult read = readRegularFile(path);
    if (!read.bytes)
        return {std::nullopt, read.error};
    return {decodeDocument(*read.bytes), {}};
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    QByteArray target = QFile::encodeName(path);
    // A link stays a link: its file is replaced.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty())
        target = QFile::encodeName(canonical);

    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        return notARegularFile(path);
    if (exists && st.st_nlink > 1)
        return writeInPlace(target, bytes);

    QByteArray temporary;
    // Private until it has the old file's mode; a new file gets the user's default mode.
    Fd fd(createTemporary(target, exists ? 0600 : 0666, temporary));
    if (fd.get() < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM))
            return writeInPlace(target, bytes);  // the folder is closed to us, the file may not be
        return systemError(error);
    }
    const auto fail = [&temporary](int error) {
        ::unlink(temporary.constData());
        return systemError(error);
    };
    int error = 0;
    if (!writeAll(fd.get(), bytes.constData(), bytes.size(), error))
        return fail(error);
    if (exists) {
        // Owner and group where we may set them (root may set both, an owner only a group of their own); the
        // mode after them, since a change of owner clears the set-id bits.
        if (::fchown(fd.get(), st.st_uid, st.st_gid) != 0)
            (void)::fchown(fd.get(), static_cast<uid_t>(-1), st.st_gid);
        if (::fchmod(fd.get(), st.st_mode & 07777) != 0)
            return fail(errno);
    }
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    if (fd.close() != 0)
        return fail(errno);
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(errno);
    return std::nullopt;
}

}  // namespace calamo
