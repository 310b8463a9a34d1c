#pragma once

// One run of the copier without its window: the descriptive text, the overlap test, the measuring with
// its space decision, and the copy run that reports each step to an observer.

#include "Albero.h"

#include <cstdint>
#include <optional>
#include <string>

namespace travaso {

// The folders a run works on, all with a trailing "/" and as the file system's bytes.
struct CopierPaths {
    std::string source;      // the program's directory
    std::string target;      // the source's own name under the target root
    std::string targetRoot;  // where free space is measured
    std::string executable;  // the program itself: measured apart and never copied
};

// The descriptive text beside the program: at most this many bytes are read.
inline constexpr std::size_t DescriptiveTextLimit = 1u << 20;

struct DescriptiveText {
    std::string data;   // the file's bytes, empty when there is no text
    std::string error;  // set when a text exists but cannot be read
};

// "testo.rtf", else "testo.txt", from dir. Only a regular file counts as a text: a FIFO, a device or a
// link to one is passed over, as a missing file is, and never opened for reading in a way that can block.
DescriptiveText ReadDescriptiveText(FileSystem& fs, const std::string& dir);

// Empty when source and target are apart; else why the copy is refused: the target is the source, lies
// inside it or contains it, compared by real paths (links resolved; the part of target not yet made is
// taken as written) and by the identity of the folders on the way (a bind mount gives one folder two paths).
std::string FindOverlap(FileSystem& fs, const std::string& source, const std::string& target);

struct Measurement {
    TreeList tree;               // what the copy run works through
    std::int64_t total = 0;      // bytes of every listed file, the program included
    std::int64_t fileCount = 0;  // files of the whole tree, the program included
    std::int64_t executableSize = 0;
    std::int64_t required = 0;  // total less the program when the list holds it
    std::int64_t free = -1;     // bytes free at the target root, -1 when unknown

    std::int64_t FilesToCopy() const { return fileCount - 1; }
    // Equal counts as not enough, and so does an unknown free space.
    bool EnoughSpace() const { return required < free; }
};

struct MeasureOutcome {
    std::optional<Measurement> measurement;  // none when it failed or was stopped
    std::string error;                       // set when it failed
    bool stopped = false;                    // the observer stopped it
};

// Lists, sums and counts the tree under paths.source, measures the program and reads the free space.
MeasureOutcome MeasureSource(FileSystem& fs, const CopierPaths& paths, MeasureObserver& observer,
                             std::size_t capacity = DefaultTreeCapacity);

// Each step of a copy run, as it happens.
class CopyObserver {
public:
    virtual ~CopyObserver() = default;
    virtual void TargetExisted(const std::string& target) = 0;
    // Reported once the folder exists.
    virtual void DirectoryCreated(const std::string& path) = 0;
    // copiedSoFar counts this file.
    virtual void FileCopied(const std::string& source, std::int64_t bytes, std::int32_t copiedSoFar) = 0;
};

enum class CopyEnd {
    Completed,   // every listed file is at the target and flushed
    Incomplete,  // as Completed, but the list had been cut at its capacity
    Stopped,     // an error ended the run; error says which
};

struct CopyOutcome {
    CopyEnd end = CopyEnd::Stopped;
    std::string error;
};

// Copies every entry of tree but the program into paths.target, flushing the target's file system at the end
// through a handle opened before anything is written. Source and target are walked from handles on them,
// never through a link to a folder.
CopyOutcome RunCopy(FileSystem& fs, const CopierPaths& paths, const TreeList& tree, CopyObserver& observer);

}  // namespace travaso
