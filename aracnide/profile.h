#pragma once
// A private profile file: "[section]" lines followed by "key=value" lines, single-byte text with CR LF
// line ends. Sections and keys match without regard to ASCII case; a value is returned exactly as it
// is stored after the "="; a write changes one value and keeps every other line; a missing file or
// section is created on write. Every write replaces the file atomically.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class Profile {
public:
    // `secretKeys`: (section, key) pairs whose non-empty value makes the file readable by its owner only.
    explicit Profile(std::string path, std::vector<std::pair<std::string, std::string>> secretKeys = {});

    const std::string& Path() const { return path_; }

    // The stored value, cut to `maxLength` bytes; `def` when the file, section or key is missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view def,
                          size_t maxLength = 250) const;
    // The value's leading decimal number (0 when it has none); `def` when the key is missing.
    int GetInt(std::string_view section, std::string_view key, int def) const;

    // Writes one value; false with `error` set (the system's text) when the file cannot be replaced.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInt(std::string_view section, std::string_view key, int value);
    const std::string& LastError() const { return error_; }

private:
    std::vector<std::string> Load() const;
    bool Save(const std::vector<std::string>& lines);
    bool HoldsSecret(const std::vector<std::string>& lines) const;

    std::string path_;
    std::vector<std::pair<std::string, std::string>> secretKeys_;
    std::string error_;
};
