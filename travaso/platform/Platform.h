#pragma once

#include <cstdint>
#include <string>

namespace travaso {

// Where copies go: $TRAVASO_ROOT when set and not empty, else the user's home directory.
// Returned absolute (a relative value is taken from the current directory) and without a trailing "/"
// (except for "/" itself).
std::string TargetRoot();

// Bytes available to an unprivileged user on the file system holding path; -1 when it cannot be queried.
std::int64_t FreeSpaceOf(const std::string& path);

// The program's own executable, as an absolute path with links resolved; empty when unknown.
std::string ExecutablePath();

enum class EntryKind { Ignored, Directory, File };

// Classifies one directory entry by the copier's rules:
//   "." and ".." are ignored;
//   a directory is a real directory (not a link) whose name does not begin with "." (read-only ones
//   included); other directories are ignored with all they hold;
//   a file is a regular file or a link to one, hidden and read-only ones included;
//   devices, FIFOs, sockets, links to directories and dangling links are ignored.
// dirFd is the open directory holding the entry; dType the d_type reported by readdir (DT_UNKNOWN allowed).
EntryKind ClassifyEntry(int dirFd, const char* name, unsigned char dType);

// Pure form of the rule above, for a mode from lstat and, for links, the mode of what they point to
// (0 when dangling).
EntryKind ClassifyMode(const char* name, unsigned linkMode, unsigned targetMode);

// Permission bits of a copy: the source's, without set-id and sticky bits, under the umask, and always
// writable by its owner (a copy of a read-only file can be replaced; a private file stays private).
unsigned CopyMode(unsigned sourceMode, unsigned umask);

// The process's umask, read without changing it where the system allows.
unsigned CurrentUmask();

}  // namespace travaso
