#include "Config.h"

#include "FakeFileSystem.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>

#include <cerrno>
#include <random>

#include <unistd.h>

using namespace calamo;
using namespace calamo::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

QByteArray lines(std::initializer_list<const char*> list, const char* end = "\r\n")
{
    QByteArray out;
    for (const char* line : list)
        out.append(line).append(end);
    return out;
}

// A file whose shortcut lines are `entries` (entry 1 first) and whose browser lines follow.
QByteArray fileWith(const std::vector<std::string>& entries, const char* browser1 = "", const char* browser2 = "")
{
    Config config;
    for (std::size_t i = 0; i < entries.size(); ++i)
        config.ShortcutTable[i] = entries[i];
    config.BrowserCommands = {browser1, browser2};
    return formatConfig(config);
}

TEST(ConfigFile, DefaultsAreWrittenAsFiftyFiveCrLfLines)
{
    QTemporaryDir dir;
    PosixFileSystem files;
    const QString path = dir.filePath(QStringLiteral("calamo.cfg"));
    Config config;
    config.ShortcutTable[4] = "C X";
    ASSERT_EQ(RewriteCfg(files, config, path), std::nullopt);
    EXPECT_EQ(config.BrowserCommands[0], "xdg-open");
    EXPECT_THAT(config.ShortcutTable[4], IsEmpty());

    const QByteArray bytes = bytesOf(path);
    QByteArray expected = "<!- File di configurazione :o -->\r\n<A NAME= \"Tasti di scelta rapida\"></A>\r\n";
    for (int i = 0; i < 50; ++i)
        expected += "\r\n";
    expected += "<A NAME= \"Linee di comando per i 2 browser\"></A>\r\nxdg-open\r\nfirefox\r\n";
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.count("\r\n"), 55);
}

TEST(ConfigFile, ReadingCutsLongLinesAndKeepsShortOnes)
{
    const Config config = parseConfig(fileWith({"N", "C Boo", "S 1"}, "0123456789012345678901234567890", "xdg-open"));
    EXPECT_EQ(config.ShortcutTable[0], "N");
    EXPECT_EQ(config.ShortcutTable[1], "C B");
    EXPECT_EQ(config.ShortcutTable[2], "S 1");
    EXPECT_THAT(config.ShortcutTable[3], IsEmpty());
    EXPECT_EQ(config.BrowserCommands[0], "01234567890123456789");
    EXPECT_EQ(config.BrowserCommands[1], "xdg-open");
}

TEST(ConfigFile, AnEarlyEndLeavesTheRestEmpty)
{
    // Ten lines: entries 1 to 8, then nothing.
    const Config config = parseConfig(lines({"a", "b", "C 1", "C 2", "C 3", "C 4", "C 5", "C 6", "C 7", "C 8"}));
    EXPECT_EQ(config.ShortcutTable[7], "C 8");
    for (std::size_t i = 8; i < 50; ++i)
        EXPECT_THAT(config.ShortcutTable[i], IsEmpty()) << i;
    EXPECT_THAT(config.BrowserCommands, ElementsAre("", ""));
}

TEST(ConfigFile, CodeTwentySixEndsTheFile)
{
    QByteArray bytes = fileWith({"C A", "C B", "C C"}, "xdg-open", "firefox");
    bytes.insert(bytes.indexOf("C B"), '\x1A');
    const Config config = parseConfig(bytes);
    EXPECT_EQ(config.ShortcutTable[0], "C A");
    EXPECT_THAT(config.ShortcutTable[1], IsEmpty());
    EXPECT_THAT(config.BrowserCommands[0], IsEmpty());
}

TEST(ConfigFile, LinesEndingInLineFeedAloneReadTheSame)
{
    QByteArray crlf = fileWith({"C A", "", "N F"}, "xdg-open", "firefox");
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    EXPECT_EQ(parseConfig(lf), parseConfig(crlf));
    EXPECT_EQ(parseConfig(crlf).ShortcutTable[2], "N F");
}

TEST(ConfigFile, WritingAndReadingGiveBackTheTables)
{
    Config config = Config::defaults();
    config.ShortcutTable[0] = "C N";
    config.ShortcutTable[49] = "A \xE8";  // a Windows-1252 byte
    config.BrowserCommands[1] = "/opt/browser/run me";
    EXPECT_EQ(parseConfig(formatConfig(config)), config);
}

