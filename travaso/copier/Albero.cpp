#include "Albero.h"

#include "AlberoCopy.h"
#include "Platform.h"
#include "Prompts.h"

#include <QLocale>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <algorithm>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Owns a file descriptor.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&&) = delete;
    ~UniqueFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (a late write error shows up here).
    bool close()
    {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Opens the directory name inside parentFd (or the path itself when parentFd is AT_FDCWD) for reading.
DirHandle OpenDir(int parentFd, const char* name)
{
    const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return nullptr;
    DIR* dir = fdopendir(fd);
    if (!dir)
        ::close(fd);
    return DirHandle(dir);
}

std::string ErrorText(std::string_view what, std::string_view path, int err)
{
    std::string text(what);
    text += " \"";
    text += path;
    text += "\": ";
    text += std::strerror(err);
    return text;
}

// The process-wide tree list: entries in pre-order, and the cursor of NextTreeEntry.
struct TreeState {
    std::vector<std::string> entries;
    std::size_t cursor = 0;
    std::size_t capacity = DefaultTreeCapacity;
    bool cut = false;
    std::function<void()> processMessages;
    Prompts* prompts = nullptr;
};

TreeState& State()
{
    static TreeState state;
    return state;
}

void ProcessMessages()
{
    if (auto& hook = State().processMessages)
        hook();
}

// Stores one entry; at capacity shows the full-list message and marks the list cut.
bool StoreEntry(std::string entry)
{
    TreeState& s = State();
    if (s.entries.size() >= s.capacity) {
        s.cut = true;
        if (s.prompts)
            s.prompts->Message("Albero riempito (troppe voci)");
        return false;
    }
    s.entries.push_back(std::move(entry));
    return true;
}

// Pre-order walk of dir, whose path with its trailing "/" is prefix. Returns false once the list is full.
bool WalkList(DIR* dir, const std::string& prefix)
{
    while (const dirent* ent = readdir(dir)) {
        ProcessMessages();
        switch (ClassifyEntry(dirfd(dir), ent->d_name, ent->d_type)) {
        case EntryKind::Directory: {
            std::string path = prefix + ent->d_name + '/';
            if (!StoreEntry(path))
                return false;
            if (DirHandle sub = OpenDir(dirfd(dir), ent->d_name); sub && !WalkList(sub.get(), path))
                return false;
            break;
        }
        case EntryKind::File:
            if (!StoreEntry(prefix + ent->d_name))
                return false;
            break;
        case EntryKind::Ignored:
            break;
        }
    }
    return true;
}

std::int64_t CountWalk(DIR* dir)
{
    std::int64_t files = 0;
    while (const dirent* ent = readdir(dir)) {
        ProcessMessages();
        switch (ClassifyEntry(dirfd(dir), ent->d_name, ent->d_type)) {
        case EntryKind::Directory:
            if (DirHandle sub = OpenDir(dirfd(dir), ent->d_name))
                files += CountWalk(sub.get());
            break;
        case EntryKind::File:
            ++files;
            break;
        case EntryKind::Ignored:
            break;
        }
    }
    return files;
}

bool IsKernelCopyUnsupported(int err)
{
    return err == EXDEV || err == ENOSYS || err == EINVAL || err == EOPNOTSUPP || err == EBADF;
}

} // namespace

void SetProcessMessagesHook(std::function<void()> hook) { State().processMessages = std::move(hook); }

void SetAlberoPrompts(Prompts* prompts) { State().prompts = prompts; }

bool BuildTreeList(std::string sourceDir, std::size_t capacity)
{
    TreeState& s = State();
    s.entries.clear();
    s.cursor = 0;
    s.cut = false;
    s.capacity = capacity;
    if (!sourceDir.empty() && sourceDir.back() != '/')
        sourceDir += '/';
    // A directory that cannot be enumerated contributes nothing, as in the walk itself.
    if (DirHandle dir = OpenDir(AT_FDCWD, sourceDir.c_str()))
        WalkList(dir.get(), sourceDir);
    s.cursor = 0;
    return !s.cut;
}

bool TreeListWasCut() { return State().cut; }

std::size_t TreeEntryCount() { return State().entries.size(); }

std::int64_t SumTreeSizes()
{
    // By index: the message hook may run code that empties the list (the window closing).
    const auto& entries = State().entries;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].back() != '/')
            total += FileSizeOf(entries[i]);
        ProcessMessages();
    }
    return total;
}

std::int64_t CountTreeFiles(std::string sourceDir)
{
    while (sourceDir.size() > 1 && sourceDir.back() == '/')
        sourceDir.pop_back();
    if (chdir(sourceDir.c_str()) != 0)
        throw AlberoError(ErrorText("Impossibile aprire la directory", sourceDir, errno));
    DirHandle dir = OpenDir(AT_FDCWD, ".");
    return dir ? CountWalk(dir.get()) : 0;
}

