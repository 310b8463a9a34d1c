#pragma once
// Helpers shared by the link checker's tests: a temporary folder and a page held in memory.

#include "pagescan.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace aracnide {

class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "aracnide-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            throw std::runtime_error("mkdtemp");
        path_ = tmpl;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    // The folder with its final "/".
    std::string Path() const { return path_.string() + "/"; }
    void Write(const std::string& name, const std::string& text) const
    {
        std::filesystem::create_directories((path_ / name).parent_path());
        std::ofstream(path_ / name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

// A page served from memory in reads of the given sizes (the last size repeats).
class MemoryReader : public PageReader {
public:
    MemoryReader(std::string text, std::vector<size_t> sizes) : text_(std::move(text)), sizes_(std::move(sizes)) {}
    long Read(char* buffer, size_t size, ErrorInfo&) override
    {
        size_t n = sizes_.empty() ? size : sizes_[std::min(reads_, sizes_.size() - 1)];
        ++reads_;
        n = std::min({n, size, text_.size() - pos_});
        std::copy_n(text_.data() + pos_, n, buffer);
        pos_ += n;
        return static_cast<long>(n);
    }

private:
    std::string text_;
    std::vector<size_t> sizes_;
    size_t reads_ = 0;
    size_t pos_ = 0;
};

// A clock that only moves when the engine waits: waits are recorded and pass at once.
class FakeClock : public Clock {
public:
    TimePoint Now() const override { return now; }
    void Wait(std::chrono::milliseconds span, const std::function<void()>& yield) override
    {
        waits.push_back(span);
        if (yield)
            yield();
        now += span;
    }
    TimePoint now{};
    std::vector<std::chrono::milliseconds> waits;
};

// The texts of the check list's entries.
inline std::vector<std::string> Entries(const RunContext& ctx)
{
    std::vector<std::string> out;
    for (int i = 0; i < ctx.model.Count(); ++i)
        out.push_back(ctx.model.At(i).text);
    return out;
}

// Tuesday 8 December 2026 at the given time, for report headers.
inline std::tm Date(int hour, int min, int sec)
{
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_wday = 2;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    return t;
}

}  // namespace aracnide
