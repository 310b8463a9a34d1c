#pragma once

#include "FileSystem.h"

#include <vector>

namespace travaso {

// How CopyFile moves bytes; public so tests and the benchmark reach both ways.
enum class CopyMethod {
    Blocks,      // read and write in blocks of blockSize bytes
    KernelCopy,  // copy_file_range, falling back to Blocks where the kernel cannot
};

inline constexpr std::size_t DefaultCopyBlock = 1 << 20;

// The file system of the running system.
class PosixFileSystem : public FileSystem {
public:
    explicit PosixFileSystem(CopyMethod method = CopyMethod::KernelCopy, std::size_t blockSize = DefaultCopyBlock)
        : method_(method),
          blockSize_(blockSize),
          umask_(CurrentUmask())
    {}

    FsResult ListDirectory(const std::string& dir, std::vector<DirEntry>& entries) override;
    FsResult FileSize(const std::string& path, std::int64_t& size) override;
    PathKind Kind(const std::string& path, bool followLinks) override;
    FsResult MakeDirectory(const std::string& path) override;
    FsResult RemoveFile(const std::string& path) override;
    FsResult CopyFile(const std::string& source, const std::string& target, std::int64_t& copied) override;
    FsResult ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& data) override;
    FsResult RealPath(const std::string& path, std::string& resolved) override;
    std::int64_t FreeSpace(const std::string& path) override;
    FsResult OpenSyncHandle(const std::string& path, std::unique_ptr<SyncHandle>& handle) override;
    FsResult Identify(const std::string& path, FileIdentity& identity) override;
    FsResult Confine(const std::vector<std::string>& dirs) override;

    ~PosixFileSystem() override;
    PosixFileSystem(const PosixFileSystem&) = delete;
    PosixFileSystem& operator=(const PosixFileSystem&) = delete;

private:
    // A confined folder: its handle, and the chain of folders below it opened last (a walk in pre-order
    // reuses it from one entry to the next).
    struct Root {
        std::string path;  // without a trailing "/"
        int fd = -1;
        std::vector<std::string> names;
        std::vector<int> fds;                // fds[i] is names[0..i] opened below fd, for the first levels only
        std::vector<std::string> tailNames;  // the deeper folder opened last, and its handle
        int tail = -1;
    };
    // Where an operation on path acts: a folder handle and a name in it. Outside every confined folder,
    // the current directory's handle and the path itself. A failure names the folder that could not be opened.
    FsResult Locate(const std::string& path, FsStep step, int& dirFd, std::string& name);
    void CloseRoots();

    CopyMethod method_;
    std::size_t blockSize_;
    unsigned umask_;  // read once: the program never changes it
    std::vector<Root> roots_;
};

// Copies exactly size bytes between open descriptors; a source that ends early is ShorterThanExpected.
FsResult CopyBytes(int sourceFd, int targetFd, std::int64_t size, CopyMethod method, std::size_t blockSize,
                   const std::string& source, const std::string& target);

}  // namespace travaso
