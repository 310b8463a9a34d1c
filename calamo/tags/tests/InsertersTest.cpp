#include "Inserters.h"
#include "WrapSelection.h"

#include "DocumentTable.h"
#include "Fakes.h"
#include "FileSystem.h"

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;

namespace {

// A document holding `text` with a selection, for the insertion operation.
class WrapSelectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.createFirstDocument();
        editor().setText(QStringLiteral("a word here"));
        editor().wholeReplacements = 0;
    }
    FakeEditor& editor() { return host.editor(0); }

    FakeHost host;
    ScriptedPrompts prompts;
    PosixFileSystem files;
    DocumentTable table{host, prompts, files, QStringLiteral("/tmp/~temp.htm")};
};

TEST_F(WrapSelectionTest, WrapsTheSelectionAndLeavesTheCaretBeforeTheClosingText)
{
    editor().select(2, 4);
    WrapSelection(table, QStringLiteral("<B>"), QStringLiteral("</B>"));
    EXPECT_EQ(editor().text(), "a <B>word</B> here");
    EXPECT_EQ(editor().selectionStart(), 9);
    EXPECT_EQ(editor().selectionLength(), 0);
    EXPECT_FALSE(table.document(0).saved);
}

TEST_F(WrapSelectionTest, WithoutASelectionTheCaretGoesBetweenTheTexts)
{
    editor().setCaret(11);
    WrapSelection(table, QStringLiteral("<UL>"), QStringLiteral("</UL>"));
    EXPECT_EQ(editor().text(), "a word here<UL></UL>");
    EXPECT_EQ(editor().selectionStart(), 15);
}

TEST_F(WrapSelectionTest, AnOpeningTextAloneGoesBeforeTheSelectionAndTheCaretAfterIt)
{
    editor().select(2, 4);
    WrapSelection(table, QStringLiteral("<BR>"));
    EXPECT_EQ(editor().text(), "a <BR>word here");
    EXPECT_EQ(editor().selectionStart(), 10);
    EXPECT_EQ(editor().selectionLength(), 0);
}

TEST_F(WrapSelectionTest, ChangesOnlyTheInsertionPointsAndMarksEvenAnEmptyInsertion)
{
    editor().select(0, 1);
    WrapSelection(table, QString(), QString());
    EXPECT_EQ(editor().text(), "a word here");
    EXPECT_EQ(editor().selectionStart(), 1);
    EXPECT_FALSE(table.document(0).saved);
    EXPECT_EQ(editor().wholeReplacements, 0);
}

TEST_F(WrapSelectionTest, LineBreaksCountAsOneCharacter)
{
    editor().setContent(QStringLiteral("ab\ncd"));
    editor().select(3, 2);
    WrapSelection(table, QStringLiteral("<I>"), QStringLiteral("</I>"));
    EXPECT_EQ(editor().text(), "ab\n<I>cd</I>");
    EXPECT_EQ(editor().selectionStart(), 8);
}

TEST_F(WrapSelectionTest, DoesNothingWhenNoDocumentIsOpen)
{
    table.ChiudiClick();
    WrapSelection(table, QStringLiteral("<B>"), QStringLiteral("</B>"));
    EXPECT_TRUE(table.empty());
}

TEST(ColorToHtmlHex, WritesRedGreenBlueFromTheBgrValue)
{
    EXPECT_EQ(ColorToHtmlHex(0x000000FF), "FF0000");
    EXPECT_EQ(ColorToHtmlHex(0x0000FF00), "00FF00");
    EXPECT_EQ(ColorToHtmlHex(0x00FF0000), "0000FF");
    EXPECT_EQ(ColorToHtmlHex(0x00123456), "563412");
    EXPECT_EQ(ColorToHtmlHex(0x00000000), "000000");
    EXPECT_EQ(ColorToHtmlHex(0x00C0C0C0), "C0C0C0");
}

TEST(FixedTags, EveryButtonHasItsTexts)
{
    const std::vector<std::tuple<int, const char*, const char*>> rows = {
        {2, "<BR>", ""},    {3, "<UL>", "</UL>"},    {4, "<!--", "-->"},      {47, "&nbsp;", ""},
        {5, "<B>", "</B>"}, {6, "<I>", "</I>"},      {7, "<TT>", "</TT>"},    {8, "<U>", "</U>"},
        {9, "<S>", "</S>"}, {10, "<SUP>", "</SUP>"}, {11, "<SUB>", "</SUB>"}, {22, "<TR>", ""},
    };
    for (const auto& [button, open, close] : rows)
        EXPECT_EQ(fixedTag(button), (Insertion{QLatin1String(open), QLatin1String(close)})) << button;
    EXPECT_EQ(fixedTag(1), std::nullopt);
    EXPECT_EQ(fixedTag(12), std::nullopt);
}

