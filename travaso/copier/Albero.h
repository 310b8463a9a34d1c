#pragma once

// The copier's work on the file system: listing the source tree into a tree list, measuring it, mapping
// entries to the target and copying single files. Every call goes through a FileSystem.
// Paths use "/" and are the file system's bytes; a directory's full path ends in "/".

#include "FileSystem.h"

#include <QLocale>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// One entry of the tree list.
struct TreeEntry {
    std::string path;                  // relative to the listed folder, without a trailing "/"
    EntryKind kind = EntryKind::File;  // Directory or File
    std::int64_t size = 0;             // bytes of a file once SumTreeSizes has measured it; 0 for a folder
};

// The source tree as measured, in pre-order and enumeration order: what the copy run works through.
struct TreeList {
    std::string source;  // the listed folder, with its trailing "/"
    std::vector<TreeEntry> entries;
    bool cut = false;  // the walk stopped at its capacity

    // The entry's full path; a folder's ends in "/".
    std::string PathOf(const TreeEntry& entry) const
    {
        return source + entry.path + (entry.kind == EntryKind::Directory ? "/" : "");
    }
};

// Far above any real tree; tests pass small capacities.
inline constexpr std::size_t DefaultTreeCapacity = 1'000'000;

// Lists the tree under sourceDir (a missing trailing "/" is added) in pre-order, enumeration order.
// At capacity entries the observer hears of it once and the walk stops with what it has, the list marked cut.
// A folder that cannot be listed throws AlberoError.
TreeList BuildTreeList(FileSystem& fs, std::string sourceDir, MeasureObserver& observer,
                       std::size_t capacity = DefaultTreeCapacity);

// Sum of FileSizeOf over the file entries of the list, in bytes; each entry keeps its size. Throws AlberoError.
std::int64_t SumTreeSizes(FileSystem& fs, TreeList& list, MeasureObserver& observer);
// Files of the tree by a walk of its own, independent of the list's capacity. Throws AlberoError when a
// folder cannot be listed.
std::int64_t CountTreeFiles(FileSystem& fs, std::string sourceDir, MeasureObserver& observer);
// Size in bytes of the file, opened for reading. Throws AlberoError.
std::int64_t FileSizeOf(FileSystem& fs, const std::string& path);

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

}  // namespace travaso
