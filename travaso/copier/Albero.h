#pragma once

// The copier's work on the file system: the process-wide tree list of the source tree, measuring it,
// mapping entries to the target and copying single files. No user interface apart from the one
// message that goes through Prompts. Paths use "/"; a directory entry ends in "/".

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

class Prompts;

// A failed file-system operation; what() names the file concerned.
class AlberoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Far above any real tree; tests pass small capacities.
inline constexpr std::size_t DefaultTreeCapacity = 1'000'000;

// Called after every tree entry while walking and summing, so the window can process pending messages.
void SetProcessMessagesHook(std::function<void()> hook);
// Where "Albero riempito (troppe voci)" goes; without prompts the message is dropped.
void SetAlberoPrompts(Prompts* prompts);

// Lists the tree under sourceDir (given with its trailing "/") in pre-order, enumeration order.
// At capacity entries the full-list message is shown once and the walk stops with what it has.
// Returns false when the list was cut that way.
bool BuildTreeList(std::string sourceDir, std::size_t capacity = DefaultTreeCapacity);
// True when the last BuildTreeList stopped at its capacity.
bool TreeListWasCut();
std::size_t TreeEntryCount();

// Sum of FileSizeOf over the file entries of the list, in bytes. Throws AlberoError.
std::int64_t SumTreeSizes();
// Files of the tree by a walk of its own, independent of the list's capacity. Makes sourceDir the
// current directory. Throws AlberoError when that fails.
std::int64_t CountTreeFiles(std::string sourceDir);
// Size in bytes of the file, opened for reading. Throws AlberoError.
std::int64_t FileSizeOf(const std::string& path);

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

// Copies exactly the source's size at open time into target, which is created or truncated.
// Throws AlberoError naming the file on any failure; a partly written target stays.
void CopyFileStream(const std::string& source, const std::string& target);

// The value with the thousands separator of the user's locale and no decimals ("1.234.567").
std::string FormatThousands(std::int64_t value);

// The first / last n bytes of s (all of s when shorter).
std::string LeftChars(std::string_view s, std::size_t n);
std::string RightChars(std::string_view s, std::size_t n);
