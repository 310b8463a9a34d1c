#include "Config.h"

#include "FileSystem.h"
#include "TextCodec.h"

namespace calamo {

namespace {

constexpr const char* kLine1 = "<!- File di configurazione :o -->";
constexpr const char* kLine2 = "<A NAME= \"Tasti di scelta rapida\"></A>";
constexpr const char* kLine53 = "<A NAME= \"Linee di comando per i 2 browser\"></A>";

// Walks the file line by line under the reading rules.
class LineReader {
public:
    explicit LineReader(const QByteArray& bytes) : data_(bytes.constData()), size_(bytes.size())
    {
        // Code 26 counts as the end of the file.
        if (const qsizetype eof = bytes.indexOf('\x1A'); eof >= 0)
            size_ = eof;
    }

    // The next line, at most `limit` bytes of it; empty once the file has ended.
    std::string next(std::size_t limit)
    {
        qsizetype end = pos_;
        while (end < size_ && data_[end] != '\r' && data_[end] != '\n')
            ++end;
        std::string line(data_ + pos_, static_cast<std::size_t>(std::min<qsizetype>(end - pos_, qsizetype(limit))));
        pos_ = end;
        if (pos_ < size_ && data_[pos_] == '\r')
            ++pos_;
        if (pos_ < size_ && data_[pos_] == '\n')
            ++pos_;
        return line;
    }

    void skip() { next(0); }

private:
    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
};

}  // namespace

Config Config::defaults()
{
    Config config;
    config.BrowserCommands = {"xdg-open", "firefox"};
    return config;
}

Config parseConfig(const QByteArray& bytes)
{
    Config config;
    LineReader reader(bytes);
    reader.skip();
    reader.skip();
    for (std::string& entry : config.ShortcutTable)
        entry = reader.next(Config::kShortcutLength);
    reader.skip();
    for (std::string& command : config.BrowserCommands)
        command = reader.next(Config::kBrowserLength);
    return config;
}

QByteArray formatConfig(const Config& config)
{
    QByteArray out;
    const auto line = [&out](std::string_view text) {
        out.append(text.data(), static_cast<qsizetype>(text.size()));
        out.append("\r\n");
    };
    line(kLine1);
    line(kLine2);
    for (const std::string& entry : config.ShortcutTable)
        line(entry);
    line(kLine53);
    for (const std::string& command : config.BrowserCommands)
        line(command);
    return out;
}

std::optional<QString> LeggiCfg(FileSystem& files, Config& config, const QString& path)
{
    // The 55 lines the file holds take a few kilobytes: whatever lies past this is never read, so a huge or
    // endless file costs no more time or memory than a normal one.
    constexpr qsizetype kReadLimit = qsizetype(64) << 10;
    const BytesResult read = files.readRegularFilePrefix(path, kReadLimit);
    if (!read.bytes) {
        config = Config{};
        return read.error;
    }
    config = parseConfig(*read.bytes);
    return std::nullopt;
}

std::optional<QString> ScriviCfg(FileSystem& files, const Config& config, const QString& path)
{
    return files.writeFileAtomically(path, formatConfig(config), LinkPolicy::Follow);
}

std::optional<QString> RewriteCfg(FileSystem& files, Config& config, const QString& path)
{
    config = Config::defaults();
    return ScriviCfg(files, config, path);
}

QString shortcutText(const Config& config, int entry)
{
    return fromWindows1252(QByteArray::fromStdString(config.ShortcutTable.at(static_cast<std::size_t>(entry - 1))));
}

std::optional<QString> setShortcut(Config& config, int entry, QStringView typed)
{
    const QStringView code = typed.left(static_cast<qsizetype>(Config::kShortcutLength));
    std::string bytes;
    for (QChar c : code) {
        const std::optional<char> byte = toWindows1252(c.unicode());
        if (!byte || *byte == '\r' || *byte == '\n' || *byte == '\x1A')
            return QStringLiteral("Il codice \"%1\" contiene caratteri che il file di configurazione non può "
                                  "contenere: il tasto resta \"%2\".")
                .arg(code.toString(), shortcutText(config, entry));
        bytes += *byte;
    }
    config.ShortcutTable.at(static_cast<std::size_t>(entry - 1)) = bytes;
    return std::nullopt;
}

std::vector<int> matchingShortcuts(const Config& config, int keyCode, Modifiers held)
{
    std::vector<int> matches;
    for (int n = 1; n <= Config::kShortcuts; ++n) {
        std::string entry = config.ShortcutTable[static_cast<std::size_t>(n - 1)];
        entry.resize(Config::kShortcutLength, 'x');  // an empty entry reads "xxx"
        if (static_cast<unsigned char>(entry[2]) != keyCode)
            continue;
        const char modifier = entry[0];
        if ((modifier == 'S' && held.shift) || (modifier == 'A' && held.alt) || (modifier == 'C' && held.ctrl) ||
            modifier == 'N')
            matches.push_back(n);
    }
    return matches;
}

}  // namespace calamo
