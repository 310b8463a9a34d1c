#include "FileSystem_posix.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace travaso {

namespace {

// Owns a file descriptor.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes now and reports whether the close succeeded (a late write error shows up here).
    bool close()
    {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// Owns a directory stream.
class UniqueDir {
public:
    explicit UniqueDir(DIR* dir) : dir_(dir) {}
    UniqueDir(const UniqueDir&) = delete;
    UniqueDir& operator=(const UniqueDir&) = delete;
    ~UniqueDir()
    {
        if (dir_)
            closedir(dir_);
    }
    DIR* get() const { return dir_; }

private:
    DIR* dir_;
};

FsResult Ok()
{
    return {};
}

bool IsKernelCopyUnsupported(int err)
{
    return err == EXDEV || err == ENOSYS || err == EINVAL || err == EOPNOTSUPP || err == EBADF;
}

// Opens name in dirFd for writing without following a final link and without blocking on a FIFO: a link
// standing there is removed first, anything but a regular file is refused. fresh tells whether the file was
// created. target is the full path, for messages.
FsResult OpenTarget(int dirFd, const std::string& name, const std::string& target, mode_t createMode, UniqueFd& out,
                    bool& fresh)
{
    constexpr int kFlags = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    for (int attempt = 0; attempt < 2; ++attempt) {
        out.reset(openat(dirFd, name.c_str(), kFlags | O_CREAT | O_EXCL, createMode));
        if (out.valid()) {
            fresh = true;
            return Ok();
        }
        if (errno != EEXIST)
            return FsResult::Failed(errno, FsStep::Create, target);
        struct stat st {};
        if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return FsResult::Failed(errno, FsStep::Create, target);
        if (S_ISLNK(st.st_mode)) {
            if (unlinkat(dirFd, name.c_str(), 0) != 0)
                return FsResult::Failed(errno, FsStep::Remove, target);
            continue;  // create it afresh where the link stood
        }
        if (!S_ISREG(st.st_mode))
            return FsResult::Failed(S_ISDIR(st.st_mode) ? EISDIR : NotRegularFile, FsStep::Create, target);
        out.reset(openat(dirFd, name.c_str(), kFlags));
        if (!out.valid())
            return FsResult::Failed(errno, FsStep::Create, target);
        fresh = false;
        return Ok();
    }
    return FsResult::Failed(EEXIST, FsStep::Create, target);  // a link appeared again at once
}

// Folder levels below a confined folder that stay open between calls.
constexpr std::size_t kCachedLevels = 8;

// Opens name in dirFd for reading without blocking (a file that became a FIFO or a device must not hang the
// caller) and checks that it is a regular file; a file of another kind is reported at step `notRegular`.
FsResult OpenRegularFile(int dirFd, const std::string& name, const std::string& path, FsStep notRegular, UniqueFd& fd,
                         struct stat& st)
{
    fd = UniqueFd(openat(dirFd, name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid())
        return FsResult::Failed(errno, FsStep::Open, path);
    if (fstat(fd.get(), &st) != 0)
        return FsResult::Failed(errno, FsStep::Measure, path);
    if (!S_ISREG(st.st_mode))
        return FsResult::Failed(NotRegularFile, notRegular, path);
    return Ok();
}

std::string NoSlash(std::string p)
{
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

}  // namespace

PosixFileSystem::~PosixFileSystem()
{
    CloseRoots();
}

void PosixFileSystem::CloseRoots()
{
    for (Root& root : roots_) {
        for (const int fd : root.fds)
            ::close(fd);
        if (root.tail >= 0)
            ::close(root.tail);
        ::close(root.fd);
    }
    roots_.clear();
}

FsResult PosixFileSystem::Confine(const std::vector<std::string>& dirs)
{
    CloseRoots();
    for (const std::string& dir : dirs) {
        Root root;
        root.path = NoSlash(dir);
        root.fd = open(root.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (root.fd < 0) {
            const int err = errno;
            CloseRoots();
            return FsResult::Failed(err, FsStep::List, dir);
        }
        roots_.push_back(std::move(root));
    }
    return Ok();
}

FsResult PosixFileSystem::Locate(const std::string& path, FsStep step, int& dirFd, std::string& name)
{
    const std::string p = NoSlash(path);
    Root* root = nullptr;  // the innermost confined folder holding p
    for (Root& r : roots_) {
        const bool inside = p == r.path || (p.starts_with(r.path) && (r.path == "/" || p[r.path.size()] == '/'));
        if (inside && (!root || r.path.size() > root->path.size()))
            root = &r;
    }
    if (!root) {
        dirFd = AT_FDCWD;
        name = p;
        return Ok();
    }
    if (p == root->path) {
        dirFd = root->fd;
        name = ".";
        return Ok();
    }
    // The components between the root and the last one, each opened from the one before without following a link.
    std::vector<std::string_view> parts;
    const std::string_view rest = std::string_view(p).substr(root->path == "/" ? 1 : root->path.size() + 1);
    for (std::size_t start = 0;;) {
        const std::size_t slash = rest.find('/', start);
        parts.push_back(rest.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start));
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    for (const std::string_view part : parts)
        if (part.empty() || part == "." || part == "..")
            return FsResult::Failed(EINVAL, step, path);  // never leaves the folder by its names
    const std::size_t folders = parts.size() - 1;
    const auto openedPath = [&](std::size_t level) {
        std::string opened = root->path;
        for (std::size_t j = 0; j <= level; ++j)
            (opened += '/') += parts[j];
        return opened;
    };
    // The first levels stay open from one call to the next.
    std::size_t kept = 0;
    while (kept < folders && kept < root->names.size() && root->names[kept] == parts[kept])
        ++kept;
    while (root->names.size() > kept) {
        ::close(root->fds.back());
        root->fds.pop_back();
        root->names.pop_back();
    }
    for (std::size_t i = kept; i < std::min(folders, kCachedLevels); ++i) {
        const std::string part(parts[i]);
        const int fd =
            openat(i == 0 ? root->fd : root->fds.back(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return FsResult::Failed(errno, step, openedPath(i));
        root->names.push_back(part);
        root->fds.push_back(fd);
    }
    name = std::string(parts.back());
    if (folders <= kCachedLevels) {
        dirFd = folders == 0 ? root->fd : root->fds.back();
        return Ok();
    }
    // Deeper levels are walked holding one handle at a time, so a deep tree needs no more handles than a
    // shallow one; the deepest folder reached stays open for the next call.
    std::size_t level = kCachedLevels;  // parts[level] is the next to open
    int current = root->fds.back();
    std::size_t common = 0;
    while (common < folders && common < root->tailNames.size() && root->tailNames[common] == parts[common])
        ++common;
    if (root->tail >= 0 && common == root->tailNames.size() && common > kCachedLevels) {
        level = common;
        current = root->tail;
    } else if (root->tail >= 0) {
        ::close(root->tail);
        root->tail = -1;
        root->tailNames.clear();
    }
    for (; level < folders; ++level) {
        const std::string part(parts[level]);
        const int fd = openat(current, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int err = errno;
        if (current == root->tail) {
            ::close(root->tail);
            root->tail = -1;
            root->tailNames.clear();
        }
        if (fd < 0)
            return FsResult::Failed(err, step, openedPath(level));
        current = root->tail = fd;
    }
    root->tailNames.assign(parts.begin(), parts.begin() + std::ptrdiff_t(folders));
    dirFd = root->tail;
    return Ok();
}

FsResult PosixFileSystem::Identify(const std::string& path, FileIdentity& identity)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return FsResult::Failed(errno, FsStep::Resolve, path);
    identity = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return Ok();
}

FsResult PosixFileSystem::ListDirectory(const std::string& dir, std::vector<DirEntry>& entries)
{
    entries.clear();
    int at = AT_FDCWD;
    std::string name;
    if (FsResult r = Locate(dir, FsStep::List, at, name); !r.ok())
        return r;
    const int fd = openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return FsResult::Failed(errno, FsStep::List, dir);
    UniqueDir stream(fdopendir(fd));
    if (!stream.get()) {
        const int err = errno;
        ::close(fd);
        return FsResult::Failed(err, FsStep::List, dir);
    }
    for (;;) {
        errno = 0;
        const dirent* ent = readdir(stream.get());
        if (!ent) {
            if (errno != 0)
                return FsResult::Failed(errno, FsStep::List, dir);
            return Ok();
        }
        const EntryKind kind = ClassifyEntry(fd, ent->d_name, ent->d_type);
        if (kind != EntryKind::Ignored)
            entries.push_back({ent->d_name, kind});
    }
}

FsResult PosixFileSystem::FileSize(const std::string& path, std::int64_t& size)
{
    int at = AT_FDCWD;
    std::string name;
    if (FsResult r = Locate(path, FsStep::Open, at, name); !r.ok())
        return r;
    UniqueFd fd;
    struct stat st {};
    if (FsResult r = OpenRegularFile(at, name, path, FsStep::Measure, fd, st); !r.ok())
        return r;
    if (!fd.close())
        return FsResult::Failed(errno, FsStep::Measure, path);
    size = static_cast<std::int64_t>(st.st_size);
    return Ok();
}

PathKind PosixFileSystem::Kind(const std::string& path, bool followLinks)
{
    int at = AT_FDCWD;
    std::string name;
    if (FsResult r = Locate(path, FsStep::Open, at, name); !r.ok())
        return r.error == ENOENT ? PathKind::Missing : PathKind::Other;
    struct stat st {};
    if (fstatat(at, name.c_str(), &st, followLinks ? 0 : AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Other;
    if (S_ISDIR(st.st_mode))
        return PathKind::Directory;
    if (S_ISREG(st.st_mode))
        return PathKind::File;
    if (S_ISLNK(st.st_mode))
        return PathKind::Link;
    return PathKind::Other;
}

FsResult PosixFileSystem::MakeDirectory(const std::string& path)
{
    int at = AT_FDCWD;
    std::string name;
    if (FsResult r = Locate(path, FsStep::MakeDirectory, at, name); !r.ok())
        return r;
    if (mkdirat(at, name.c_str(), 0777) != 0)
        return FsResult::Failed(errno, FsStep::MakeDirectory, path);
    return Ok();
}

FsResult PosixFileSystem::RemoveFile(const std::string& path)
{
    int at = AT_FDCWD;
    std::string name;
    if (FsResult r = Locate(path, FsStep::Remove, at, name); !r.ok())
        return r;
    if (unlinkat(at, name.c_str(), 0) != 0)
        return FsResult::Failed(errno, FsStep::Remove, path);
    return Ok();
}

FsResult PosixFileSystem::CopyFile(const std::string& source, const std::string& target, std::int64_t& copied)
{
    copied = 0;
    int sourceAt = AT_FDCWD;
    std::string sourceName;
    if (FsResult r = Locate(source, FsStep::Open, sourceAt, sourceName); !r.ok())
        return r;
    UniqueFd in;
    struct stat from {};
    if (FsResult r = OpenRegularFile(sourceAt, sourceName, source, FsStep::Open, in, from); !r.ok())
        return r;

    int targetAt = AT_FDCWD;
    std::string targetName;
    if (FsResult r = Locate(target, FsStep::Create, targetAt, targetName); !r.ok())
        return r;
    UniqueFd out;
    bool fresh = false;
    const auto wanted = static_cast<mode_t>(CopyMode(from.st_mode, umask_));
    if (FsResult r = OpenTarget(targetAt, targetName, target, wanted, out, fresh); !r.ok())
        return r;
    struct stat to {};
    if (fstat(out.get(), &to) != 0)
        return FsResult::Failed(errno, FsStep::Create, target);
    if (!S_ISREG(to.st_mode))
        return FsResult::Failed(NotRegularFile, FsStep::Create, target);
    // Truncating the target when it is the source itself (a hard link, an overlapping tree) destroys the data.
    if (to.st_dev == from.st_dev && to.st_ino == from.st_ino)
        return FsResult::Failed(SameFileAsSource, FsStep::Create, target);
    if (!fresh && ftruncate(out.get(), 0) != 0)
        return FsResult::Failed(errno, FsStep::Create, target);
    // A file written over gets the same bits as a new one, so a private source never lands in a readable
    // copy; a new one needs this only when the umask took its owner's write bit.
    if ((to.st_mode & 07777) != wanted)
        (void)fchmod(out.get(), wanted);  // not ours to change (EPERM): the copy itself still stands

    const auto size = static_cast<std::int64_t>(from.st_size);
    if (FsResult r = CopyBytes(in.get(), out.get(), size, method_, blockSize_, source, target); !r.ok())
        return r;
    if (!out.close())
        return FsResult::Failed(errno, FsStep::Write, target);
    copied = size;
    return Ok();
}

FsResult PosixFileSystem::ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& data)
{
    data.clear();
    int at = AT_FDCWD;
    std::string name;
    if (FsResult r = Locate(path, FsStep::Open, at, name); !r.ok())
        return r;
    UniqueFd fd;
    struct stat st {};
    if (FsResult r = OpenRegularFile(at, name, path, FsStep::Open, fd, st); !r.ok())
        return r;
    data.resize(std::min<std::size_t>(maxBytes, static_cast<std::size_t>(std::max<off_t>(st.st_size, 0))));
    std::size_t got = 0;
    while (got < data.size()) {
        const ssize_t n = read(fd.get(), data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FsResult::Failed(errno, FsStep::Read, path);
        if (n == 0)
            break;  // shrank meanwhile: what is there is the text
        got += static_cast<std::size_t>(n);
    }
    data.resize(got);
    return Ok();
}

FsResult PosixFileSystem::RealPath(const std::string& path, std::string& resolved)
{
    char* real = realpath(path.c_str(), nullptr);
    if (!real)
        return FsResult::Failed(errno, FsStep::Resolve, path);
    resolved = real;
    std::free(real);
    return Ok();
}

std::int64_t PosixFileSystem::FreeSpace(const std::string& path)
{
    return FreeSpaceOf(path);
}

namespace {

class PosixSyncHandle : public SyncHandle {
public:
    PosixSyncHandle(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
    FsResult Sync() override
    {
        if (syncfs(fd_.get()) != 0)
            return FsResult::Failed(errno, FsStep::Sync, path_);
        return Ok();
    }

private:
    UniqueFd fd_;
    std::string path_;
};

}  // namespace

FsResult PosixFileSystem::OpenSyncHandle(const std::string& path, std::unique_ptr<SyncHandle>& handle)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid())
        return FsResult::Failed(errno, FsStep::Sync, path);
    handle = std::make_unique<PosixSyncHandle>(std::move(fd), path);
    return Ok();
}

FsResult CopyBytes(int sourceFd, int targetFd, std::int64_t size, CopyMethod method, std::size_t blockSize,
                   const std::string& source, const std::string& target)
{
    std::int64_t left = size;
    if (method == CopyMethod::KernelCopy) {
        while (left > 0) {
            const ssize_t n = copy_file_range(sourceFd, nullptr, targetFd, nullptr,
                                              static_cast<std::size_t>(std::min<std::int64_t>(left, 1 << 30)), 0);
            if (n > 0) {
                left -= n;
                continue;
            }
            if (n == 0)
                return FsResult::Failed(ShorterThanExpected, FsStep::Read, source);
            if (errno == EINTR)
                continue;
            if (IsKernelCopyUnsupported(errno) && left == size)
                break;  // nothing copied yet: the block loop below does the whole file
            return FsResult::Failed(errno, FsStep::Write, target);
        }
    }
    std::vector<char> buffer(left > 0 ? std::min<std::int64_t>(left, static_cast<std::int64_t>(blockSize)) : 0);
    while (left > 0) {
        const auto want =
            static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = read(sourceFd, buffer.data() + got, want - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return FsResult::Failed(errno, FsStep::Read, source);
            if (n == 0)
                return FsResult::Failed(ShorterThanExpected, FsStep::Read, source);
            got += static_cast<std::size_t>(n);
        }
        std::size_t put = 0;
        while (put < got) {
            const ssize_t n = write(targetFd, buffer.data() + put, got - put);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return FsResult::Failed(n < 0 ? errno : EIO, FsStep::Write, target);
            put += static_cast<std::size_t>(n);
        }
        left -= static_cast<std::int64_t>(got);
    }
    return Ok();
}

}  // namespace travaso
