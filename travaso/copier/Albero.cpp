#include "Albero.h"

#include <cstring>
#include <utility>
#include <vector>

namespace travaso {

namespace {

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

// Gathers the entries of one walk up to its capacity.
class ListWalk {
public:
    ListWalk(FileSystem& fs, TreeList& list, MeasureObserver& observer, std::size_t capacity)
        : fs_(fs),
          list_(list),
          observer_(observer),
          capacity_(capacity)
    {}

    // Pre-order walk of the folder at relative path rel ("" for the listed folder itself). The folder is read
    // whole before anything below it is walked, so no handle is held per level. Returns false once the list
    // is full.
    bool Walk(const std::string& rel)
    {
        const std::string prefix = rel.empty() ? rel : rel + '/';
        for (const DirEntry& entry : List(fs_, list_.source + prefix)) {
            ProcessMessages(observer_);
            const std::string path = prefix + entry.name;
            if (!Store(path, entry.kind))
                return false;
            if (entry.kind == EntryKind::Directory && !Walk(path))
                return false;
        }
        return true;
    }

private:
    // Stores one entry; at capacity tells the observer and marks the list cut.
    bool Store(const std::string& path, EntryKind kind)
    {
        if (list_.entries.size() >= capacity_) {
            list_.cut = true;
            observer_.TreeListFull();
            return false;
        }
        list_.entries.push_back({path, kind, 0});
        return true;
    }

    FileSystem& fs_;
    TreeList& list_;
    MeasureObserver& observer_;
    std::size_t capacity_;
};

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

TreeList BuildTreeList(FileSystem& fs, std::string sourceDir, MeasureObserver& observer, std::size_t capacity)
{
    if (!sourceDir.empty() && sourceDir.back() != '/')
        sourceDir += '/';
    TreeList list;
    list.source = std::move(sourceDir);
    ListWalk(fs, list, observer, capacity).Walk({});
    return list;
}

std::int64_t SumTreeSizes(FileSystem& fs, TreeList& list, MeasureObserver& observer)
{
    std::int64_t total = 0;
    for (TreeEntry& entry : list.entries) {
        if (entry.kind == EntryKind::File) {
            entry.size = FileSizeOf(fs, list.PathOf(entry));
            total += entry.size;
        }
        ProcessMessages(observer);
    }
    return total;
}

std::int64_t CountTreeFiles(FileSystem& fs, std::string sourceDir, MeasureObserver& observer)
{
    if (!sourceDir.empty() && sourceDir.back() != '/')
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

}  // namespace travaso
