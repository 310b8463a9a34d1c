#pragma once
// Local files held in memory, for tests of what reads them: each path gives its bytes or an errno.

#include "localfile.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace aracnide {

class FakeFiles : public FileSystem {
public:
    struct File {
        std::string bytes;
        int openError = 0;  // errno of the open (ENOENT, EISDIR, ...)
        FileId id{};
    };
    std::map<std::string, File> files;

    std::unique_ptr<InputFile> Open(const std::string& path, ErrorInfo& err) override
    {
        const auto it = files.find(path);
        if (it == files.end() || it->second.openError) {
            err = SystemError(it == files.end() ? ENOENT : it->second.openError);
            return nullptr;
        }
        return std::make_unique<Reader>(it->second);
    }

private:
    class Reader : public InputFile {
    public:
        explicit Reader(const File& f) : f_(f) {}
        FileId Id() const override { return f_.id; }
        uint64_t Size() const override { return f_.bytes.size(); }
        long Read(char* buffer, size_t size, ErrorInfo&) override
        {
            const size_t n = std::min(size, f_.bytes.size() - pos_);
            std::memcpy(buffer, f_.bytes.data() + pos_, n);
            pos_ += n;
            return static_cast<long>(n);
        }
        ErrorInfo Close() override { return {}; }

    private:
        const File& f_;
        size_t pos_ = 0;
    };
};

}  // namespace aracnide
