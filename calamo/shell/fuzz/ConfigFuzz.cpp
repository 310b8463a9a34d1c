// Any calamo.cfg reads within the tables' limits; what was read, written and read again is the same, in 55
// CR LF lines.

#include "Config.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const calamo::Config config = calamo::parseConfig(bytes);
    for (const std::string& entry : config.ShortcutTable) {
        if (entry.size() > calamo::Config::kShortcutLength)
            std::abort();
    }
    for (const std::string& command : config.BrowserCommands) {
        if (command.size() > calamo::Config::kBrowserLength)
            std::abort();
    }
    const QByteArray written = calamo::formatConfig(config);
    if (written.count("\r\n") != 55 || calamo::parseConfig(written) != config)
        std::abort();
    // Some key codes with every set of modifiers: entries match only by their rules.
    for (int key : {0x10, 0x30, 0x41, 0x53, 0x78, 0x7B, 0xE8}) {  // Shift, 0, A, S, x (F9), F12, è
        for (int held = 0; held < 8; ++held) {
            const calamo::Modifiers modifiers{(held & 1) != 0, (held & 2) != 0, (held & 4) != 0};
            for (int entry : calamo::matchingShortcuts(config, key, modifiers)) {
                if (entry < 1 || entry > calamo::Config::kShortcuts)
                    std::abort();
            }
        }
    }
    return 0;
}
