#pragma once
// Local files as the link checker reads them (pages, list files, the password file, the settings
// file): regular files only, opened without blocking, so a FIFO or a device is an error and never a
// wait; identified by device and inode, so a file reached by two paths is known as one. And the one
// way it replaces a file (the JSON output, the settings file).

#include "httpclient.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace aracnide {

// A text file (list, password, settings) larger than this is refused: no such file is meant to be
// large, and /dev/zero behind a link must not fill the memory.
inline constexpr uint64_t kMaxTextFile = 16 * 1024 * 1024;
// Longer lines of a text file are cut here.
inline constexpr size_t kMaxLineLength = 8192;

// What names a file whatever the path to it.
struct FileId {
    uint64_t device = 0;
    uint64_t inode = 0;
    friend bool operator==(const FileId&, const FileId&) = default;
};
struct FileIdHash {
    size_t operator()(const FileId& id) const { return std::hash<uint64_t>()(id.inode * 31 + id.device); }
};

// One regular file open for reading; closed on destruction.
class InputFile {
public:
    virtual ~InputFile() = default;
    virtual FileId Id() const = 0;
    virtual uint64_t Size() const = 0;  // bytes, when it was opened
    // At most `size` bytes: the count, 0 at the end, -1 with `err` set.
    virtual long Read(char* buffer, size_t size, ErrorInfo& err) = 0;
    // Ends the reading; the error of the close, if any.
    virtual ErrorInfo Close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The file at `path`; null with `err` set when it cannot be opened or is not a regular file
    // (a folder gives the system's "Is a directory").
    virtual std::unique_ptr<InputFile> Open(const std::string& path, ErrorInfo& err) = 0;
};

// The machine's file system.
class PosixFileSystem : public FileSystem {
public:
    std::unique_ptr<InputFile> Open(const std::string& path, ErrorInfo& err) override;
    static PosixFileSystem& Instance();
};

// An errno value as an error record's text: the system's message with a line end, or the bare number.
ErrorInfo SystemError(int errnum);

// The whole file, at most `maxBytes` of it: false with `err` set when it cannot be read or is larger.
bool ReadWholeFile(FileSystem& fs, const std::string& path, std::string& bytes, ErrorInfo& err,
                   uint64_t maxBytes = kMaxTextFile);
// The lines of a text file (ended by LF or CR LF), each cut at kMaxLineLength characters.
bool ReadTextLines(FileSystem& fs, const std::string& path, std::vector<std::string>& lines, ErrorInfo& err,
                   uint64_t maxBytes = kMaxTextFile);

// Gives the file at `path` the contents `bytes`; false with `error` (the system's text) when a write or
// the close failed. A regular file is replaced whole (a fresh file beside it, with a unique name,
// renamed over it) and keeps its mode, owner and group (as far as the user may set them); a link keeps
// being a link, to the new contents; a file with several hard links, or in a folder where no new file
// can be made, is written in place. What is not a regular file (a pipe, a terminal, a device) is
// written to as it is. `secret`: the new file is readable by its owner only, from its first moment.
bool ReplaceFile(const std::string& path, std::string_view bytes, bool secret, std::string& error);

}  // namespace aracnide
