#pragma once

// Every file-system call the copier makes, behind one small interface: PosixFileSystem for the program,
// a fake in tests that makes any call fail. Paths are the file system's bytes, never re-encoded.

#include "Platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace travaso {

// Error numbers are errno values, or one of these for conditions errno has no number for.
inline constexpr int NotRegularFile = -1;       // a FIFO, device, socket or directory where a file was expected
inline constexpr int ShorterThanExpected = -2;  // the source ended before the size it had when opened
inline constexpr int SameFileAsSource = -3;     // the target is the source file itself

// What the copier was doing when a call failed; the message names it.
enum class FsStep { List, Open, Measure, Read, Create, Write, MakeDirectory, Remove, Resolve, Sync };

struct FsResult {
    int error = 0;  // 0 on success
    FsStep step = FsStep::Open;
    std::string path;  // the file or folder concerned

    bool ok() const { return error == 0; }
    static FsResult Failed(int error, FsStep step, std::string path) { return {error, step, std::move(path)}; }
};

struct DirEntry {
    std::string name;
    EntryKind kind;  // Directory or File: ignored entries are never listed
};

enum class PathKind { Missing, Directory, File, Link, Other };

// Which file or folder a path names, whatever the path: two paths name the same one when these match.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Flushes the file system it was opened on. Write-back errors are reported to handles opened before them,
// so it is opened before the first byte of a copy is written.
class SyncHandle {
public:
    virtual ~SyncHandle() = default;
    virtual FsResult Sync() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The directory's entries in enumeration order, classified by the copier's rule (ClassifyEntry), ignored
    // ones left out. The folder's own handle is closed when it returns; a confined walk keeps a bounded
    // number of folder handles open (Confine), however deep the tree.
    virtual FsResult ListDirectory(const std::string& dir, std::vector<DirEntry>& entries) = 0;
    // Size in bytes of a regular file, opened for reading.
    virtual FsResult FileSize(const std::string& path, std::int64_t& size) = 0;
    // What stands at path; a final link is Link unless followLinks.
    virtual PathKind Kind(const std::string& path, bool followLinks) = 0;
    // One level; EEXIST when anything stands at path.
    virtual FsResult MakeDirectory(const std::string& path) = 0;
    // Removes a link or file (never a directory).
    virtual FsResult RemoveFile(const std::string& path) = 0;
    // Copies the bytes a regular source holds when opened into target, created or truncated. A link standing
    // at target is replaced, never written through; the copy's permission bits are CopyMode's, new or
    // written over. copied is the number of bytes written.
    virtual FsResult CopyFile(const std::string& source, const std::string& target, std::int64_t& copied) = 0;
    // At most maxBytes of a regular file; NotRegularFile for anything else, which is never read.
    virtual FsResult ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& data) = 0;
    // path with every link, "." and ".." resolved; path must exist.
    virtual FsResult RealPath(const std::string& path, std::string& resolved) = 0;
    // Bytes free for the user on the file system holding path; -1 when it cannot be queried.
    virtual std::int64_t FreeSpace(const std::string& path) = 0;
    // A handle on the file system holding path (an existing folder).
    virtual FsResult OpenSyncHandle(const std::string& path, std::unique_ptr<SyncHandle>& handle) = 0;
    // The identity of what path names, links followed.
    virtual FsResult Identify(const std::string& path, FileIdentity& identity) = 0;
    // From now on a path below one of dirs (each opened here, once) is walked one folder at a time from that
    // handle, never through a link: a folder replaced by a link after it was listed fails with ELOOP instead
    // of leading elsewhere. Only the last component of a file's path may be a link (a link to a file is a
    // file). Replaces the folders of an earlier call; an empty list ends the confinement.
    virtual FsResult Confine(const std::vector<std::string>& dirs) = 0;
};

}  // namespace travaso
