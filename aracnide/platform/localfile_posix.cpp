// Local files on a POSIX system: open(2) with O_NONBLOCK, fstat(2) before any read.

#include "localfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace aracnide {

namespace {

class PosixFile : public InputFile {
public:
    PosixFile(int fd, const struct stat& info)
        : fd_(fd),
          id_{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)},
          size_(static_cast<uint64_t>(info.st_size))
    {}
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;
    ~PosixFile() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileId Id() const override { return id_; }
    uint64_t Size() const override { return size_; }
    long Read(char* buffer, size_t size, ErrorInfo& err) override
    {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0)
                return static_cast<long>(n);
            if (errno != EINTR) {
                err = SystemError(errno);
                return -1;
            }
        }
    }
    ErrorInfo Close() override
    {
        const int fd = fd_;
        fd_ = -1;
        return fd >= 0 && ::close(fd) != 0 ? SystemError(errno) : ErrorInfo{};
    }

private:
    int fd_;
    FileId id_;
    uint64_t size_;
};

bool WriteAll(int fd, std::string_view bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes the whole text to a file opened by the caller and closes it; 0 or errno.
int WriteAndClose(int fd, std::string_view bytes, bool sync)
{
    int err = WriteAll(fd, bytes) && (!sync || ::fsync(fd) == 0) ? 0 : errno;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    return err;
}

int WriteInPlace(const std::string& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    return fd < 0 ? errno : WriteAndClose(fd, bytes, true);
}

}  // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, bool secret, std::string& error)
{
    auto fail = [&](int err) {
        error = std::strerror(err);
        return false;
    };
    // Through a link to the file it names: the link stays a link.
    std::string target = path;
    if (char resolved[PATH_MAX]; ::realpath(path.c_str(), resolved))
        target = resolved;
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        // A pipe or a terminal cannot be replaced: written to. Opened without waiting for a reader.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return fail(errno);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        const int err = WriteAndClose(fd, bytes, false);
        return err == 0 || fail(err);
    }
    if (exists && old.st_nlink > 1) {
        const int err = WriteInPlace(target, bytes);  // every name keeps seeing the one file
        return err == 0 || fail(err);
    }
    std::string tmp = target + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());  // mode 0600 until it is given its own
    if (fd < 0) {
        if (exists && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            const int err = WriteInPlace(target, bytes);
            return err == 0 || fail(err);
        }
        return fail(errno);
    }
    mode_t mode = 0600;
    if (!secret) {
        if (exists) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
    }
    int err = 0;
    if (exists && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);  // the group alone, when the owner cannot be kept
    if (::fchmod(fd, mode) != 0)
        err = errno;
    if (err == 0)
        err = WriteAndClose(fd, bytes, true);
    else
        ::close(fd);
    if (err == 0 && ::rename(tmp.c_str(), target.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(tmp.c_str());
        return fail(err);
    }
    return true;
}

ErrorInfo SystemError(int errnum)
{
    const char* text = std::strerror(errnum);
    if (!text || std::strncmp(text, "Unknown error", 13) == 0)
        return ErrorInfo{static_cast<uint32_t>(errnum), std::to_string(errnum)};
    return ErrorInfo{static_cast<uint32_t>(errnum), std::string(text) + "\r\n"};
}

std::unique_ptr<InputFile> PosixFileSystem::Open(const std::string& path, ErrorInfo& err)
{
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        err = SystemError(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        err = SystemError(errno);
        ::close(fd);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        err = S_ISDIR(info.st_mode)
                  ? SystemError(EISDIR)
                  : ErrorInfo{kErrNotRegularFile, "Not a regular file (a device, FIFO or socket): it was not read\r\n"};
        ::close(fd);
        return nullptr;
    }
    // A regular file never blocks; reads go on as usual.
    return std::make_unique<PosixFile>(fd, info);
}

PosixFileSystem& PosixFileSystem::Instance()
{
    static PosixFileSystem files;
    return files;
}

bool ReadWholeFile(FileSystem& fs, const std::string& path, std::string& bytes, ErrorInfo& err, uint64_t maxBytes)
{
    bytes.clear();
    const std::unique_ptr<InputFile> file = fs.Open(path, err);
    if (!file)
        return false;
    const ErrorInfo tooLarge{static_cast<uint32_t>(EFBIG),
                             "The file is larger than " + std::to_string(maxBytes) + " bytes and was not read\r\n"};
    if (file->Size() > maxBytes) {
        err = tooLarge;
        return false;
    }
    char block[16384];
    for (;;) {
        const long n = file->Read(block, sizeof block, err);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (bytes.size() + static_cast<uint64_t>(n) > maxBytes) {  // it grew while being read
            err = tooLarge;
            return false;
        }
        bytes.append(block, static_cast<size_t>(n));
    }
    err = file->Close();
    return !err;
}

bool ReadTextLines(FileSystem& fs, const std::string& path, std::vector<std::string>& lines, ErrorInfo& err,
                   uint64_t maxBytes)
{
    lines.clear();
    std::string bytes;
    if (!ReadWholeFile(fs, path, bytes, err, maxBytes))
        return false;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string::npos)
            end = bytes.size();
        std::string_view line(bytes.data() + pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line.substr(0, kMaxLineLength));
        pos = end + 1;
    }
    return true;
}

}  // namespace aracnide
