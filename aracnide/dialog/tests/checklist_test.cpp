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
