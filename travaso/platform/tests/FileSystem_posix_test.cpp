#include "FileSystem_posix.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace travaso {

namespace fs = std::filesystem;

namespace {

class Folder {
public:
    std::string Path(const std::string& rel = {}) const { return dir_.path().toStdString() + "/" + rel; }
    void File(const std::string& rel, const std::string& content = {}) const
    {
        fs::create_directories(fs::path(Path(rel)).parent_path());
        std::ofstream(Path(rel), std::ios::binary) << content;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static unsigned Mode(const std::string& path)
    {
        struct stat st {};
        EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    }

private:
    QTemporaryDir dir_;
};

// The user's default mode for the duration of a test.
class Umask {
public:
    explicit Umask(mode_t mask) : saved_(umask(mask)) {}
    ~Umask() { umask(saved_); }

private:
    mode_t saved_;
};

class CopyTest : public ::testing::TestWithParam<CopyMethod> {
protected:
    FsResult Copy(const std::string& from, const std::string& to)
    {
        PosixFileSystem files(GetParam(), 61440);
        std::int64_t copied = -1;
        FsResult r = files.CopyFile(from, to, copied);
        if (r.ok()) {
            EXPECT_EQ(copied, std::int64_t(fs::file_size(to)));
        }
        return r;
    }
    Folder dir;
};

TEST_P(CopyTest, CopiesContentExactlyAndReplacesTargets)
{
    std::string big(200'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 131 % 251);
    dir.File("big", big);
    dir.File("empty");
    dir.File("old", std::string(300'000, 'x'));
    EXPECT_TRUE(Copy(dir.Path("big"), dir.Path("big.copy")).ok());
    EXPECT_TRUE(Copy(dir.Path("empty"), dir.Path("empty.copy")).ok());
    EXPECT_TRUE(Copy(dir.Path("big"), dir.Path("old")).ok());
    EXPECT_EQ(Folder::Read(dir.Path("big.copy")), big);
    EXPECT_EQ(fs::file_size(dir.Path("empty.copy")), 0u);
    EXPECT_EQ(Folder::Read(dir.Path("old")), big);  // truncated, not overlaid
}

TEST_P(CopyTest, CopiesTakeTheSourcesBitsUnderTheUmaskNewOrWrittenOver)
{
    const Umask mask(027);
    const std::map<std::string, mode_t> sources = {{"script", 0755}, {"private", 0600}, {"ro", 0444}, {"setid", 06755}};
    for (const auto& [name, mode] : sources) {
        dir.File(name, name);
        chmod(dir.Path(name).c_str(), mode);
    }
    dir.File("existing", "old");
    chmod(dir.Path("existing").c_str(), 0666);
    for (const auto& [name, mode] : sources)
        ASSERT_TRUE(Copy(dir.Path(name), dir.Path(name + ".copy")).ok()) << name;
    ASSERT_TRUE(Copy(dir.Path("private"), dir.Path("existing")).ok());
    EXPECT_EQ(Folder::Mode(dir.Path("script.copy")), 0750u);
    EXPECT_EQ(Folder::Mode(dir.Path("private.copy")), 0600u);
    EXPECT_EQ(Folder::Mode(dir.Path("ro.copy")), 0640u);
    EXPECT_EQ(Folder::Mode(dir.Path("setid.copy")), 0750u);
    EXPECT_EQ(Folder::Mode(dir.Path("existing")), 0600u) << "a private file never lands in a readable copy";
}

TEST_P(CopyTest, FailuresNameTheFileAndKeepTheSource)
{
    dir.File("src", "precious");
    fs::create_directory(dir.Path("adir"));
    fs::create_hard_link(dir.Path("src"), dir.Path("hardlink"));
    const auto expectError = [&](const std::string& from, const std::string& to, int error, const std::string& named) {
        const FsResult r = Copy(from, to);
        EXPECT_EQ(r.error, error) << from << " -> " << to;
        EXPECT_EQ(r.path, named);
    };
    expectError(dir.Path("gone"), dir.Path("t"), ENOENT, dir.Path("gone"));
    expectError(dir.Path("src"), dir.Path("nodir/t"), ENOENT, dir.Path("nodir/t"));
    expectError(dir.Path("src"), dir.Path("adir"), EISDIR, dir.Path("adir"));
    expectError(dir.Path("src"), dir.Path("src"), SameFileAsSource, dir.Path("src"));
    expectError(dir.Path("src"), dir.Path("hardlink"), SameFileAsSource, dir.Path("hardlink"));
    EXPECT_EQ(Folder::Read(dir.Path("src")), "precious");
}

TEST_P(CopyTest, FifosOnEitherSideAreRefusedWithoutWaiting)
{
    dir.File("src", "data");
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo(dir.Path("target-fifo").c_str(), 0644), 0);
    EXPECT_EQ(Copy(dir.Path("fifo"), dir.Path("t")).error, NotRegularFile);
    EXPECT_FALSE(fs::exists(dir.Path("t")));
    const FsResult r = Copy(dir.Path("src"), dir.Path("target-fifo"));
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.path, dir.Path("target-fifo"));
}

TEST_P(CopyTest, ALinkAtTheTargetIsReplacedNotFollowed)
{
    dir.File("src", "new");
    dir.File("elsewhere", "keep");
    fs::create_symlink(dir.Path("elsewhere"), dir.Path("link"));
    fs::create_symlink(dir.Path("nowhere"), dir.Path("dangling"));
    ASSERT_TRUE(Copy(dir.Path("src"), dir.Path("link")).ok());
    ASSERT_TRUE(Copy(dir.Path("src"), dir.Path("dangling")).ok());
    EXPECT_EQ(Folder::Read(dir.Path("elsewhere")), "keep");
    EXPECT_FALSE(fs::is_symlink(dir.Path("link")));
    EXPECT_EQ(Folder::Read(dir.Path("link")), "new");
    EXPECT_FALSE(fs::exists(dir.Path("nowhere")));
    EXPECT_EQ(Folder::Read(dir.Path("dangling")), "new");
}

TEST_P(CopyTest, SourceShorterThanItsSizeIsAReadError)
{
    dir.File("short", "only ten!!");
    const int in = open(dir.Path("short").c_str(), O_RDONLY);
    const int out = open(dir.Path("t").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const FsResult r = CopyBytes(in, out, 100, GetParam(), 4, dir.Path("short"), dir.Path("t"));
    EXPECT_EQ(r.error, ShorterThanExpected);
    EXPECT_EQ(r.step, FsStep::Read);
    close(in);
    close(out);
}

INSTANTIATE_TEST_SUITE_P(BothMethods, CopyTest, ::testing::Values(CopyMethod::Blocks, CopyMethod::KernelCopy),
                         [](const auto& info) { return info.param == CopyMethod::Blocks ? "Blocks" : "KernelCopy"; });

TEST(PosixFileSystemTest, ReadsOnlyRegularFilesUpToTheBound)
{
    Folder dir;
    PosixFileSystem files;
    std::string data;
    dir.File("text", "0123456789");
    ASSERT_TRUE(files.ReadRegularFile(dir.Path("text"), 4, data).ok());
    EXPECT_EQ(data, "0123");
    ASSERT_TRUE(files.ReadRegularFile(dir.Path("text"), 100, data).ok());
    EXPECT_EQ(data, "0123456789");
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0644), 0);
    EXPECT_EQ(files.ReadRegularFile(dir.Path("fifo"), 100, data).error, NotRegularFile);
    EXPECT_EQ(files.ReadRegularFile("/dev/zero", 100, data).error, NotRegularFile);
    EXPECT_EQ(files.ReadRegularFile(dir.Path("missing"), 100, data).error, ENOENT);
    EXPECT_EQ(data, "");
}

TEST(PosixFileSystemTest, ListsClassifiedEntriesAndReportsFolderErrors)
{
    Folder dir;
    PosixFileSystem files;
    dir.File("d/f", "1");
    fs::create_directory(dir.Path("d/sub"));
    fs::create_directory(dir.Path("d/.hidden"));
    ASSERT_EQ(mkfifo(dir.Path("d/fifo").c_str(), 0644), 0);
    std::vector<DirEntry> entries;
    ASSERT_TRUE(files.ListDirectory(dir.Path("d"), entries).ok());
    std::map<std::string, EntryKind> kinds;
    for (const DirEntry& e : entries)
        kinds[e.name] = e.kind;
    EXPECT_EQ(kinds, (std::map<std::string, EntryKind>{{"f", EntryKind::File}, {"sub", EntryKind::Directory}}));

    const FsResult missing = files.ListDirectory(dir.Path("nothing"), entries);
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.step, FsStep::List);
    EXPECT_EQ(files.ListDirectory(dir.Path("d/f"), entries).error, ENOTDIR);
}

TEST(PosixFileSystemTest, FoldersAndSyncHandles)
{
    Folder dir;
    PosixFileSystem files;
    EXPECT_TRUE(files.MakeDirectory(dir.Path("new")).ok());
    EXPECT_EQ(files.MakeDirectory(dir.Path("new")).error, EEXIST);
    EXPECT_EQ(files.MakeDirectory(dir.Path("a/b")).error, ENOENT);
    EXPECT_EQ(files.Kind(dir.Path("new"), false), PathKind::Directory);
    fs::create_directory_symlink(dir.Path("new"), dir.Path("link"));
    EXPECT_EQ(files.Kind(dir.Path("link"), false), PathKind::Link);
    EXPECT_EQ(files.Kind(dir.Path("link"), true), PathKind::Directory);
    EXPECT_EQ(files.Kind(dir.Path("none"), true), PathKind::Missing);

    std::unique_ptr<SyncHandle> sync;
    EXPECT_FALSE(files.OpenSyncHandle(dir.Path("none"), sync).ok());
    ASSERT_TRUE(files.OpenSyncHandle(dir.Path("new"), sync).ok());
    EXPECT_TRUE(sync->Sync().ok());
}

TEST(ConfinedTest, AFolderSwappedForALinkAtAnyDepthIsRefused)
{
    for (const int swapped : {1, 11}) {  // within the levels kept open, and below them
        Folder dir;
        std::string deep;
        for (int level = 0; level < 14; ++level)
            deep += "d" + std::to_string(level) + "/";
        dir.File("src/" + deep + "f", "inside");
        dir.File("outside/f", "elsewhere");
        PosixFileSystem files;
        ASSERT_TRUE(files.Confine({dir.Path("src")}).ok());
        std::int64_t size = 0;
        ASSERT_TRUE(files.FileSize(dir.Path("src/" + deep + "f"), size).ok());

        std::string swap = dir.Path("src/");
        for (int level = 0; level < swapped; ++level)
            swap += "d" + std::to_string(level) + "/";
        swap += "d" + std::to_string(swapped);
        fs::rename(swap, dir.Path("moved"));
        fs::create_directory_symlink(dir.Path("outside"), swap);
        std::vector<DirEntry> entries;
        const FsResult r = files.ListDirectory(swap + "/", entries);
        EXPECT_FALSE(r.ok()) << swapped;
        EXPECT_TRUE(r.error == ELOOP || r.error == ENOTDIR) << r.error;
        EXPECT_FALSE(files.FileSize(swap + "/f", size).ok()) << swapped;
        // Outside the confinement the same path is followed as usual.
        ASSERT_TRUE(files.Confine({}).ok());
        EXPECT_TRUE(files.FileSize(swap + "/f", size).ok());
    }
}

}  // namespace

}  // namespace travaso
