#pragma once
// A private profile file: "[section]" lines followed by "key=value" lines, single-byte text with CR LF
// line ends. Sections and keys match without regard to ASCII case; a value is returned exactly as it
// is stored after the "="; a write changes one value and keeps every other line; a missing file or
// section is created on write. Every write replaces the file atomically.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace aracnide {

// The text of a profile, parsed once: what one operation reads and changes.
class ProfileText {
public:
    // Lines end at LF; a CR before it is dropped.
    static ProfileText Parse(std::string_view bytes);
    // The file's bytes: every line followed by CR LF.
    std::string Serialize() const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Sets one value. A value never carries a line break into the file: it is cut at its first CR or LF.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    // Every key=value of a section, in file order (the first section of that name).
    std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;

    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// A stored value as a number: its leading decimal digits (after blanks and a "-"), 0 when it has
// none, clamped to the range of int.
int ProfileInt(std::string_view value);

// A value as it is stored: cut at its first CR or LF.
std::string_view StoredValue(std::string_view value);

class Profile {
public:
    // `secretKeys`: (section, key) pairs whose non-empty value makes the file readable by its owner only.
    explicit Profile(std::string path, std::vector<std::pair<std::string, std::string>> secretKeys = {});

    const std::string& Path() const { return path_; }

    // The whole file, read once (empty when it is missing or unreadable).
    ProfileText Read() const;

    // The stored value, cut to `maxLength` bytes; `def` when the file, section or key is missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          size_t maxLength = 250) const;
    // The value's leading decimal number (see ProfileInt); `def` when the key is missing.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // Writes one value; false with `error` set (the system's text) when the file cannot be replaced.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);
    // Writes several values of one section with a single replacement of the file.
    bool WriteValues(std::string_view section, const std::vector<std::pair<std::string, std::string>>& values);
    const std::string& LastError() const { return error_; }

private:
    bool Save(const ProfileText& text);
    bool HoldsSecret(const ProfileText& text) const;

    std::string path_;
    std::vector<std::pair<std::string, std::string>> secretKeys_;
    std::string error_;
};

}  // namespace aracnide
