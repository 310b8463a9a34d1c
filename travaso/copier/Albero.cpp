#include "Albero.h"

#include <cstring>
#include <utility>
#include <vector>

namespace travaso {

namespace {

// The process-wide tree list: entries in pre-order, and the cursor of NextTreeEntry.
struct TreeState {
    std::vector<std::string> entries;
    std::size_t cursor = 0;
    std::size_t capacity = DefaultTreeCapacity;
    bool cut = false;
};

TreeState& State()
{
    static TreeState state;
    return state;
}

void ProcessMessages(MeasureObserver& observer)
{
    if (!observer.ProcessMessages())
        throw MeasuringStopped();
}

std::vector<DirEntry> List(FileSystem& fs, const std::string& dir)
{
    std::vector<DirEntry> entries;
    if (FsResult r = fs.ListDirectory(dir, entries); !r.ok())
        throw AlberoError(FsErrorText(r));
    return entries;
}

// Stores one entry; at capacity tells the observer and marks the list cut.
bool StoreEntry(std::string entry, MeasureObserver& observer)
{
    TreeState& s = State();
    if (s.entries.size() >= s.capacity) {
        s.cut = true;
        observer.TreeListFull();
        return false;
    }
    s.entries.push_back(std::move(entry));
    return true;
}

// Pre-order walk of the directory whose path with its trailing "/" is prefix. The directory is read whole
// before anything below it is walked, so no handle is held per level. Returns false once the list is full.
bool WalkList(FileSystem& fs, const std::string& prefix, MeasureObserver& observer)
{
    for (const DirEntry& entry : List(fs, prefix)) {
        ProcessMessages(observer);
        if (entry.kind == EntryKind::Directory) {
            std::string path = prefix + entry.name + '/';
            if (!StoreEntry(path, observer) || !WalkList(fs, path, observer))
                return false;
        } else if (!StoreEntry(prefix + entry.name, observer)) {
            return false;
        }
    }
    return true;
}

std::int64_t CountWalk(FileSystem& fs, const std::string& prefix, MeasureObserver& observer)
{
    std::int64_t files = 0;
    for (const DirEntry& entry : List(fs, prefix)) {
        ProcessMessages(observer);
        files += entry.kind == EntryKind::Directory ? CountWalk(fs, prefix + entry.name + '/', observer) : 1;
    }
    return files;
}

const char* StepText(FsStep step)
{
    switch (step) {
    case FsStep::List:
        return "Impossibile leggere la directory";
    case FsStep::Open:
        return "Impossibile aprire il file";
    case FsStep::Measure:
        return "Impossibile misurare il file";
    case FsStep::Read:
        return "Errore di lettura";
    case FsStep::Create:
        return "Impossibile creare il file";
    case FsStep::Write:
        return "Errore di scrittura";
    case FsStep::MakeDirectory:
        return "Impossibile creare la directory";
    case FsStep::Remove:
        return "Impossibile rimuovere";
    case FsStep::Resolve:
        return "Impossibile risolvere il percorso";
    case FsStep::ChangeDirectory:
        return "Impossibile aprire la directory";
    case FsStep::Sync:
        return "Impossibile scrivere i dati su";
    }
    return "Errore";
}

const char* ReasonText(int error)
{
    switch (error) {
    case NotRegularFile:
        return "non è un file regolare";
    case ShorterThanExpected:
        return "il file è più corto del previsto";
    case SameFileAsSource:
        return "è lo stesso file dell'origine";
    default:
        return std::strerror(error);
    }
}

}  // namespace

std::string FsErrorText(const FsResult& result)
{
    std::string text = StepText(result.step);
    text += " \"";
    text += result.path;
    text += "\": ";
    text += ReasonText(result.error);
    return text;
}

bool BuildTreeList(FileSystem& fs, std::string sourceDir, MeasureObserver& observer, std::size_t capacity)
{
    TreeState& s = State();
    s.entries.clear();
    s.cursor = 0;
    s.cut = false;
    s.capacity = capacity;
    if (!sourceDir.empty() && sourceDir.back() != '/')
        sourceDir += '/';
    WalkList(fs, sourceDir, observer);
    s.cursor = 0;
    return !s.cut;
}

bool TreeListWasCut()
{
    return State().cut;
}

std::size_t TreeEntryCount()
{
    return State().entries.size();
}

std::int64_t SumTreeSizes(FileSystem& fs, MeasureObserver& observer)
{
    // By index: the observer may run code that empties the list (the window closing).
    const auto& entries = State().entries;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].back() != '/')
            total += FileSizeOf(fs, entries[i]);
        ProcessMessages(observer);
    }
    return total;
}

std::int64_t CountTreeFiles(FileSystem& fs, std::string sourceDir, MeasureObserver& observer)
{
    while (sourceDir.size() > 1 && sourceDir.back() == '/')
        sourceDir.pop_back();
    if (FsResult r = fs.ChangeDirectory(sourceDir); !r.ok())
        throw AlberoError(FsErrorText(r));
    if (sourceDir != "/")
        sourceDir += '/';
    return CountWalk(fs, sourceDir, observer);
}

std::int64_t FileSizeOf(FileSystem& fs, const std::string& path)
{
    std::int64_t size = 0;
    if (FsResult r = fs.FileSize(path, size); !r.ok())
        throw AlberoError(FsErrorText(r));
    return size;
}

void ResetTreeCursor()
{
    State().cursor = 0;
}

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

std::int64_t CopyFileStream(FileSystem& fs, const std::string& source, const std::string& target)
{
    std::int64_t copied = 0;
    if (FsResult r = fs.CopyFile(source, target, copied); !r.ok())
        throw AlberoError(FsErrorText(r));
    return copied;
}

std::string FormatThousands(std::int64_t value, const QLocale& locale)
{
    // Qt's system locale for "C" or "POSIX" groups with ","; the C library's C locale has no separator.
    if (locale.language() == QLocale::C)
        return std::to_string(value);
    QLocale grouping = locale;
    grouping.setNumberOptions(grouping.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouping.toString(static_cast<qlonglong>(value)).toStdString();
}

std::string LeftChars(std::string_view s, std::size_t n)
{
    return std::string(s.substr(0, n));
}

std::string RightChars(std::string_view s, std::size_t n)
{
    return std::string(n >= s.size() ? s : s.substr(s.size() - n));
}

}  // namespace travaso