TEST(BlinkTag, AsksFirstAndInsertsOnlyOnYes)
{
    ScriptedPrompts prompts;
    prompts.answers = {false, true};
    EXPECT_EQ(Speed12Tag(prompts), std::nullopt);
    EXPECT_EQ(Speed12Tag(prompts), (Insertion{"<BLINK>", "</BLINK>"}));
    EXPECT_EQ(prompts.log[0], "question Warning: Sei proprio sicuro di volerlo? ;)");
}

TEST(TextPanelTags, ParagraphAndRuleFollowTheirBoxes)
{
    ScriptedPrompts prompts;
    TestoPanel panel;
    EXPECT_EQ(Speed01Tag(panel), (Insertion{"<P>", ""}));
    panel.CheckBox28 = true;
    EXPECT_EQ(Speed01Tag(panel), (Insertion{"<P ALIGN= >", ""}));
    panel.ComboBox5 = QStringLiteral("center");
    panel.CheckBox3 = true;
    EXPECT_EQ(Speed01Tag(panel), (Insertion{"<P ALIGN= center>", "</P>"}));

    EXPECT_EQ(Speed13Tag(panel, prompts).open, "<HR>");
    panel.CheckBox10 = false;
    EXPECT_EQ(Speed13Tag(panel, prompts).open, "<HR NOSHADE>");
    panel.CheckBox7 = panel.CheckBox8 = panel.CheckBox9 = panel.CheckBox33 = true;
    panel.ComboBox6 = QStringLiteral("left");
    panel.Edit9 = QStringLiteral("%50");
    prompts.colours = {0x0000FF00};
    EXPECT_EQ(Speed13Tag(panel, prompts),
              (Insertion{"<HR ALIGN= left SIZE= 1 WIDTH= %50 COLOR= \"#00FF00\" NOSHADE>", ""}));
    EXPECT_TRUE(prompts.colours.empty());
}

TEST(FontTag, ACancelledColourDropsOnlyTheColour)
{
    ScriptedPrompts prompts;
    CarattPanel panel;
    panel.CheckBox26 = true;
    prompts.colours = {std::nullopt};
    EXPECT_EQ(Speed20Tag(panel, prompts), (Insertion{"<FONT>", "</FONT>"}));
    panel.CheckBox31 = panel.CheckBox1 = true;
    panel.ComboBox1 = QStringLiteral("DejaVu Sans");
    panel.ComboBox10 = QStringLiteral("+2");
    prompts.colours = {0x000000FF};
    EXPECT_EQ(Speed20Tag(panel, prompts).open, "<FONT FACE= \"DejaVu Sans\" SIZE= +2 COLOR= \"#FF0000\">");
}

TEST(ListTags, TypesStartsAndValues)
{
    ElencoPanel panel;
    EXPECT_EQ(Speed14Tag(panel), (Insertion{"<UL>", "</UL>"}));
    EXPECT_EQ(Speed15Tag(panel), (Insertion{"<OL>", "</OL>"}));
    EXPECT_EQ(Speed16Tag(panel), (Insertion{"<LI>", ""}));
    panel.CheckBox5 = panel.CheckBox4 = panel.CheckBox6 = panel.CheckBox29 = panel.CheckBox30 = true;
    panel.ComboBox2 = QStringLiteral("square");
    panel.ComboBox3 = QStringLiteral("i  num. romani minuscoli");
    panel.Edit6 = QStringLiteral("3");
    panel.ComboBox4 = QStringLiteral("A");
    panel.Edit26 = QStringLiteral("7");
    EXPECT_EQ(Speed14Tag(panel).open, "<UL TYPE= square>");
    EXPECT_EQ(Speed15Tag(panel).open, "<OL TYPE= i START= 3>");
    EXPECT_EQ(Speed16Tag(panel).open, "<LI TYPE= A VALUE= 7>");
    panel.ComboBox3.clear();
    EXPECT_EQ(Speed15Tag(panel).open, "<OL TYPE=  START= 3>");
}

