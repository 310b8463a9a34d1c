#pragma once

#include "KeyCodes.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace calamo {

class FileSystem;

// The key bindings and browser commands kept in "calamo.cfg". Entries are single-byte (Windows-1252) text.
struct Config {
    static constexpr int kShortcuts = 50;
    static constexpr std::size_t kShortcutLength = 3;
    static constexpr std::size_t kBrowserLength = 20;

    std::array<std::string, kShortcuts> ShortcutTable;  // entry n is ShortcutTable[n - 1]
    std::array<std::string, 2> BrowserCommands;

    // Defaults of a first start: no key bound, the desktop's default browser and a named one.
    static Config defaults();
    friend bool operator==(const Config&, const Config&) = default;
};

inline constexpr const char* kConfigFileName = "calamo.cfg";

// Reads the tables from the bytes of a configuration file. A line ends at CR (a following LF is skipped) or
// at a lone LF; code 26 ends the file; entries past an early end stay empty; long lines are cut.
Config parseConfig(const QByteArray& bytes);
// The 55 lines of the file, each ending in CR LF.
QByteArray formatConfig(const Config& config);

// File operations on `path`. On failure they return the system's error text; `config` keeps what was read or
// set, and the file on disk stays whole.
std::optional<QString> LeggiCfg(FileSystem& files, Config& config, const QString& path = kConfigFileName);
std::optional<QString> ScriviCfg(FileSystem& files, const Config& config, const QString& path = kConfigFileName);
std::optional<QString> RewriteCfg(FileSystem& files, Config& config, const QString& path = kConfigFileName);

// Entry numbers (1..50) whose binding matches a released key, in ascending order. An entry fires when its
// third character is the key's code and its first is "N", or "S", "A", "C" with that modifier held.
std::vector<int> matchingShortcuts(const Config& config, int keyCode, Modifiers held);

// Entry `entry` (1..50) as text.
QString shortcutText(const Config& config, int entry);
// Stores the first three characters of `typed` as entry `entry` (1..50), taken as typed. When they cannot be
// kept in the file (a character Windows-1252 lacks, or a line break or code 26, which would end the line or the
// file), nothing is stored and the error text says why.
std::optional<QString> setShortcut(Config& config, int entry, QStringView typed);

// Entries 1..37 run commands; 38..50 are stored but bound to nothing.
inline constexpr int kBoundShortcuts = 37;

}  // namespace calamo
