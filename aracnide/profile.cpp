#include "profile.h"

#include "localfile.h"
#include "numbers.h"
#include "text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace aracnide {

namespace {

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

std::optional<std::string> Find(const std::vector<std::string>& lines, std::string_view section, std::string_view key)
{
    const Span s = FindSection(lines, section);
    if (s.header == std::string::npos)
        return std::nullopt;
    for (size_t i = s.header + 1; i < s.end; ++i)
        if (IsKey(lines[i], key))
            return lines[i].substr(lines[i].find('=') + 1);
    return std::nullopt;
}

// The file's bytes; empty when it is missing, unreadable, larger than a settings file may be, or not a
// regular file (a FIFO is never opened for a blocking read).
std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    ErrorInfo err;
    if (!ReadWholeFile(PosixFileSystem::Instance(), path, bytes, err))
        bytes.clear();
    return bytes;
}

}  // namespace

std::string_view StoredValue(std::string_view value)
{
    return value.substr(0, value.find_first_of("\r\n"));
}

int ProfileInt(std::string_view value)
{
    return static_cast<int>(LeadingNumber(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0));
}

ProfileText ProfileText::Parse(std::string_view bytes)
{
    ProfileText t;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        t.lines_.emplace_back(line);
        pos = end + 1;
    }
    return t;
}

std::string ProfileText::Serialize() const
{
    std::string bytes;
    for (const auto& line : lines_) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::optional<std::string> ProfileText::Get(std::string_view section, std::string_view key) const
{
    return Find(lines_, section, key);
}

std::vector<std::pair<std::string, std::string>> ProfileText::Entries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    const Span s = FindSection(lines_, section);
    if (s.header == std::string::npos)
        return out;
    for (size_t i = s.header + 1; i < s.end; ++i) {
        const size_t eq = lines_[i].find('=');
        if (eq != std::string::npos)
            out.emplace_back(std::string(Trim(std::string_view(lines_[i]).substr(0, eq))), lines_[i].substr(eq + 1));
    }
    return out;
}

void ProfileText::Set(std::string_view section, std::string_view key, std::string_view rawValue)
{
    const std::string_view value = StoredValue(rawValue);
    std::string entry = std::string(key) + "=" + std::string(value);
    const Span s = FindSection(lines_, section);
    if (s.header == std::string::npos) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(entry));
        return;
    }
    size_t insertAt = s.header + 1;  // after the section's last non-blank line
    for (size_t i = s.header + 1; i < s.end; ++i) {
        if (IsKey(lines_[i], key)) {
            // Keep the key as it is written in the file; only the value changes.
            lines_[i] = lines_[i].substr(0, lines_[i].find('=') + 1) + std::string(value);
            return;
        }
        if (!Trim(lines_[i]).empty())
            insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(entry));
}

Profile::Profile(std::string path, std::vector<std::pair<std::string, std::string>> secretKeys)
    : path_(std::move(path)),
      secretKeys_(std::move(secretKeys))
{}

ProfileText Profile::Read() const
{
    return ProfileText::Parse(ReadBytes(path_));
}

std::string Profile::GetString(std::string_view section, std::string_view key, std::string_view def,
                               size_t maxLength) const
{
    const auto value = Read().Get(section, key);
    std::string out = value ? *value : std::string(def);
    if (out.size() > maxLength)
        out.resize(maxLength);
    return out;
}

int Profile::GetInt(std::string_view section, std::string_view key, int def) const
{
    const auto value = Read().Get(section, key);
    return value ? ProfileInt(*value) : def;
}

bool Profile::WriteInt(std::string_view section, std::string_view key, int value)
{
    return WriteString(section, key, std::to_string(value));
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    ProfileText text = Read();
    text.Set(section, key, value);
    return Save(text);
}

bool Profile::WriteValues(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values)
{
    ProfileText text = Read();
    for (const auto& [key, value] : values)
        text.Set(section, key, value);
    return Save(text);
}

bool Profile::HoldsSecret(const ProfileText& text) const
{
    for (const auto& [section, key] : secretKeys_) {
        const auto value = text.Get(section, key);
        if (value && !value->empty())
            return true;
    }
    return false;
}

bool Profile::Save(const ProfileText& text)
{
    const std::string bytes = text.Serialize();
    // Whether it holds a secret is decided on the bytes as they will be read back: such a file is
    // never readable by others, not even for a moment.
    return ReplaceFile(path_, bytes, HoldsSecret(ProfileText::Parse(bytes)), error_);
}

}  // namespace aracnide
