#include "profile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IEquals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The name of a "[section]" line, or nothing for another line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// Whether a "key=value" line holds `key`.
bool IsKey(std::string_view line, std::string_view key)
{
    const size_t eq = line.find('=');
    return eq != std::string_view::npos && IEquals(Trim(line.substr(0, eq)), key);
}

// Where a section's lines lie: [first, end) after its header; first is npos when it is missing.
struct Span {
    size_t header = std::string::npos;
    size_t end = 0;
};

Span FindSection(const std::vector<std::string>& lines, std::string_view section)
{
    Span s;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (!name)
            continue;
        if (s.header != std::string::npos) {
            s.end = i;
            return s;
        }
        if (IEquals(*name, section))
            s.header = i;
    }
    s.end = lines.size();
    return s;
}

std::optional<std::string> Find(const std::vector<std::string>& lines, std::string_view section,
                                std::string_view key)
{
    const Span s = FindSection(lines, section);
    if (s.header == std::string::npos)
        return std::nullopt;
    for (size_t i = s.header + 1; i < s.end; ++i)
        if (IsKey(lines[i], key))
            return lines[i].substr(lines[i].find('=') + 1);
    return std::nullopt;
}

}  // namespace

Profile::Profile(std::string path, std::vector<std::pair<std::string, std::string>> secretKeys)
    : path_(std::move(path)), secretKeys_(std::move(secretKeys))
{
}

std::vector<std::string> Profile::Load() const
{
    std::vector<std::string> lines;
    std::ifstream in(path_, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string Profile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               size_t maxLength) const
{
    const auto value = Find(Load(), section, key);
    std::string out = value ? *value : std::string(def);
    if (out.size() > maxLength)
        out.resize(maxLength);
    return out;
}

int Profile::GetInt(std::string_view section, std::string_view key, int def) const
{
    const auto value = Find(Load(), section, key);
    if (!value)
        return def;
    const std::string_view v = Trim(*value);
    long n = 0;
    size_t i = 0;
    const bool negative = !v.empty() && v[0] == '-';
    if (negative)
        ++i;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9' && n < 1000000000L; ++i)
        n = n * 10 + (v[i] - '0');
    return static_cast<int>(negative ? -n : n);
}

bool Profile::WriteInt(std::string_view section, std::string_view key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    std::vector<std::string> lines = Load();
    std::string entry = std::string(key) + "=" + std::string(value);
    const Span s = FindSection(lines, section);
    if (s.header == std::string::npos) {
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(std::move(entry));
    } else {
        size_t insertAt = s.header + 1;  // after the section's last non-blank line
        bool replaced = false;
        for (size_t i = s.header + 1; i < s.end; ++i) {
            if (IsKey(lines[i], key)) {
                // Keep the key as it is written in the file; only the value changes.
                lines[i] = lines[i].substr(0, lines[i].find('=') + 1) + std::string(value);
                replaced = true;
                break;
            }
            if (!Trim(lines[i]).empty())
                insertAt = i + 1;
        }
        if (!replaced)
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
    }
    return Save(lines);
}

bool Profile::HoldsSecret(const std::vector<std::string>& lines) const
{
    for (const auto& [section, key] : secretKeys_) {
        const auto value = Find(lines, section, key);
        if (value && !value->empty())
            return true;
    }
    return false;
}

bool Profile::Save(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    // The new text goes to a fresh file beside the old one, created with its final permissions (a
    // secret is never readable by others, not even for a moment), then takes the old one's place.
    const bool secret = HoldsSecret(lines);
    std::string tmp = path_ + ".XXXXXX";
    const int fd = mkstemp(tmp.data());  // mode 0600
    if (fd < 0) {
        error_ = std::strerror(errno);
        return false;
    }
    bool ok = true;
    if (!secret) {
        // Without a secret the file keeps the permissions it had, or gets the usual ones when new.
        struct stat old{};
        mode_t mode;
        if (stat(path_.c_str(), &old) == 0) {
            mode = old.st_mode & 0777;
        } else {
            const mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        ok = fchmod(fd, mode) == 0;
    }
    for (size_t done = 0; ok && done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && rename(tmp.c_str(), path_.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(tmp.c_str());
        error_ = std::strerror(err);
        return false;
    }
    return true;
}