TEST(ConfigFile, BinaryGarbageReadsWithinTheLimits)
{
    std::mt19937 random(7);
    QByteArray bytes(4096, '\0');
    for (char& b : bytes)
        b = static_cast<char>(random());
    const Config config = parseConfig(bytes);
    for (const std::string& entry : config.ShortcutTable)
        EXPECT_LE(entry.size(), 3u);
    for (const std::string& command : config.BrowserCommands)
        EXPECT_LE(command.size(), 20u);
}

TEST(ConfigFile, OnlyTheHeadOfAHugeFileIsRead)
{
    QTemporaryDir dir;
    PosixFileSystem files;
    const QString path = dir.filePath(QStringLiteral("calamo.cfg"));
    Config written = Config::defaults();
    written.ShortcutTable[1] = "C O";
    ASSERT_EQ(ScriviCfg(files, written, path), std::nullopt);
    // Gigabytes of zeros after the 55 lines, as a sparse file: read whole, they would take seconds and memory.
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), qint64(3) << 30), 0);
    Config read;
    EXPECT_EQ(LeggiCfg(files, read, path), std::nullopt);
    EXPECT_EQ(read, written);
}

TEST(ConfigFile, AMissingFileIsAnErrorWithEmptyTables)
{
    QTemporaryDir dir;
    PosixFileSystem files;
    Config config = Config::defaults();
    const auto error = LeggiCfg(files, config, dir.filePath(QStringLiteral("calamo.cfg")));
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(config, Config{});
}

TEST(ConfigFile, AFailedWriteIsReportedAndLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("calamo.cfg"));
    FakeFileSystem files;
    Config config = Config::defaults();
    ASSERT_EQ(ScriviCfg(files, config, path), std::nullopt);

    files.fail(FsCall::Write, QStringLiteral("calamo.cfg"), ENOSPC);
    config.BrowserCommands[0] = "changed";
    const auto error = ScriviCfg(files, config, path);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, writeError(path, ENOSPC));
    Config reread;
    ASSERT_EQ(LeggiCfg(files, reread, path), std::nullopt);
    EXPECT_EQ(reread, Config::defaults());
}

Config withEntries(std::initializer_list<std::pair<int, const char*>> entries)
{
    Config config;
    for (const auto& [n, text] : entries)
        config.ShortcutTable[static_cast<std::size_t>(n - 1)] = text;
    return config;
}

TEST(ShortcutDispatch, ARequiredModifierMayComeWithOthers)
{
    const Config config = withEntries({{2, "C O"}, {10, "S P"}, {11, "A 1"}});
    EXPECT_THAT(matchingShortcuts(config, 'O', {.ctrl = true}), ElementsAre(2));
    EXPECT_THAT(matchingShortcuts(config, 'O', {.shift = true, .ctrl = true}), ElementsAre(2));
    EXPECT_THAT(matchingShortcuts(config, 'O', {}), IsEmpty());
    EXPECT_THAT(matchingShortcuts(config, 'O', {.alt = true}), IsEmpty());
    EXPECT_THAT(matchingShortcuts(config, 'P', {.shift = true}), ElementsAre(10));
    EXPECT_THAT(matchingShortcuts(config, '1', {.alt = true}), ElementsAre(11));
}

TEST(ShortcutDispatch, EveryMatchingEntryRunsInAscendingOrder)
{
    const Config config = withEntries({{40, "N F"}, {17, "N F"}, {3, "C F"}});
    EXPECT_THAT(matchingShortcuts(config, 'F', {.ctrl = true}), ElementsAre(3, 17, 40));
    EXPECT_THAT(matchingShortcuts(config, 'F', {}), ElementsAre(17, 40));
}

TEST(ShortcutDispatch, LowerCaseOrUnknownModifiersAreInertAndShortEntriesArePadded)
{
    const Config config = withEntries({{1, "c b"}, {2, "I B"}, {3, "N"}, {4, "x"}});
    EXPECT_THAT(matchingShortcuts(config, 'B', {.ctrl = true}), IsEmpty());
    EXPECT_THAT(matchingShortcuts(config, 'b', {.ctrl = true}), IsEmpty());
    // "N" reads "Nxx": it fires on code 120, the code of "x" (F9).
    EXPECT_THAT(matchingShortcuts(config, 120, {}), ElementsAre(3));
}

}  // namespace
