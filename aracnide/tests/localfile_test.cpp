// The one reader of local files: what it refuses on a real system, and the bounds of a text file.

#include "cli.h"
#include "fakefiles.h"
#include "localfile.h"
#include "run.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>

using namespace aracnide;

namespace {

std::string Reason(const ErrorInfo& e)
{
    return e.text.substr(0, e.text.find('\r'));
}

TEST(LocalFiles, OnlyRegularFilesAreReadAndNothingWaits)
{
    TempDir dir;
    dir.Write("page.htm", "x");
    ASSERT_EQ(mkfifo((dir.Path() + "fifo").c_str(), 0600), 0);
    const std::string notRegular = "Not a regular file (a device, FIFO or socket): it was not read";
    const std::pair<std::string, std::string> rows[] = {
        {dir.Path() + "fifo", notRegular},  // opened without a writer: must not wait
        {"/dev/zero", notRegular},
        {dir.Path(), std::strerror(EISDIR)},
        {dir.Path() + "none", std::strerror(ENOENT)},
    };
    for (const auto& [path, reason] : rows) {
        std::string bytes;
        ErrorInfo err;
        EXPECT_FALSE(ReadWholeFile(PosixFileSystem::Instance(), path, bytes, err)) << path;
        EXPECT_EQ(Reason(err), reason) << path;
    }
    ErrorInfo err;
    const auto a = PosixFileSystem::Instance().Open(dir.Path() + "page.htm", err);
    ASSERT_EQ(symlink("page.htm", (dir.Path() + "link.htm").c_str()), 0);
    const auto b = PosixFileSystem::Instance().Open(dir.Path() + "link.htm", err);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->Id(), b->Id()) << "one file, whatever the path";
}

TEST(LocalFiles, TextLinesAreCutAtTheirLengthAndALargeFileIsRefused)
{
    FakeFiles fs;
    fs.files["/list"].bytes = std::string(9000, 'a') + "\r\nb\nc";
    std::vector<std::string> lines;
    ErrorInfo err;
    ASSERT_TRUE(ReadTextLines(fs, "/list", lines, err));
    EXPECT_EQ(lines, (std::vector<std::string>{std::string(kMaxLineLength, 'a'), "b", "c"}));
    EXPECT_FALSE(ReadTextLines(fs, "/list", lines, err, 100));
    EXPECT_EQ(Reason(err), "The file is larger than 100 bytes and was not read");
}

TEST(LocalFiles, AListOrPasswordFileThatCannotBeReadEndsTheCommandLineWithItsReason)
{
    TempDir dir;
    ASSERT_EQ(mkfifo((dir.Path() + "fifo").c_str(), 0600), 0);
    const std::vector<std::string> base{"--check", dir.Path() + "fifo#1", "--report", dir.Path() + "r.log"};
    const std::vector<std::vector<std::string>> rows{
        base,
        {"--check", dir.Path() + "#1", "--report", dir.Path() + "r.log"},
        {"--check", "http://127.0.0.1:9/", "--password-file", "/dev/zero", "--report", dir.Path() + "r.log"},
    };
    for (const auto& args : rows) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLine(args, "1.20", out, err, false), kCliNotStarted) << args[1];
        EXPECT_TRUE(err.str().find("Not a regular file") != std::string::npos ||
                    err.str().find(std::strerror(EISDIR)) != std::string::npos)
            << err.str();
    }
}