TEST(LinkTags, InputBoxesGiveUrlNameAndAddressAndCancelGivesEmpty)
{
    ScriptedPrompts prompts;
    CollegamentoPanel panel;
    prompts.inputs = {std::nullopt, QStringLiteral("page.htm"), QStringLiteral("top"), QStringLiteral("me@host")};
    EXPECT_EQ(Speed17Tag(panel, prompts), (Insertion{"<A HREF= \"\">", "</A>"}));
    panel.CheckBox2 = true;
    panel.ComboBox9 = QStringLiteral("_blank");
    EXPECT_EQ(Speed17Tag(panel, prompts).open, "<A HREF= \"page.htm\" TARGET= \"_blank\">");
    EXPECT_EQ(Speed18Tag(prompts), (Insertion{"<A NAME= \"top\">", "</A>"}));
    EXPECT_EQ(Speed32Tag(prompts), (Insertion{"<A HREF= \"mailto: me@host\">", "</A>"}));
    EXPECT_EQ(prompts.log, (std::vector<QString>{"input Link: Prego immetti l'URL.", "input Link: Prego immetti l'URL.",
                                                 "input Sezione: Prego immetti il nome della sezione.",
                                                 "input Mailto: Prego immetti l'indirizzo di posta elettronica."}));
}

TEST(ImageTag, AttributesInOrderWithTheLowResolutionBoxSecond)
{
    ScriptedPrompts prompts;
    CollegamentoPanel panel;
    prompts.inputs = {QStringLiteral("a.gif")};
    EXPECT_EQ(Speed19Tag(panel, prompts), (Insertion{"<IMG SRC= \"a.gif\">", ""}));

    panel.CheckBox14 = panel.CheckBox27 = panel.CheckBox12 = panel.CheckBox11 = true;
    panel.CheckBox16 = panel.CheckBox17 = panel.CheckBox15 = panel.CheckBox13 = true;
    panel.Edit16 = QStringLiteral("Logo");
    panel.Edit11 = QStringLiteral("80");
    panel.Edit10 = QStringLiteral("60");
    panel.ComboBox8 = QStringLiteral("middle");
    prompts.inputs = {QStringLiteral("big.gif"), QStringLiteral("small.gif")};
    EXPECT_EQ(Speed19Tag(panel, prompts).open,
              "<IMG ALT= \"Logo\" SRC= \"big.gif\" LOWSRC= \"small.gif\" WIDTH= 80 HEIGHT= 60 VSPACE= 1 HSPACE= 1 "
              "BORDER= 1 ALIGN= middle>");
    EXPECT_EQ(prompts.log.back(), "input Immagine low-res: Prego immetti l'URL.");
}

TEST(TableTags, TableWithCaptionAndCells)
{
    ScriptedPrompts prompts;
    TabellaPanel panel;
    EXPECT_EQ(Speed21Tag(panel, prompts), (Insertion{"<TABLE>", "</TABLE>"}));
    panel.CheckBox22 = panel.CheckBox20 = true;
    panel.Edit21 = QStringLiteral("Prezzi");
    panel.ComboBox7 = QStringLiteral("top");
    EXPECT_EQ(Speed21Tag(panel, prompts), (Insertion{"<TABLE><CAPTION ALIGN= top>Prezzi</CAPTION>", "</TABLE>"}));
    panel.CheckBox21 = panel.CheckBox34 = panel.CheckBox19 = panel.CheckBox25 = panel.CheckBox24 = true;
    panel.CheckBox20 = false;
    panel.Edit18 = QStringLiteral("100%");
    prompts.colours = {0x00FFFFFF};
    EXPECT_EQ(
        Speed21Tag(panel, prompts).open,
        "<TABLE BORDER= 1 BGCOLOR= \"#FFFFFF\" WIDTH= 100% CELLSPACING= 1 CELLPADDING= 1><CAPTION>Prezzi</CAPTION>");

    EXPECT_EQ(Speed24Tag(panel), (Insertion{"<TD>", ""}));
    panel.CheckBox32 = panel.CheckBox18 = panel.CheckBox23 = true;
    panel.Edit17 = QStringLiteral("50");
    EXPECT_EQ(Speed24Tag(panel).open, "<TH WIDTH= 50 NOWRAP>");
}

TEST(PanelCycle, BrowsesTwoToEightAndNeverBackToOne)
{
    EXPECT_EQ(nextPanel(1), 2);
    EXPECT_EQ(nextPanel(7), 8);
    EXPECT_EQ(nextPanel(8), 2);
    EXPECT_EQ(nextPanel(0), 0);
}

}  // namespace
