#include "Platform.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace travaso {

namespace {

// Restores an environment variable as the test found it.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name))
            value_ = value;
    }
    ~SavedVariable()
    {
        if (value_)
            setenv(name_, value_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> value_;
};

TEST(PlatformTest, TargetRootComesFromTheEnvironmentWithoutTrailingSlash)
{
    const SavedVariable home("HOME"), root("TRAVASO_ROOT");
    setenv("TRAVASO_ROOT", "/tmp/somewhere//", 1);
    EXPECT_EQ(TargetRoot(), "/tmp/somewhere");
    setenv("TRAVASO_ROOT", "/", 1);
    EXPECT_EQ(TargetRoot(), "/");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    setenv("TRAVASO_ROOT", "out/", 1);
    EXPECT_EQ(TargetRoot(), std::string(cwd) + "/out");
    setenv("TRAVASO_ROOT", "", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(TargetRoot(), "/home/someone");
}

TEST(PlatformTest, FreeSpaceIsMinusOneWhenItCannotBeQueried)
{
    QTemporaryDir dir;
    EXPECT_GT(FreeSpaceOf(dir.path().toStdString()), 0);
    EXPECT_EQ(FreeSpaceOf("/no/such/place"), -1);
}

TEST(PlatformTest, ClassificationRules)
{
    constexpr unsigned dir = S_IFDIR | 0755, roDir = S_IFDIR | 0555, reg = S_IFREG | 0644, roReg = S_IFREG | 0444;
    constexpr unsigned link = S_IFLNK | 0777;
    EXPECT_EQ(ClassifyMode(".", dir, 0), EntryKind::Ignored);
    EXPECT_EQ(ClassifyMode("..", dir, 0), EntryKind::Ignored);
    EXPECT_EQ(ClassifyMode("sub", dir, 0), EntryKind::Directory);
    EXPECT_EQ(ClassifyMode(".cache", dir, 0), EntryKind::Ignored);
    EXPECT_EQ(ClassifyMode("sub", roDir, 0), EntryKind::Directory);
    EXPECT_EQ(ClassifyMode(".profile", reg, 0), EntryKind::File);
    EXPECT_EQ(ClassifyMode("ro", roReg, 0), EntryKind::File);
    EXPECT_EQ(ClassifyMode("tofile", link, reg), EntryKind::File);
    EXPECT_EQ(ClassifyMode("todir", link, dir), EntryKind::Ignored);
    EXPECT_EQ(ClassifyMode("dangling", link, 0), EntryKind::Ignored);
    EXPECT_EQ(ClassifyMode("fifo", S_IFIFO | 0644, 0), EntryKind::Ignored);
    EXPECT_EQ(ClassifyMode("dev", S_IFCHR | 0644, 0), EntryKind::Ignored);
}

TEST(PlatformTest, CopyModeKeepsTheSourcesBitsUnderTheUmaskAndTheOwnersWrite)
{
    struct Case {
        unsigned source, umask, copy;
    };
    for (const Case c : std::initializer_list<Case>{{0644, 022, 0644},
                                                    {0600, 022, 0600},
                                                    {0700, 022, 0700},
                                                    {0444, 022, 0644},
                                                    {0555, 022, 0755},
                                                    {0777, 077, 0700},
                                                    {04755, 022, 0755},
                                                    {03777, 002, 0775},
                                                    {0444, 0222, 0644},
                                                    {S_IFREG | 0640, 0, 0640}})
        EXPECT_EQ(CopyMode(c.source, c.umask), c.copy) << std::oct << c.source << " under " << c.umask;
}

TEST(PlatformTest, UmaskIsReadWithoutChangingIt)
{
    const mode_t saved = umask(027);
    EXPECT_EQ(CurrentUmask(), 027u);
    EXPECT_EQ(umask(saved), 027u);
}

}  // namespace

}  // namespace travaso
