#include "RtfReader.h"
#include "TextDecoding.h"

#include <gtest/gtest.h>

namespace travaso {

namespace {

TEST(RtfReaderTest, ParagraphsAndCharacterFormats)
{
    const QByteArray rtf =
        R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\froman Times New Roman;}}
{\colortbl ;\red255\green0\blue0;\red0\green0\blue128;}
{\*\generator Writer 1.0;}\viewkind4\uc1\pard\f0\fs24 Plain {\b bold}{\i  italic} {\ul under\ulnone  not}\par
\f1\fs32\cf1 Red big\cf0  back\par
})";
    const RtfDocument doc = ReadRtf(rtf);
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    EXPECT_EQ(doc.PlainText(), "Plain bold italic under not\nRed big back");
    const auto& first = doc.paragraphs[0].runs;
    ASSERT_GE(first.size(), 5u);
    EXPECT_EQ(first[0].text, "Plain ");
    EXPECT_EQ(first[0].format.family, "Arial");
    EXPECT_EQ(first[0].format.pointSize, 12);
    EXPECT_FALSE(first[0].format.bold);
    EXPECT_EQ(first[1].text, "bold");
    EXPECT_TRUE(first[1].format.bold);
    EXPECT_EQ(first[2].text, " italic");
    EXPECT_TRUE(first[2].format.italic);
    EXPECT_FALSE(first[2].format.bold);  // the group ended
    EXPECT_EQ(first[4].text, "under");
    EXPECT_TRUE(first[4].format.underline);
    const auto& second = doc.paragraphs[1].runs;
    EXPECT_EQ(second[0].text, "Red big");
    EXPECT_EQ(second[0].format.family, "Times New Roman");
    EXPECT_EQ(second[0].format.pointSize, 16);
    EXPECT_EQ(second[0].format.color, (RtfColor{255, 0, 0}));
    EXPECT_EQ(second[1].format.color, std::nullopt);
}

TEST(RtfReaderTest, EscapesAndSpecialCharacters)
{
    const RtfDocument doc = ReadRtf(
        R"({\rtf1\ansi perch\'e9 \'80 5\par \u8364?\uc2\u12354 xy z\par a\{b\}c\\d\tab e\line f\~g\emdash\par})");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.paragraphs[0].Text(), QString::fromUtf8("perché € 5"));
    EXPECT_EQ(doc.paragraphs[1].Text(), QString::fromUtf8("€あ z"));  // fallback characters skipped
    EXPECT_EQ(doc.paragraphs[2].Text(), QString::fromUtf8("a{b}c\\d\te\u2028f\u00A0g\u2014"));
}

TEST(RtfReaderTest, UnknownDestinationsAndPicturesAreSkipped)
{
    const QByteArray rtf = "{\\rtf1{\\info{\\title Secret}{\\author X}}{\\stylesheet{\\s0 Normal;}}"
                           "{\\*\\unknowndest hidden text}A{\\pict\\pngblip 89504e470d0a}B"
                           "{\\*\\shppict{\\pict\\bin4 \x01}{\\}}C{\\header Page}D}";
    EXPECT_EQ(ReadRtf(rtf).PlainText(), "ABCD");
}

TEST(RtfReaderTest, BrokenInputEndsWithoutHarm)
{
    EXPECT_EQ(ReadRtf("{\\rtf1 abc").PlainText(), "abc");
    EXPECT_EQ(ReadRtf("{\\rtf1 a}}}b\\").PlainText(), "ab");
    EXPECT_EQ(ReadRtf("{\\rtf1 x\\'4").PlainText(), "x");
    EXPECT_EQ(ReadRtf("{\\rtf1 \\bin999999 x}").PlainText(), "");
    EXPECT_TRUE(LooksLikeRtf("{\\rtf1 }"));
    EXPECT_FALSE(LooksLikeRtf("plain"));
}

TEST(RtfReaderTest, HostileInputCostsNoMoreThanItsLength)
{
    // Ten million braces once took over a gigabyte of group states.
    const QByteArray braces = "{\\rtf1 " + QByteArray(10'000'000, '{') + "x";
    EXPECT_EQ(ReadRtf(braces).PlainText(), "x");
    // Groups past the depth bound are read as part of the deepest group kept, and still close.
    const QByteArray deep = "{\\rtf1 a" + QByteArray(1000, '{') + "\\b b" + QByteArray(1000, '}') + "c}";
    const RtfDocument doc = ReadRtf(deep);
    EXPECT_EQ(doc.PlainText(), "abc");
    EXPECT_FALSE(doc.paragraphs[0].runs.back().format.bold);
    // Unicode escapes outside the signed 16-bit range are no characters of their own.
    EXPECT_EQ(ReadRtf("{\\rtf1 \\u99999999?\\u-40000?\\u65535?\\u-1?}").PlainText(),
              QString::fromUtf16(u"\uFFFD\uFFFD\uFFFF\uFFFF"));
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\bin2147483647 b}").PlainText(), "a");
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\uc999999999\\u65 bcd}").PlainText(), "aA");
}

TEST(TextDecodingTest, Utf8WhenValidElseWindows1252)
{
    EXPECT_EQ(DecodeText("perch\xc3\xa9"), QString::fromUtf8("perché"));
    EXPECT_EQ(DecodeText("perch\xe9 \x80\x96"), QString::fromUtf8("perché €–"));
    EXPECT_EQ(DecodeCp1252("\x81\x9f\xff"), QString::fromUtf8("\u0081Ÿÿ"));
}

}  // namespace

}  // namespace travaso
