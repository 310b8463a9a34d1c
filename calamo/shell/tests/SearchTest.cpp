#include "Layout.h"
#include "Search.h"

#include "Fakes.h"

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(Search, IgnoresTheCaseOfEveryLetter)
{
    EXPECT_EQ(findText(u"xaby", u"AB", 0), 1);
    EXPECT_EQ(findText(u"Perch\u00C8 perch\u00E8", u"PERCH\u00E8", 1), 7);
    EXPECT_EQ(findText(u"abc", u"c", 3), -1);
    EXPECT_EQ(findText(u"abc", u"", 0), -1) << "an empty text is found nowhere";
}

TEST(Search, ReplaceAllGoesOnAfterEachReplacementAndNeverOverlaps)
{
    EXPECT_THAT(occurrences(u"aaaa", u"aa"), ElementsAre(0, 2));
    EXPECT_THAT(occurrences(u"aaa", u""), IsEmpty());

    FakeEditor editor;
    editor.setContent(QStringLiteral("aaa"));
    EXPECT_EQ(replaceAll(editor, QStringLiteral("a"), QStringLiteral("aa")), 3);
    EXPECT_EQ(editor.text(), "aaaaaa");
    EXPECT_EQ(editor.selectionStart(), 0);

    editor.setContent(QStringLiteral("<b>x</B><B>"));
    EXPECT_EQ(replaceAll(editor, QStringLiteral("<b>"), QStringLiteral("<strong>")), 2);
    EXPECT_EQ(editor.text(), "<strong>x</B><strong>");
    editor.select(2, 1);
    EXPECT_EQ(replaceAll(editor, QStringLiteral("zz"), QStringLiteral("y")), 0);
    EXPECT_EQ(editor.selectionStart(), 2) << "nothing found: nothing changes";
}

TEST(Search, FindAndFindNextSelectOrWarnAndKeepTheSelection)
{
    FakeEditor editor;
    ScriptedPrompts prompts;
    editor.setContent(QStringLiteral("one Two two"));
    EXPECT_TRUE(findAndSelect(editor, QStringLiteral("two"), 0, prompts));
    EXPECT_EQ(editor.selectionStart(), 4);
    EXPECT_EQ(editor.selectionLength(), 3);
    EXPECT_TRUE(findAndSelect(editor, QStringLiteral("two"), 7, prompts));
    EXPECT_EQ(editor.selectionStart(), 8);
    EXPECT_FALSE(findAndSelect(editor, QStringLiteral("two"), 11, prompts));
    EXPECT_EQ(editor.selectionStart(), 8);
    EXPECT_EQ(editor.selectionLength(), 3);
    EXPECT_THAT(prompts.log, ElementsAre("warning: Non è possibile trovare il testo specificato."));
    EXPECT_GE(editor.focusTaken, 3);
}

TEST(LayoutRule, PlacesTheControlsFromTheWindowSize)
{
    const WindowLayout start = FormResize(outerSize({754, 510}), false);
    EXPECT_EQ(start.lingue, QRect(156, 64, 597, 29));
    EXPECT_EQ(start.editors, QSize(597, 393));
    EXPECT_EQ(start.panelHeight, 429);
    EXPECT_EQ(start.imageHeight, 417);
    EXPECT_EQ(start.controlBarWidth, 748);
    // The find panel's design tops, to within a pixel.
    EXPECT_NEAR(start.edit2Top, 423, 1);
    EXPECT_NEAR(start.edit3Top, 465, 1);
    EXPECT_EQ(start.button13Top, start.edit2Top - 1);
    EXPECT_EQ(start.button24Top, start.edit3Top - 1);

    const WindowLayout find = FormResize(outerSize({754, 510}), true);
    EXPECT_EQ(find.editors, QSize(597, 323));
    const WindowLayout taller = FormResize(outerSize({754, 610}), true);
    EXPECT_EQ(taller.editors, QSize(597, 423)) << "100 pixels taller, still 70 shorter than without the panel";
    EXPECT_EQ(taller.edit2Top, start.edit2Top + 100);
}

}  // namespace

namespace {

std::vector<QString> tagsOf(QStringView text)
{
    std::vector<QString> tags;
    for (const TextRange& range : tagRanges(text))
        tags.push_back(text.mid(range.start, range.length).toString());
    return tags;
}

TEST(TagColouring, EachLessThanUpToTheFirstGreaterThanAfterIt)
{
    EXPECT_THAT(tagsOf(u"<p>Ciao<b>x</b>"), ElementsAre("<p>", "<b>", "</b>"));
    EXPECT_THAT(tagsOf(u"<a<b>"), ElementsAre("<a<b>"));
    EXPECT_THAT(tagsOf(u"a > b < c"), IsEmpty());
    EXPECT_THAT(tagsOf(u"<p>a <b"), ElementsAre("<p>"));
    EXPECT_THAT(tagsOf(u"<!-- a > b -->"), ElementsAre("<!-- a >"));
    EXPECT_THAT(tagsOf(u"<A\nHREF=x>"), ElementsAre("<A\nHREF=x>")) << "a tag split by a line break";
    EXPECT_THAT(tagsOf(u""), IsEmpty());
}

TEST(TagColouring, PaintsBlueThenPutsTheCaretBackAndTypesBlack)
{
    FakeEditor editor;
    editor.setContent(QStringLiteral("<p>Ciao<b>x</b>"));
    editor.select(4, 3);
    ColoraTag(editor);
    ASSERT_EQ(editor.coloured.size(), 3u);
    EXPECT_EQ(editor.coloured[1], std::pair(QString("<b>"), 0x0000C8u));
    EXPECT_EQ(editor.selectionStart(), 4);
    EXPECT_EQ(editor.selectionLength(), 0);
    EXPECT_EQ(editor.typingColour, 0x000000u);
    EXPECT_EQ(editor.text(), "<p>Ciao<b>x</b>");
}

}  // namespace
