// The settings file's reader and writer over hostile files: reading never fails or takes long, numbers
// are clamped, and a value written reads back as it was stored while every other value stays as it was.
// Input: the file's bytes, then (after the last 0 byte) a selector and the value to write.

#include "profile.h"
#include "settings.h"
#include "text.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>

using namespace aracnide;

namespace {

constexpr std::array<std::pair<const char*, const char*>, 8> kKeys{{
    {"Init", "URL"},
    {"Init", "szPass"},
    {"init", "TIMEOUT"},
    {"Init", "bRLS"},
    {"UrlList", "UrlNumber"},
    {"UrlList", "url1"},
    {"URLLIST", "url2"},
    {"Other", "k"},
}};

// The number as the reader must give it: its leading digits, clamped to int.
int Reference(std::string_view v)
{
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t'))
        v.remove_prefix(1);
    bool negative = false;
    if (!v.empty() && v.front() == '-') {
        negative = true;
        v.remove_prefix(1);
    }
    long long n = 0;
    for (char ch : v) {
        if (ch < '0' || ch > '9')
            break;
        n = std::min<long long>(n * 10 + (ch - '0'), 1LL << 40);
    }
    n = negative ? -n : n;
    return static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
}

// A private file for the readers that take a path.
const std::string& Scratch()
{
    static const std::string path = [] {
        // In memory where possible: rewriting a file on disk tens of thousands of times a second would
        // wait for the disk.
        for (const char* dir : {"/dev/shm", "/tmp"}) {
            std::string name = std::string(dir) + "/aracnide-settings-fuzz-XXXXXX";
            const int fd = mkstemp(name.data());
            if (fd >= 0) {
                close(fd);
                return name;
            }
        }
        return std::string("/tmp/aracnide-settings-fuzz");
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t zero = input.rfind('\0');
    const std::string_view bytes = input.substr(0, zero == std::string_view::npos ? input.size() : zero);
    std::string_view tail = zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);
    const size_t which = tail.empty() ? 0 : static_cast<unsigned char>(tail.front()) % kKeys.size();
    const std::string_view value = tail.empty() ? tail : tail.substr(1);

    ProfileText text = ProfileText::Parse(bytes);
    // Reading back what was written gives the same lines.
    if (ProfileText::Parse(text.Serialize()).Lines() != text.Lines())
        std::abort();
    for (const auto& [section, key] : kKeys)
        if (const auto v = text.Get(section, key); v && ProfileInt(*v) != Reference(*v))
            std::abort();

    std::array<std::optional<std::string>, kKeys.size()> before;
    for (size_t k = 0; k < kKeys.size(); ++k)
        before[k] = text.Get(kKeys[k].first, kKeys[k].second);
    text.Set(kKeys[which].first, kKeys[which].second, value);
    const ProfileText back = ProfileText::Parse(text.Serialize());
    for (size_t k = 0; k < kKeys.size(); ++k) {
        const auto now = back.Get(kKeys[k].first, kKeys[k].second);
        const bool same = IEquals(kKeys[k].first, kKeys[which].first) && IEquals(kKeys[k].second, kKeys[which].second);
        if (same ? now != std::string(StoredValue(value)) : now != before[k])
            std::abort();
    }

    // The readers that take the file: once per operation, bounded whatever "UrlNumber" says.
    {
        const int fd = open(Scratch().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd >= 0) {
            [[maybe_unused]] const ssize_t n = write(fd, bytes.data(), bytes.size());
            close(fd);
        }
        const Profile ini = SettingsProfile(Scratch());
        const std::vector<std::string> history = LoadHistory(ini);
        if (history.size() > kMaxHistory)
            std::abort();
        for (const auto& item : history)
            if (item.empty() || item.size() > 250)
                std::abort();
        (void)LoadDialogSettings(ini);
        (void)LoadMaxLevel(ini);
    }
    return 0;
}
