#pragma once

// The copier's work on the file system: the process-wide tree list of the source tree, measuring it,
// mapping entries to the target and copying single files. Every call goes through a FileSystem.
// Paths use "/" and are the file system's bytes; a directory entry ends in "/".

#include "FileSystem.h"

#include <QLocale>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace travaso {

// A failed file-system operation; what() names the file concerned.
class AlberoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The measuring was stopped by its observer (the window closing).
class MeasuringStopped : public std::exception {
public:
    const char* what() const noexcept override { return "measuring stopped"; }
};

// The message for a failed call, in the copier's language, naming the file.
std::string FsErrorText(const FsResult& result);

// What the walks report while they run.
class MeasureObserver {
public:
    virtual ~MeasureObserver() = default;
    // After every tree entry, so the window can process pending messages. False stops the measuring.
    virtual bool ProcessMessages() { return true; }
    // The list is full: "Albero riempito (troppe voci)". The walk ends with what it has.
    virtual void TreeListFull() {}
};

// Far above any real tree; tests pass small capacities.
inline constexpr std::size_t DefaultTreeCapacity = 1'000'000;

// Lists the tree under sourceDir (given with its trailing "/") in pre-order, enumeration order.
// At capacity entries the observer hears of it once and the walk stops with what it has; returns false then.
// A folder that cannot be listed throws AlberoError.
bool BuildTreeList(FileSystem& fs, std::string sourceDir, MeasureObserver& observer,
                   std::size_t capacity = DefaultTreeCapacity);
// True when the last BuildTreeList stopped at its capacity.
bool TreeListWasCut();
std::size_t TreeEntryCount();

// Sum of FileSizeOf over the file entries of the list, in bytes. Throws AlberoError.
std::int64_t SumTreeSizes(FileSystem& fs, MeasureObserver& observer);
// Files of the tree by a walk of its own, independent of the list's capacity. Makes sourceDir the
// current directory. Throws AlberoError when that fails or a folder cannot be listed.
std::int64_t CountTreeFiles(FileSystem& fs, std::string sourceDir, MeasureObserver& observer);
// Size in bytes of the file, opened for reading. Throws AlberoError.
std::int64_t FileSizeOf(FileSystem& fs, const std::string& path);

void ResetTreeCursor();
// The next entry of the list, or "" at its end.
std::string NextTreeEntry();
void FreeTreeList();

// Where entry (under sourceDir) goes under targetDir: targetDir + the entry's path relative to sourceDir.
// Throws AlberoError when entry does not lie under sourceDir.
std::string TargetPathFor(std::string_view targetDir, std::string_view entry, std::string_view sourceDir);

// The target directory for a source directory (both with a trailing "/"): the source's own name under
// targetRoot. Empty when the source has no name of its own (the root directory).
std::string TargetDirectoryFor(std::string_view targetRoot, std::string_view sourceDir);

// Copies the source's bytes into target, which is created or truncated; returns the bytes copied.
// Throws AlberoError naming the file on any failure; a partly written target stays.
std::int64_t CopyFileStream(FileSystem& fs, const std::string& source, const std::string& target);

// The value with no decimals, grouped by the locale's own rule ("1.234.567" in Italian); the C locale
// groups no digits, as the C library's own C locale does.
std::string FormatThousands(std::int64_t value, const QLocale& locale = QLocale());

// The first / last n bytes of s (all of s when shorter).
std::string LeftChars(std::string_view s, std::size_t n);
std::string RightChars(std::string_view s, std::size_t n);

}  // namespace travaso
