#include "CopyJob.h"

#include <algorithm>
#include <cerrno>

namespace travaso {

namespace {

// p without its trailing "/" ("/" stays): a trailing "/" would make lstat and unlink follow a final link.
std::string NoSlash(std::string p)
{
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return p;
}

std::string WithSlash(std::string p)
{
    if (p.empty() || p.back() != '/')
        p += '/';
    return p;
}

std::string Parent(const std::string& path)
{
    const std::string p = NoSlash(path);
    const auto slash = p.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

// The real path of path, whose last components may not exist yet: the existing part is resolved and the
// rest kept as written.
FsResult ResolveWhatExists(FileSystem& fs, const std::string& path, std::string& resolved)
{
    std::string existing = NoSlash(path);
    std::string rest;  // the missing part, each component with the "/" before it
    for (;;) {
        FsResult r = fs.RealPath(existing, resolved);
        if (r.ok()) {
            if (resolved == "/" && !rest.empty())
                resolved.clear();
            resolved += rest;
            return r;
        }
        if (r.error != ENOENT || existing == "/" || existing == ".")
            return r;
        const auto slash = existing.rfind('/');
        rest = (slash == std::string::npos ? "/" + existing : existing.substr(slash)) + rest;
        existing = slash == std::string::npos ? "." : slash == 0 ? "/" : existing.substr(0, slash);
    }
}

// Makes path and every missing parent; an existing folder, also through a link, is no error.
FsResult MakeDirectories(FileSystem& fs, const std::string& path)
{
    const std::string p = NoSlash(path);
    FsResult r = fs.MakeDirectory(p);
    if (r.ok())
        return r;
    if (r.error == EEXIST && fs.Kind(p, true) == PathKind::Directory)
        return {};
    if (r.error != ENOENT || p == "/")
        return r;
    if (FsResult up = MakeDirectories(fs, Parent(p)); !up.ok())
        return up;
    r = fs.MakeDirectory(p);
    if (r.error == EEXIST && fs.Kind(p, true) == PathKind::Directory)
        return {};
    return r;
}

// Makes a folder inside the target. A real folder already there is kept; a link standing there is replaced,
// so nothing is ever written through it to another place.
FsResult MakeTargetDirectory(FileSystem& fs, const std::string& path)
{
    const std::string p = NoSlash(path);
    FsResult r = fs.MakeDirectory(p);
    if (r.ok())
        return r;
    if (r.error == ENOENT)
        return MakeDirectories(fs, p);
    if (r.error != EEXIST)
        return r;
    switch (fs.Kind(p, false)) {
    case PathKind::Directory:
        return {};
    case PathKind::Link:
        if (FsResult removed = fs.RemoveFile(p); !removed.ok())
            return removed;
        return fs.MakeDirectory(p);
    default:
        return r;
    }
}

// The nearest folder at or above path that exists: the file system the copy will write to.
std::string ExistingAncestor(FileSystem& fs, const std::string& path)
{
    std::string p = NoSlash(path);
    while (p != "/" && p != "." && fs.Kind(p, true) != PathKind::Directory)
        p = Parent(p);
    return p;
}

}  // namespace

DescriptiveText ReadDescriptiveText(FileSystem& fs, const std::string& dir)
{
    DescriptiveText text;
    for (const char* name : {"testo.rtf", "testo.txt"}) {
        const FsResult r = fs.ReadRegularFile(WithSlash(dir) + name, DescriptiveTextLimit, text.data);
        if (r.ok())
            return text;
        text.data.clear();
        if (r.error == ENOENT || r.error == NotRegularFile)
            continue;
        text.error = FsErrorText(r);
        return text;
    }
    return text;
}

std::string FindOverlap(FileSystem& fs, const std::string& source, const std::string& target)
{
    std::string realSource, realTarget;
    if (FsResult r = fs.RealPath(NoSlash(source), realSource); !r.ok())
        return FsErrorText(r);
    if (FsResult r = ResolveWhatExists(fs, target, realTarget); !r.ok())
        return FsErrorText(r);
    const std::string s = WithSlash(realSource), t = WithSlash(realTarget);
    const std::string named = "La directory di destinazione \"" + target + "\" ";
    if (s == t)
        return named + "è la directory di origine";
    if (t.starts_with(s))
        return named + "si trova dentro la directory di origine \"" + source + "\"";
    if (s.starts_with(t))
        return named + "contiene la directory di origine \"" + source + "\"";
    // The same folder can have two paths (a bind mount): the folders themselves are compared too.
    const std::string sourceReal = NoSlash(realSource), targetReal = NoSlash(realTarget);
    FileIdentity sourceId, targetId, id;
    if (fs.Identify(sourceReal, sourceId).ok()) {
        for (std::string p = targetReal;; p = Parent(p)) {
            if (fs.Identify(p, id).ok() && id == sourceId)
                return p == targetReal ? named + "è la directory di origine"
                                       : named + "si trova dentro la directory di origine \"" + source + "\"";
            if (p == "/")
                break;
        }
    }
    if (fs.Identify(targetReal, targetId).ok()) {
        for (std::string p = sourceReal; p != "/";) {
            p = Parent(p);
            if (fs.Identify(p, id).ok() && id == targetId)
                return named + "contiene la directory di origine \"" + source + "\"";
        }
    }
    return {};
}

MeasureOutcome MeasureSource(FileSystem& fs, const CopierPaths& paths, MeasureObserver& observer, std::size_t capacity)
{
    MeasureOutcome outcome;
    try {
        if (FsResult r = fs.Confine({paths.source}); !r.ok())
            throw AlberoError(FsErrorText(r));
        Measurement m;
        m.tree = BuildTreeList(fs, paths.source, observer, capacity);
        m.total = SumTreeSizes(fs, m.tree, observer);
        m.fileCount = CountTreeFiles(fs, paths.source, observer);
        m.executableSize = FileSizeOf(fs, paths.executable);
        // The program is taken off only when the list reached it.
        const bool executableListed =
            std::any_of(m.tree.entries.begin(), m.tree.entries.end(),
                        [&](const TreeEntry& e) { return m.tree.PathOf(e) == paths.executable; });
        m.required = m.total - (executableListed ? m.executableSize : 0);
        m.free = fs.FreeSpace(paths.targetRoot);
        outcome.measurement = std::move(m);
    } catch (const AlberoError& e) {
        outcome.error = e.what();
    } catch (const MeasuringStopped&) {
        outcome.stopped = true;
    }
    return outcome;
}

CopyOutcome RunCopy(FileSystem& fs, const CopierPaths& paths, const TreeList& tree, CopyObserver& observer)
{
    const auto stop = [](std::string error) { return CopyOutcome{CopyEnd::Stopped, std::move(error)}; };
    if (std::string overlap = FindOverlap(fs, paths.source, paths.target); !overlap.empty())
        return stop(overlap);

    // Opened before the first byte is written, so the flush at the end reports every write-back error of the run.
    std::unique_ptr<SyncHandle> sync;
    if (FsResult r = fs.OpenSyncHandle(ExistingAncestor(fs, paths.target), sync); !r.ok())
        return stop(FsErrorText(r));
    // What is copied is what lies inside the source now: a folder replaced by a link since the measuring
    // is refused, not followed.
    if (FsResult r = fs.Confine({paths.source}); !r.ok())
        return stop(FsErrorText(r));

    if (fs.Kind(NoSlash(paths.target), true) == PathKind::Directory) {
        observer.TargetExisted(paths.target);
    } else {
        if (FsResult r = MakeDirectories(fs, paths.target); !r.ok())
            return stop(FsErrorText(r));
        observer.DirectoryCreated(paths.target);
    }
    if (FsResult r = fs.Confine({paths.source, paths.target}); !r.ok())
        return stop(FsErrorText(r));

    try {
        std::int32_t copied = 0;
        for (const TreeEntry& e : tree.entries) {
            const std::string entry = tree.PathOf(e);
            const std::string target = TargetPathFor(paths.target, entry, paths.source);
            if (e.kind == EntryKind::Directory) {
                if (FsResult r = MakeTargetDirectory(fs, target); !r.ok())
                    return stop(FsErrorText(r));
                observer.DirectoryCreated(target);
            } else if (entry != paths.executable) {
                const std::int64_t bytes = CopyFileStream(fs, entry, target);
                observer.FileCopied(entry, bytes, ++copied);
            }
        }
    } catch (const AlberoError& e) {
        return stop(e.what());
    }

    // Users remove the medium as soon as the copy says it is done: the data must be on it by then.
    if (FsResult r = sync->Sync(); !r.ok())
        return stop(FsErrorText(r));
    return {tree.cut ? CopyEnd::Incomplete : CopyEnd::Completed, {}};
}

}  // namespace travaso
