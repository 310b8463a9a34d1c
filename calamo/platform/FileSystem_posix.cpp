#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace calamo {

namespace {

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

// Reads to the end, or up to `maxBytes`; false with `tooLong` set when there was more.
bool readAll(int fd, QByteArray& out, qsizetype sizeHint, int& error, qsizetype maxBytes = -1, bool* tooLong = nullptr)
{
    out.clear();
    out.reserve((maxBytes >= 0 ? std::min(sizeHint, maxBytes) : sizeHint) + 1);
    char buffer[65536];
    for (;;) {
        qsizetype want = sizeof buffer;
        if (maxBytes >= 0) {
            want = std::min(want, maxBytes - out.size());
            if (want == 0) {
                char probe = 0;
                ssize_t more = 0;
                do
                    more = ::read(fd, &probe, 1);
                while (more < 0 && errno == EINTR);
                if (more < 0)
                    error = errno;
                if (tooLong)
                    *tooLong = more > 0;
                return more == 0;
            }
        }
        const ssize_t n = ::read(fd, buffer, static_cast<std::size_t>(want));
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
std::optional<QString> writeInPlace(const QString& path, const QByteArray& target, const QByteArray& bytes)
{
    const auto systemError = [&path](int error) { return writeError(path, error); };
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
        return notARegularFile(path);
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

// A whole file up to `maxBytes` (refusing a larger one), or with `prefixOnly` its first `maxBytes` bytes.
BytesResult readBounded(const QString& path, qsizetype maxBytes, bool prefixOnly)
{
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type is checked before reading.
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return {std::nullopt, readError(path, errno)};
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return {std::nullopt, readError(path, errno)};
    if (!S_ISREG(st.st_mode))
        return {std::nullopt, notARegularFile(path)};
    if (!prefixOnly && st.st_size > maxBytes)
        return {std::nullopt, tooLarge(path, st.st_size, maxBytes)};
    QByteArray bytes;
    int error = 0;
    bool tooLong = false;
    try {
        if (!readAll(fd.get(), bytes, st.st_size, error, maxBytes, &tooLong)) {
            if (tooLong && prefixOnly)
                return {std::move(bytes), {}};
            return {std::nullopt, tooLong ? tooLarge(path, st.st_size, maxBytes) : readError(path, error)};
        }
    } catch (const std::bad_alloc&) {
        return {std::nullopt, outOfMemoryError(path, false)};
    }
    return {std::move(bytes), {}};
}

}  // namespace

BytesResult PosixFileSystem::readRegularFile(const QString& path, qsizetype maxBytes)
{
    return readBounded(path, maxBytes, false);
}

BytesResult PosixFileSystem::readRegularFilePrefix(const QString& path, qsizetype maxBytes)
{
    return readBounded(path, maxBytes, true);
}

std::optional<QString> PosixFileSystem::writeFileAtomically(const QString& path, const QByteArray& bytes,
                                                            LinkPolicy links)
{
    const auto systemError = [&path](int error) { return writeError(path, error); };
    QByteArray target = QFile::encodeName(path);
    struct stat st {};
    bool exists = false;
    if (links == LinkPolicy::Follow) {
        // A link stays a link: its file is replaced.
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty())
            target = QFile::encodeName(canonical);
        exists = ::stat(target.constData(), &st) == 0;
    } else {
        // A link (or anything else that is not a regular file) is replaced as a name, never written through.
        exists = ::lstat(target.constData(), &st) == 0 && S_ISREG(st.st_mode);
    }
    if (exists && !S_ISREG(st.st_mode))
        return notARegularFile(path);
    if (exists) {
        // A file whose mode denies us writing is not ours to replace, whatever the folder allows. Opening it for
        // writing (without truncating) asks the system with our file-system identity.
        Fd probe(::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
        if (probe.get() < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
            return systemError(errno);
    }
    if (exists && st.st_nlink > 1)
        return writeInPlace(path, target, bytes);

    QByteArray temporary;
    // Private until it has the old file's mode; a new file gets the user's default mode.
    Fd fd(createTemporary(target, exists ? 0600 : 0666, temporary));
    if (fd.get() < 0) {
        const int error = errno;
        if (exists && (error == EACCES || error == EPERM))
            return writeInPlace(path, target, bytes);  // the folder is closed to us, the file may not be
        return systemError(error);
    }
    const auto fail = [&temporary, &systemError](int error) {
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

std::optional<QString> PosixFileSystem::removeFile(const QString& path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        return removeError(path, errno);
    return std::nullopt;
}

bool PosixFileSystem::exists(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

std::optional<QString> PosixFileSystem::makePrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(QDir::cleanPath(path));
    // Each missing folder from the top down; one that stands already (made by another process too) is fine.
    for (qsizetype slash = native.indexOf('/', 1);; slash = native.indexOf('/', slash + 1)) {
        const QByteArray folder = slash < 0 ? native : native.left(slash);
        struct stat st {};
        if (::mkdir(folder.constData(), 0777) != 0 && errno != EEXIST)
            return folderError(path, errno);
        if (::stat(folder.constData(), &st) != 0)
            return folderError(path, errno);
        if (!S_ISDIR(st.st_mode))
            return folderError(path, ENOTDIR);
        if (slash < 0)
            break;
    }
    // Only the user may look into it; a folder that stays more open is still used.
    (void)::chmod(native.constData(), 0700);
    return std::nullopt;
}

void PosixFileSystem::restrictToOwner(const QString& path)
{
    (void)::chmod(QFile::encodeName(path).constData(), 0600);
}

QStringList PosixFileSystem::listFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace calamo
