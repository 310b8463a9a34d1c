#include "Frameset.h"

#include "Fakes.h"

#include <gmock/gmock.h>

#include <cmath>

using namespace calamo;
using namespace calamo::testing;

namespace {

const QStringList kTail = {
    QString(),  QString(),    "<NOFRAME>", " <BODY>", "  Questa pagina usa i frame ma il tuo browser non li supporta.",
    " </BODY>", "</NOFRAME>", QString(),   QString(), "</HTML>"};

TEST(FramesetTest, TheFirstTemplateWithNoOptionIsTheWholeNineteenLinePage)
{
    ScriptedPrompts prompts;
    const QStringList page = FramesetPage(1, FramesetPanel{}, prompts);
    const QStringList expected = QStringList{"<HTML>",
                                             QString(),
                                             "<HEAD>",
                                             "</HEAD>",
                                             QString(),
                                             "<FRAMESET  ROWS= \"80,*\">",
                                             " <FRAME  NAME= \"SOPRA\" SRC= \"SOPRA.HTM\">",
                                             " <FRAME  NAME= \"SOTTO\" SRC= \"SOTTO.HTM\">",
                                             "</FRAMESET>"} +
                                 kTail;
    EXPECT_EQ(page, expected);
    EXPECT_EQ(page.size(), 19);
    EXPECT_TRUE(prompts.log.empty());
}

// The lines between the head and the tail of every template, with no option ticked.
struct TemplateRow {
    int button;
    QStringList lines;
};

const std::vector<TemplateRow> kTemplates = {
    {2,
     {"<FRAMESET  COLS= \"100,*\">", " <FRAME  NAME= \"SX\" SRC= \"SX.HTM\">", " <FRAME  NAME= \"DX\" SRC= \"DX.HTM\">",
      "</FRAMESET>"}},
    {3,
     {"<FRAMESET  ROWS= \"100,*\">", " <FRAME  NAME= \"ALTO\" SRC= \"ALTO.HTM\">", " <FRAMESET  COLS= \"150,*\">",
      "  <FRAME  NAME= \"SX\" SRC= \"SX.HTM\">", "  <FRAME  NAME= \"DX\" SRC= \"DX.HTM\">", " </FRAMESET>",
      "</FRAMESET>"}},
    {4,
     {"<FRAMESET  COLS= \"120,*\">", " <FRAME  NAME= \"SX\" SRC= \"SX.HTM\">", " <FRAMESET  ROWS= \"100,*\">",
      "  <FRAME  NAME= \"ALTO\" SRC= \"ALTO.HTM\">", "  <FRAME  NAME= \"BASSO\" SRC= \"BASSO.HTM\">", " </FRAMESET>",
      "</FRAMESET>"}},
    {5,
     {"<FRAMESET  COLS= \"120,*\">", " <FRAME  NAME= \"SX\" SRC= \"SX.HTM\">", " <FRAMESET  ROWS= \"20%,60%,20%,*\">",
      "  <FRAME  NAME= \"ALT0\" SRC= \"ALTO.HTM\">", "  <FRAME  NAME= \"CENTALE\" SRC= \"CENTRALE.HTM\">",
      "  <FRAME  NAME= \"BASSO\" SRC= \"BASSO.HTM\">", " </FRAMESET>", "</FRAMESET>"}},
    {6,
     {"<FRAMESET  COLS= \"75%,25%\">", " <FRAMESET  ROWS= \"20%,80%\">", "  <FRAME  NAME= \"ALT0\" SRC= \"ALTO.HTM\">",
      "  <FRAME  NAME= \"BASSO\" SRC= \"BASSO.HTM\">", " </FRAMESET>", " <FRAME  NAME= \"DX\" SRC= \"DX.HTM\">",
      "</FRAMESET>"}},
    {7,
     {"<FRAMESET  COLS= \"75%,25%\">", " <FRAMESET  ROWS= \"20%,80%\">", "  <FRAME  NAME= \"ALT0\" SRC= \"ALTO.HTM\">",
      "  <FRAMESET  COLS= \"20%,80%\">", "   <FRAME  NAME= \"SX\" SRC= \"SX.HTM\">",
      "   <FRAME  NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">", "  </FRAMESET>", " </FRAMESET>",
      " <FRAME  NAME= \"DX\" SRC= \"DX.HTM\">", "</FRAMESET>"}},
    {8,
     {"<FRAMESET  COLS= \"75%,25%\">", " <FRAMESET  ROWS= \"80%,20%\">",
      "  <FRAME  NAME= \"ALTOSX\" SRC= \"ALTOSX.HTM\">", "  <FRAME  NAME= \"BASSOSX\" SRC= \"BASSOSX.HTM\">",
      " </FRAMESET>", " <FRAMESET  ROWS= \"24%,76%\">", "  <FRAME  NAME= \"ALTODX\" SRC= \"ALTODX.HTM\">",
      "  <FRAME  NAME= \"BASSODX\" SRC= \"BASSODX.HTM\">", " </FRAMESET>", "</FRAMESET>"}},
    {9,
     {"<FRAMESET  COLS= \"75%,25%\">", " <FRAMESET  ROWS= \"80%,20%\">",
      "  <FRAME  NAME= \"ALT0SX\" SRC= \"ALTOSX.HTM\">", "  <FRAME  NAME= \"BASSOSX\" SRC= \"BASSOSX.HTM\">",
      " </FRAMESET>", " <FRAME  NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">", "</FRAMESET>"}},
    {10,
     {"<FRAMESET  ROWS= \"20%,60%,20%\">", " <FRAME  NAME= \"ALT0\" SRC= \"ALTO.HTM\">",
      " <FRAME  NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">", " <FRAME  NAME= \"BASSO\" SRC= \"BASSO.HTM\">",
      "</FRAMESET>"}},
    {11,
     {"<FRAMESET  COLS= \"20%,60%,20%\">", " <FRAME  NAME= \"SX\" SRC= \"SX.HTM\">",
      " <FRAME  NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">", " <FRAME  NAME= \"DX\" SRC= \"DX.HTM\">", "</FRAMESET>"}},
};

TEST(FramesetTest, EveryTemplateWithNoOptionGivesItsLinesBetweenHeadAndTail)
{
    for (const TemplateRow& row : kTemplates) {
        SCOPED_TRACE(row.button);
        ScriptedPrompts prompts;
        EXPECT_EQ(FramesetPage(row.button, FramesetPanel{}, prompts), FramesetHead() + row.lines + kTail);
    }
}

// Every option ticked: each FRAMESET line carries border, frame border and its own colour, each FRAME line
// scrolling and NORESIZE, and the rest of every line is as without options.
TEST(FramesetTest, EveryTemplateWithEveryOptionCarriesThemOnEachLine)
{
    const FramesetPanel all{.CheckBox35 = true,
                            .Edit1 = "2",
                            .CheckBox37 = true,
                            .ComboBox11 = "no",
                            .CheckBox39 = true,
                            .CheckBox40 = true,
                            .ComboBox12 = "auto",
                            .CheckBox38 = true};
    for (int button = 1; button <= kFramesetTemplates; ++button) {
        SCOPED_TRACE(button);
        ScriptedPrompts plainPrompts;
        const QStringList plain = FramesetPage(button, FramesetPanel{}, plainPrompts);
        ScriptedPrompts prompts;
        const int framesets = static_cast<int>(plain.filter("<FRAMESET ").size());
        for (int i = 0; i < framesets; ++i)
            prompts.colours.push_back(0x000010u * static_cast<std::uint32_t>(i + 1));  // red 10, 20, 30
        const QStringList page = FramesetPage(button, all, prompts);
        ASSERT_EQ(page.size(), plain.size());
        EXPECT_TRUE(prompts.colours.empty());
        int frameset = 0;
        for (qsizetype i = 0; i < page.size(); ++i) {
            QString expected = plain[i];
            if (expected.trimmed().startsWith("<FRAMESET ")) {
                ++frameset;
                const QString red = QString::number(frameset * 16, 16);
                expected.replace("<FRAMESET ",
                                 "<FRAMESET  BORDER= 2 FRAMEBORDER= no BORDERCOLOR= \"#" + red + "0000\"");
            } else if (expected.trimmed().startsWith("<FRAME ")) {
                expected.replace("<FRAME ", "<FRAME  SCROLLING= \"auto\" NORESIZE");
            }
            EXPECT_EQ(page[i], expected);
        }
    }
}

TEST(FramesetTest, BorderWidthAndNoResizeGoInBareWithTwoBlanksAfterTheTag)
{
    ScriptedPrompts prompts;
    const FramesetPanel panel{.CheckBox35 = true, .CheckBox38 = true};
    const QStringList body = FramesetBody(2, panel, prompts);
    EXPECT_EQ(body[0], "<FRAMESET  BORDER= 1 COLS= \"100,*\">");
    EXPECT_EQ(body[1], " <FRAME  NORESIZE NAME= \"SX\" SRC= \"SX.HTM\">");
}

TEST(FramesetTest, ValuesGoInExactlyAsTyped)
{
    ScriptedPrompts prompts;
    const FramesetPanel panel{
        .CheckBox35 = true, .Edit1 = " 3 px\"", .CheckBox37 = true, .CheckBox40 = true, .ComboBox12 = "<?>"};
    const QStringList body = FramesetBody(1, panel, prompts);
    EXPECT_EQ(body[0], "<FRAMESET  BORDER=  3 px\" FRAMEBORDER=  ROWS= \"80,*\">");
    EXPECT_EQ(body[1], " <FRAME  SCROLLING= \"<?>\" NAME= \"SOPRA\" SRC= \"SOPRA.HTM\">");
}

TEST(FramesetTest, CancellingOneColourDropsOnlyThatFramesetsBorderColour)
{
    ScriptedPrompts prompts;
    prompts.colours = {0x0000FFu, std::nullopt, 0xFF0000u};
    const QStringList body = FramesetBody(8, FramesetPanel{.CheckBox39 = true}, prompts);
    EXPECT_EQ(prompts.log, (std::vector<QString>{"colour", "colour", "colour"}));
    EXPECT_EQ(body[0], "<FRAMESET  BORDERCOLOR= \"#FF0000\" COLS= \"75%,25%\">");
    EXPECT_EQ(body[1], " <FRAMESET  ROWS= \"80%,20%\">");
    EXPECT_EQ(body[5], " <FRAMESET  BORDERCOLOR= \"#0000FF\" ROWS= \"24%,76%\">");
}

TEST(FramesetTest, AnUnknownButtonMakesNoPage)
{
    ScriptedPrompts prompts;
    EXPECT_TRUE(FramesetPage(0, FramesetPanel{}, prompts).isEmpty());
    EXPECT_TRUE(FramesetPage(12, FramesetPanel{}, prompts).isEmpty());
    EXPECT_TRUE(FramesetCells(12).empty());
}

// The pictures: one cell per frame that gets room, tiling the page without overlap.
TEST(FramesetTest, PicturesShowOneCellPerFrameTilingThePage)
{
    for (int button = 1; button <= kFramesetTemplates; ++button) {
        SCOPED_TRACE(button);
        ScriptedPrompts prompts;
        const std::vector<QRectF> cells = FramesetCells(button);
        EXPECT_EQ(static_cast<qsizetype>(cells.size()),
                  FramesetBody(button, FramesetPanel{}, prompts).filter("<FRAME ").size());
        double area = 0;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            EXPECT_GT(cells[i].width(), 0.0);
            EXPECT_GT(cells[i].height(), 0.0);
            EXPECT_TRUE(QRectF(0, 0, 1, 1).adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(cells[i]));
            area += cells[i].width() * cells[i].height();
            for (std::size_t j = 0; j < i; ++j) {
                const QRectF overlap = cells[i].intersected(cells[j]);
                EXPECT_LT(overlap.width() * overlap.height(), 1e-9);
            }
        }
        EXPECT_NEAR(area, 1.0, 1e-9);
    }
}

TEST(FramesetTest, PictureSizesFollowTheLayoutsPixelsAndPercentages)
{
    // ROWS= "80,*" on a 480-pixel page; COLS= "75%,25%" with rows 20%/80% in the left part.
    const std::vector<QRectF> top = FramesetCells(1);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_NEAR(top[0].height(), 80.0 / 480, 1e-9);
    EXPECT_NEAR(top[1].top(), 80.0 / 480, 1e-9);
    const std::vector<QRectF> six = FramesetCells(6);
    ASSERT_EQ(six.size(), 3u);
    EXPECT_NEAR(six[0].width(), 0.75, 1e-9);
    EXPECT_NEAR(six[0].height(), 0.2, 1e-9);
    EXPECT_NEAR(six[2].left(), 0.75, 1e-9);
    EXPECT_NEAR(six[2].height(), 1.0, 1e-9);
}

}  // namespace
