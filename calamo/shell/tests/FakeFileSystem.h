#pragma once

// The real file system with scripted failures: any call on a path can be made to fail with any error number,
// and every call is recorded in order. The recovery copies are written on a thread of their own, so the fake
// may be called from two threads at once.

#include "FileSystem.h"

#include <mutex>
#include <vector>

namespace calamo::testing {

enum class FsCall { Read, Write, Remove, Exists, MakeFolder, List };

class FakeFileSystem final : public FileSystem {
public:
    // Every call of this kind on a path that contains `pathPart` fails with `error` (an errno value): a read or
    // write returns the system's text for it, `exists` answers false, a listing comes back empty.
    void fail(FsCall call, QString pathPart, int error)
    {
        const std::lock_guard lock(mutex_);
        rules_.push_back({call, std::move(pathPart), error});
    }

    struct Record {
        FsCall call;
        QString path;
        friend bool operator==(const Record&, const Record&) = default;
    };
    std::vector<Record> calls() const
    {
        const std::lock_guard lock(mutex_);
        return calls_;
    }
    int count(FsCall call) const
    {
        int n = 0;
        for (const Record& record : calls())
            n += record.call == call;
        return n;
    }

    BytesResult readRegularFile(const QString& path, qsizetype maxBytes) override
    {
        if (const int error = scripted(FsCall::Read, path))
            return {std::nullopt, readError(path, error)};
        return real_.readRegularFile(path, maxBytes);
    }
    BytesResult readRegularFilePrefix(const QString& path, qsizetype maxBytes) override
    {
        if (const int error = scripted(FsCall::Read, path))
            return {std::nullopt, readError(path, error)};
        return real_.readRegularFilePrefix(path, maxBytes);
    }
    std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& bytes, LinkPolicy links) override
    {
        if (const int error = scripted(FsCall::Write, path))
            return writeError(path, error);
        return real_.writeFileAtomically(path, bytes, links);
    }
    std::optional<QString> removeFile(const QString& path) override
    {
        if (const int error = scripted(FsCall::Remove, path))
            return removeError(path, error);
        return real_.removeFile(path);
    }
    bool exists(const QString& path) override { return !scripted(FsCall::Exists, path) && real_.exists(path); }
    std::optional<QString> makePrivateFolder(const QString& path) override
    {
        if (const int error = scripted(FsCall::MakeFolder, path))
            return folderError(path, error);
        return real_.makePrivateFolder(path);
    }
    void restrictToOwner(const QString& path) override { real_.restrictToOwner(path); }
    QStringList listFiles(const QString& folder) override
    {
        if (scripted(FsCall::List, folder))
            return {};
        return real_.listFiles(folder);
    }

private:
    struct Rule {
        FsCall call;
        QString pathPart;
        int error;
    };

    // Records the call; the error number it is to fail with, or 0.
    int scripted(FsCall call, const QString& path)
    {
        const std::lock_guard lock(mutex_);
        calls_.push_back({call, path});
        for (const Rule& rule : rules_) {
            if (rule.call == call && path.contains(rule.pathPart))
                return rule.error;
        }
        return 0;
    }

    PosixFileSystem real_;
    mutable std::mutex mutex_;
    std::vector<Rule> rules_;
    std::vector<Record> calls_;
};

}  // namespace calamo::testing