TEST(LocalFiles, AReplacedFileKeepsItsLinksAndModeAndAPipeIsWrittenThrough)
{
    TempDir dir;
    dir.Write("real.json", "old");
    ASSERT_EQ(chmod((dir.Path() + "real.json").c_str(), 0640), 0);
    ASSERT_EQ(symlink("real.json", (dir.Path() + "link.json").c_str()), 0);
    ASSERT_EQ(link((dir.Path() + "real.json").c_str(), (dir.Path() + "hard.json").c_str()), 0);
    std::string error;
    ASSERT_TRUE(ReplaceFile(dir.Path() + "link.json", "new", false, error)) << error;
    struct stat st {};
    ASSERT_EQ(lstat((dir.Path() + "link.json").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    EXPECT_EQ(dir.Read("hard.json"), "new") << "a hard link sees the new text";
    ASSERT_EQ(stat((dir.Path() + "real.json").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    ASSERT_EQ(unlink((dir.Path() + "hard.json").c_str()), 0);
    ASSERT_TRUE(ReplaceFile(dir.Path() + "real.json", "newer", false, error)) << error;  // through a fresh file
    ASSERT_EQ(stat((dir.Path() + "real.json").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.Read("link.json"), "newer");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2) << "no temporary left";

    const std::string fifo = dir.Path() + "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReplaceFile(fifo, "x", false, error)) << "no reader: an error, not a wait";
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(ReplaceFile(fifo, "through", false, error)) << error;
    char buf[16] = {};
    EXPECT_EQ(read(reader, buf, sizeof buf), 7);
    close(reader);
    EXPECT_FALSE(ReplaceFile("/dev/full", "x", false, error));
    EXPECT_EQ(error, std::strerror(ENOSPC));
}

TEST(LocalFiles, JsonOnStandardOutputLeavesTheSummaryOnStandardError)
{
    TempDir dir;
    dir.Write("index.htm", "<a href=\"gone.htm\">");
    std::ostringstream out, err;
    EXPECT_EQ(RunCommandLine({"--check", dir.Path() + "index.htm", "--report", dir.Path() + "r.log", "--json", "-"},
                             "1.20", out, err, false),
              kCliBroken);
    EXPECT_EQ(nlohmann::json::parse(out.str()).size(), 2u);
    EXPECT_EQ(err.str().substr(0, 31), "2 checked, 1 broken, 0 skipped\n");
}

// A generated local tree whose folders link to one another (loops included): the run ends, and every
// file is scanned once, whatever the number of paths that reach it.
TEST(LocalFiles, FolderLinksThatLoopEndAndEachPageIsScannedOnce)
{
    namespace fs = std::filesystem;
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::mt19937 rng(seed);
        TempDir dir;
        const fs::path root = fs::path(dir.Path()) / "site";
        std::vector<fs::path> folders{root};
        fs::create_directory(root);
        for (int i = 1; i < 6; ++i) {
            const fs::path parent = folders[std::uniform_int_distribution<size_t>(0, folders.size() - 1)(rng)];
            folders.push_back(parent / ("d" + std::to_string(i)));
            fs::create_directory(folders.back());
        }
        for (size_t i = 0; i < folders.size(); ++i)
            for (int k = 0; k < 2; ++k)
                fs::create_directory_symlink(folders[std::uniform_int_distribution<size_t>(0, folders.size() - 1)(rng)],
                                             folders[i] / ("l" + std::to_string(k)));
        for (const fs::path& f : folders) {
            std::string html;
            for (const auto& e : fs::directory_iterator(f))
                html += "<a href=\"" + e.path().filename().string() + "/\"> ";
            std::ofstream(f / "index.htm") << html;
        }
        std::ostringstream out, err;
        RunCommandLine({"--check", (root / "index.htm").string(), "--report", dir.Path() + "r.log", "--json",
                        dir.Path() + "r.json"},
                       "1.20", out, err, false);
        const nlohmann::json json = nlohmann::json::parse(dir.Read("r.json"));
        std::set<std::string> pages;  // the pages named as referrers, one name per file
        std::set<fs::path> files;
        for (const auto& o : json)
            for (const auto& ref : o["referrers"])
                pages.insert(ref.get<std::string>());
        for (std::string page : pages) {
            if (page.ends_with('/'))
                page += "index.htm";
            EXPECT_TRUE(files.insert(fs::canonical(page)).second) << "scanned twice: " << page;
        }
        EXPECT_EQ(files.size(), folders.size()) << "seed " << seed;
    }
}

}  // namespace
