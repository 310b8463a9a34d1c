#pragma once

// The real file system under a test's temporary folder, with scripted failures: any call on a path can be
// made to fail with any error number, the free space can be set, and every call is recorded in order.

#include "FileSystem_posix.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace travaso {

enum class FsCall { List, FileSize, MakeDirectory, RemoveFile, CopyFile, ReadFile, RealPath, OpenSync, Sync };

class FakeFileSystem : public FileSystem {
public:
    // The call on a path containing pathPart fails with error (and step, for the message), after skip
    // successful matching calls; it keeps failing after that.
    void Fail(FsCall call, std::string pathPart, int error, FsStep step, int skip = 0)
    {
        rules_.push_back({call, std::move(pathPart), error, step, skip});
    }

    std::optional<std::int64_t> freeSpace;  // the real figure when unset
    // Identify answers for a key path as for its value: two names of one folder, as a bind mount makes.
    std::map<std::string, std::string> sameFolderAs;

    struct Record {
        FsCall call;
        std::string path;
    };
    std::vector<Record> calls;

    int Count(FsCall call) const
    {
        int n = 0;
        for (const Record& r : calls)
            n += r.call == call;
        return n;
    }
    // Index in calls of the first call of this kind, or -1.
    int First(FsCall call) const
    {
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (calls[i].call == call)
                return int(i);
        return -1;
    }

    FsResult ListDirectory(const std::string& dir, std::vector<DirEntry>& entries) override
    {
        if (auto r = Scripted(FsCall::List, dir))
            return *r;
        return real_.ListDirectory(dir, entries);
    }
    FsResult FileSize(const std::string& path, std::int64_t& size) override
    {
        if (auto r = Scripted(FsCall::FileSize, path))
            return *r;
        return real_.FileSize(path, size);
    }
    PathKind Kind(const std::string& path, bool followLinks) override { return real_.Kind(path, followLinks); }
    FsResult MakeDirectory(const std::string& path) override
    {
        if (auto r = Scripted(FsCall::MakeDirectory, path))
            return *r;
        return real_.MakeDirectory(path);
    }
    FsResult RemoveFile(const std::string& path) override
    {
        if (auto r = Scripted(FsCall::RemoveFile, path))
            return *r;
        return real_.RemoveFile(path);
    }
    FsResult CopyFile(const std::string& source, const std::string& target, std::int64_t& copied) override
    {
        if (auto r = Scripted(FsCall::CopyFile, source + " -> " + target))
            return *r;
        return real_.CopyFile(source, target, copied);
    }
    FsResult ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& data) override
    {
        if (auto r = Scripted(FsCall::ReadFile, path))
            return *r;
        return real_.ReadRegularFile(path, maxBytes, data);
    }
    FsResult RealPath(const std::string& path, std::string& resolved) override
    {
        if (auto r = Scripted(FsCall::RealPath, path))
            return *r;
        return real_.RealPath(path, resolved);
    }
    std::int64_t FreeSpace(const std::string& path) override { return freeSpace ? *freeSpace : real_.FreeSpace(path); }
    FsResult OpenSyncHandle(const std::string& path, std::unique_ptr<SyncHandle>& handle) override
    {
        if (auto r = Scripted(FsCall::OpenSync, path))
            return *r;
        std::unique_ptr<SyncHandle> real;
        if (FsResult r = real_.OpenSyncHandle(path, real); !r.ok())
            return r;
        handle = std::make_unique<FakeSync>(*this, std::move(real), path);
        return {};
    }

    FsResult Identify(const std::string& path, FileIdentity& identity) override
    {
        std::string p = path;
        while (p.size() > 1 && p.back() == '/')
            p.pop_back();
        const auto alias = sameFolderAs.find(p);
        return real_.Identify(alias == sameFolderAs.end() ? path : alias->second, identity);
    }
    FsResult Confine(const std::vector<std::string>& dirs) override { return real_.Confine(dirs); }

private:
    struct Rule {
        FsCall call;
        std::string pathPart;
        int error;
        FsStep step;
        int skip;
    };

    class FakeSync : public SyncHandle {
    public:
        FakeSync(FakeFileSystem& fs, std::unique_ptr<SyncHandle> real, std::string path)
            : fs_(fs),
              real_(std::move(real)),
              path_(std::move(path))
        {}
        FsResult Sync() override
        {
            if (auto r = fs_.Scripted(FsCall::Sync, path_))
                return *r;
            return real_->Sync();
        }

    private:
        FakeFileSystem& fs_;
        std::unique_ptr<SyncHandle> real_;
        std::string path_;
    };

    std::optional<FsResult> Scripted(FsCall call, const std::string& path)
    {
        calls.push_back({call, path});
        for (Rule& rule : rules_) {
            if (rule.call != call || path.find(rule.pathPart) == std::string::npos)
                continue;
            if (rule.skip > 0) {
                --rule.skip;
                continue;
            }
            // A copy names its source for a failure to read it, its target otherwise.
            const auto arrow = path.find(" -> ");
            if (arrow == std::string::npos)
                return FsResult::Failed(rule.error, rule.step, path);
            const bool reading = rule.step == FsStep::Open || rule.step == FsStep::Read || rule.step == FsStep::Measure;
            return FsResult::Failed(rule.error, rule.step, reading ? path.substr(0, arrow) : path.substr(arrow + 4));
        }
        return std::nullopt;
    }

    PosixFileSystem real_;
    std::vector<Rule> rules_;
};

}  // namespace travaso
