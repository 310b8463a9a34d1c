#include "checklist.h"
#include "cp1252.h"

#include <gtest/gtest.h>

using namespace aracnide;

namespace {

TEST(CheckListColumns, TheResultStartsAtTheFirstTabStopPastItsEntry)
{
    EXPECT_EQ(NextTabStop(0, 465), 465);
    EXPECT_EQ(NextTabStop(464, 465), 465);
    EXPECT_EQ(NextTabStop(465, 465), 930) << "a text that reaches the stop moves to the next one";
    EXPECT_EQ(NextTabStop(10, 0), 10);
}

TEST(CheckListColumns, TheResultWordAlwaysShowsWhole)
{
    EXPECT_EQ(ResultColumn(465, 40, 600), 465) << "room at the stop";
    EXPECT_EQ(ResultColumn(465, 60, 500), 440) << "moved left until the word ends at the row's end";
    EXPECT_EQ(ResultColumn(465, 700, 500), 0);
}

TEST(Cp1252, LocationsAreTheFileSystemsBytes)
{
    const QString path = QString::fromUtf8("/home/ana/café/index.htm");
    EXPECT_EQ(ToBytes(path), "/home/ana/caf\xc3\xa9/index.htm");
    EXPECT_EQ(FromBytes(ToBytes(path)), path);
    EXPECT_EQ(FromBytes("caf\xe9"), QString::fromUtf8("café")) << "not UTF-8: read as Windows-1252";
}

TEST(Cp1252, EveryByteMapsToOneCharacterAndBack)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    const QString text = FromCp1252(all);
    EXPECT_EQ(text.size(), 255);
    EXPECT_EQ(ToCp1252(text), all);
    EXPECT_EQ(FromCp1252("\x80\xe9"), QString::fromUtf8("€é"));
    EXPECT_EQ(ToCp1252(QString::fromUtf8("ß→€")), "\xdf?\x80") << "what it cannot hold becomes ?";
}

}  // namespace
