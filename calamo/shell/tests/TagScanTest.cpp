#include "TagScan.h"

#include "Fakes.h"

#include <gmock/gmock.h>

using namespace calamo;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

QStringList paintedTexts(const QString& text)
{
    QStringList painted;
    for (const TextSpan& span : tagSpans(text))
        painted << text.mid(span.start, span.length);
    return painted;
}

TEST(TagScan, EachTagRunsFromItsOpeningToTheFirstClosingAfterIt)
{
    EXPECT_THAT(tagSpans(u"<p>Ciao<b>x</b>"), ElementsAre(TextSpan{0, 3}, TextSpan{7, 3}, TextSpan{11, 4}));
    EXPECT_THAT(paintedTexts(QStringLiteral("<a<b>")), ElementsAre("<a<b>"));
    EXPECT_THAT(paintedTexts(QStringLiteral("<<>>")), ElementsAre("<<>"));
    EXPECT_THAT(tagSpans(u""), IsEmpty());
    EXPECT_THAT(tagSpans(u"plain text, no markup"), IsEmpty());
}

TEST(TagScan, CommentsAndQuotesAreNotSpecial)
{
    EXPECT_THAT(paintedTexts(QStringLiteral("<!-- a > b --><p>")), ElementsAre("<!-- a >", "<p>"));
    EXPECT_THAT(paintedTexts(QStringLiteral("<A TITLE= \"1>2\">x</A>")), ElementsAre("<A TITLE= \"1>", "</A>"));
}

TEST(TagScan, AnOpeningWithoutAClosingAfterItEndsTheScan)
{
    EXPECT_THAT(tagSpans(u"a > b < c"), IsEmpty());
    EXPECT_THAT(paintedTexts(QStringLiteral("<p>a <b")), ElementsAre("<p>"));
    EXPECT_THAT(paintedTexts(QStringLiteral("<p>a <b <i")), ElementsAre("<p>"));
    // A stray "<" takes the next tag's ">" with it.
    EXPECT_THAT(paintedTexts(QStringLiteral("1 < 2 <b>x</b>")), ElementsAre("< 2 <b>", "</b>"));
}

TEST(TagScan, ATagMaySpanLineBreaks)
{
    EXPECT_THAT(tagSpans(u"x<A\nHREF= \"y\"\n>z"), ElementsAre(TextSpan{1, 14}));
    EXPECT_THAT(paintedTexts(QStringLiteral("<P>\n<B\n>\n</B>\n")), ElementsAre("<P>", "<B\n>", "</B>"));
}

}  // namespace