std::int64_t FileSizeOf(const std::string& path)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid())
        throw AlberoError(ErrorText("Impossibile aprire il file", path, errno));
    struct stat st {};
    if (fstat(fd.get(), &st) != 0)
        throw AlberoError(ErrorText("Impossibile misurare il file", path, errno));
    if (!fd.close())
        throw AlberoError(ErrorText("Impossibile chiudere il file", path, errno));
    return static_cast<std::int64_t>(st.st_size);
}

void ResetTreeCursor() { State().cursor = 0; }

std::string NextTreeEntry()
{
    TreeState& s = State();
    if (s.cursor >= s.entries.size())
        return {};
    return s.entries[s.cursor++];
}

void FreeTreeList()
{
    TreeState& s = State();
    s.entries.clear();
    s.entries.shrink_to_fit();
    s.cursor = 0;
}

std::string TargetPathFor(std::string_view targetDir, std::string_view entry, std::string_view sourceDir)
{
    if (!entry.starts_with(sourceDir))
        throw AlberoError(std::string("Percorso fuori dalla directory di origine: \"") + std::string(entry) + '"');
    std::string target(targetDir);
    if (!target.empty() && target.back() != '/')
        target += '/';
    target += entry.substr(sourceDir.size());
    return target;
}

std::string TargetDirectoryFor(std::string_view targetRoot, std::string_view sourceDir)
{
    while (sourceDir.size() > 1 && sourceDir.back() == '/')
        sourceDir.remove_suffix(1);
    const auto slash = sourceDir.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? sourceDir : sourceDir.substr(slash + 1);
    if (name.empty() || name == "/")
        return {};
    std::string target(targetRoot);
    if (target.empty() || target.back() != '/')
        target += '/';
    target += name;
    target += '/';
    return target;
}

void CopyBytes(int sourceFd, int targetFd, std::int64_t size, CopyMethod method, std::size_t blockSize,
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
                throw AlberoError(ErrorText("Errore di lettura (file più corto del previsto)", source, EIO));
            if (errno == EINTR)
                continue;
            if (IsKernelCopyUnsupported(errno) && left == size)
                break;  // nothing copied yet: the block loop below does the whole file
            throw AlberoError(ErrorText("Errore di copia", target, errno));
        }
    }
    std::vector<char> buffer(left > 0 ? std::min<std::int64_t>(left, static_cast<std::int64_t>(blockSize)) : 0);
    while (left > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
        std::size_t got = 0;
        while (got < want) {
            const ssize_t n = read(sourceFd, buffer.data() + got, want - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw AlberoError(ErrorText("Errore di lettura", source, errno));
            if (n == 0)
                throw AlberoError(ErrorText("Errore di lettura (file più corto del previsto)", source, EIO));
            got += static_cast<std::size_t>(n);
        }
        std::size_t put = 0;
        while (put < got) {
            const ssize_t n = write(targetFd, buffer.data() + put, got - put);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw AlberoError(ErrorText("Errore di scrittura", target, n < 0 ? errno : EIO));
            put += static_cast<std::size_t>(n);
        }
        left -= static_cast<std::int64_t>(got);
    }
}

void CopyFileWith(const std::string& source, const std::string& target, CopyMethod method, std::size_t blockSize)
{
    UniqueFd in(open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid())
        throw AlberoError(ErrorText("Impossibile aprire il file", source, errno));
    struct stat from {};
    if (fstat(in.get(), &from) != 0)
        throw AlberoError(ErrorText("Impossibile misurare il file", source, errno));
    if (!S_ISREG(from.st_mode))
        throw AlberoError(ErrorText("Impossibile copiare il file", source, EINVAL));
    // Truncating the target when it is the source itself would destroy the data.
    if (struct stat to {}; stat(target.c_str(), &to) == 0 && to.st_dev == from.st_dev && to.st_ino == from.st_ino)
        throw AlberoError("Origine e destinazione sono lo stesso file: \"" + target + '"');
    UniqueFd out(open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!out.valid())
        throw AlberoError(ErrorText("Impossibile creare il file", target, errno));
    CopyBytes(in.get(), out.get(), static_cast<std::int64_t>(from.st_size), method, blockSize, source, target);
    if (!out.close())
        throw AlberoError(ErrorText("Errore di scrittura", target, errno));
}

void CopyFileStream(const std::string& source, const std::string& target)
{
    CopyFileWith(source, target, CopyMethod::KernelCopy);
}

std::string FormatThousands(std::int64_t value)
{
    // The locale's own options: the C locale groups no digits, the user's locale does.
    return QLocale().toString(static_cast<qlonglong>(value)).toStdString();
}

std::string LeftChars(std::string_view s, std::size_t n) { return std::string(s.substr(0, n)); }

std::string RightChars(std::string_view s, std::size_t n)
{
    return std::string(n >= s.size() ? s : s.substr(s.size() - n));
}
