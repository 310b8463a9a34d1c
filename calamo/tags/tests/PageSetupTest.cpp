#include "PageSetup.h"

#include "Fakes.h"

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;

namespace {

const QString kGenerator = " <META NAME= \"generator\" content= \"!! CaLaMo !!\">";

QStringList pageWith(const QStringList& head, const QString& body)
{
    return QStringList{"<HTML>", QString(), "<HEAD>"} + head +
           QStringList{"</HEAD>", QString(), body, QString(), QString(), QString(), "</BODY>", QString(), "</HTML>"};
}

TEST(PageSetupTest, TheStartStateGivesTheThirteenLineSkeleton)
{
    ScriptedPrompts prompts;
    const QStringList page = SetupPage(SetupPanel{}, PageChoices{}, prompts);
    EXPECT_EQ(page, pageWith({kGenerator}, "<BODY>"));
    EXPECT_EQ(page.size(), 13);
    EXPECT_TRUE(prompts.log.empty());
}

// Each option alone, from a panel with the generator unticked so the option's own line stands alone.
struct OptionRow {
    const char* name;
    SetupPanel panel;
    PageChoices choices;
    std::deque<std::optional<QString>> answers;
    QStringList head;
    QString body;
    std::vector<QString> asked;
};

const std::vector<OptionRow>& optionRows()
{
    static const std::vector<OptionRow> rows = {
        {"title", {.Edit1 = "Casa mia", .CheckBox2 = false}, {}, {}, {" <TITLE>Casa mia</TITLE>"}, "<BODY>", {}},
        {"description",
         {.Edit2 = "Una pagina", .CheckBox2 = false},
         {},
         {},
         {" <META NAME= \"description\" content= \"Una pagina\">"},
         "<BODY>",
         {}},
        {"keywords",
         {.Edit3 = "a,b", .CheckBox2 = false},
         {},
         {},
         {" <META NAME= \"keywords\" content= \"a,b\">"},
         "<BODY>",
         {}},
        {"refresh",
         {.CheckBox4 = true, .CheckBox2 = false},
         {},
         {"5", "http://x/"},
         {" <META HTTP-EQUIV=\"refresh\" content= \"5; URL= http://x/\">"},
         "<BODY>",
         {"input Refresh: Attesa in secondi:", "input Refresh: URL di destinazione:"}},
        {"generator", {}, {}, {}, {kGenerator}, "<BODY>", {}},
        {"author",
         {.CheckBox2 = false, .CheckBox1 = true},
         {},
         {"Io"},
         {" <META NAME= \"author\" content= \"Io\">"},
         "<BODY>",
         {"input Autore del documento: Prego immetti le informazioni."}},
        {"robots",
         {.CheckBox2 = false, .CheckBox3 = true},
         {},
         {},
         {" <META NAME= \"ROBOTS\" content= \"NOINDEX\">"},
         "<BODY>",
         {}},
        {"sound",
         {.CheckBox2 = false, .CheckBox7 = true},
         {},
         {"suono.mid"},
         {" <EMBED SRC= \"suono.mid\" AUTOSTART= true LOOP= true WIDTH= 0 HEIGHT= 0>"},
         "<BODY>",
         {"input Suono: Prego immetti l'URL."}},
        {"margins",
         {.CheckBox2 = false, .CheckBox6 = true},
         {},
         {"1", "2", "3", "4"},
         {},
         "<BODY LEFTMARGIN= 1 RIGHTMARGIN= 2 TOPMARGIN= 3 BOTTOMMARGIN= 4>",
         {"input Margini: Dimensione del margine sinistro:", "input Margini: Dimensione del margine destro:",
          "input Margini: Dimensione del margine superiore:", "input Margini: Dimensione del margine inferiore:"}},
        {"fixed background", {.CheckBox2 = false, .CheckBox5 = true}, {}, {}, {}, "<BODY BGPROPERTIES= \"fixed\">", {}},
        {"background image",
         {.CheckBox2 = false},
         {.image = "/home/io/sfondo.png"},
         {},
         {},
         "<BODY BACKGROUND= \"file:///home/io/sfondo.png\">",
         {}},
        {"background colour",
         {.CheckBox2 = false},
         {.background = 0x00FFFFFFu},
         {},
         {},
         "<BODY BGCOLOR=\"#FFFFFF\">",
         {}},
        {"text colour, pure blue", {.CheckBox2 = false}, {.text = 0x00FF0000u}, {}, {}, "<BODY TEXT=\"#0000FF\">", {}},
        {"link colour", {.CheckBox2 = false}, {.link = 0x000000FFu}, {}, {}, "<BODY LINK=\"#FF0000\">", {}},
        {"active link colour",
         {.CheckBox2 = false},
         {.activeLink = 0x0000FF00u},
         {},
         {},
         "<BODY ALINK=\"#00FF00\">",
         {}},
        {"visited link colour",
         {.CheckBox2 = false},
         {.visitedLink = 0x00123456u},
         {},
         {},
         "<BODY VLINK=\"#563412\">",
         {}},
    };
    return rows;
}

TEST(PageSetupTest, EachOptionAloneAddsItsLineOrAttribute)
{
    for (const OptionRow& row : optionRows()) {
        SCOPED_TRACE(row.name);
        ScriptedPrompts prompts;
        prompts.inputs = row.answers;
        EXPECT_EQ(SetupPage(row.panel, row.choices, prompts), pageWith(row.head, row.body));
        EXPECT_EQ(prompts.log, row.asked);
    }
}

TEST(PageSetupTest, EverythingTogetherKeepsTheOrderOfLinesAndAttributes)
{
    ScriptedPrompts prompts;
    prompts.inputs = {"10", "altra.htm", "Io", "ding.wav", "1", "2", "3", "4"};
    const SetupPanel panel{.Edit1 = "T",
                           .Edit2 = "D",
                           .Edit3 = "K",
                           .CheckBox4 = true,
                           .CheckBox2 = true,
                           .CheckBox1 = true,
                           .CheckBox3 = true,
                           .CheckBox7 = true,
                           .CheckBox6 = true,
                           .CheckBox5 = true};
    const PageChoices choices{.image = "/i.gif",
                              .background = 0x000000u,
                              .text = 0x0000FFu,
                              .link = 0x00FF00u,
                              .activeLink = 0xFF0000u,
                              .visitedLink = 0xFFFFFFu};
    EXPECT_EQ(SetupPage(panel, choices, prompts),
              pageWith({" <META NAME= \"description\" content= \"D\">", " <META NAME= \"keywords\" content= \"K\">",
                        " <META HTTP-EQUIV=\"refresh\" content= \"10; URL= altra.htm\">", kGenerator,
                        " <META NAME= \"author\" content= \"Io\">", " <META NAME= \"ROBOTS\" content= \"NOINDEX\">",
                        " <EMBED SRC= \"ding.wav\" AUTOSTART= true LOOP= true WIDTH= 0 HEIGHT= 0>",
                        " <TITLE>T</TITLE>"},
                       "<BODY LEFTMARGIN= 1 RIGHTMARGIN= 2 TOPMARGIN= 3 BOTTOMMARGIN= 4 BACKGROUND= \"file:///i.gif\""
                       " BGPROPERTIES= \"fixed\" BGCOLOR=\"#000000\" TEXT=\"#FF0000\" LINK=\"#00FF00\""
                       " ALINK=\"#0000FF\" VLINK=\"#FFFFFF\">"));
}

TEST(PageSetupTest, CancelledBoxesGiveEmptyValuesAndThePageIsStillWritten)
{
    ScriptedPrompts prompts;
    prompts.inputs = {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
    const SetupPanel panel{.CheckBox2 = false, .CheckBox1 = true, .CheckBox6 = true};
    EXPECT_EQ(SetupPage(panel, PageChoices{}, prompts),
              pageWith({" <META NAME= \"author\" content= \"\">"},
                       "<BODY LEFTMARGIN=  RIGHTMARGIN=  TOPMARGIN=  BOTTOMMARGIN= >"));
}

TEST(PageSetupTest, TypedValuesGoInUnchanged)
{
    ScriptedPrompts prompts;
    const SetupPanel panel{.Edit1 = " <b>\"&amp; ", .Edit2 = "\"", .CheckBox2 = false};
    const QStringList page = SetupPage(panel, PageChoices{}, prompts);
    EXPECT_EQ(page[3], " <META NAME= \"description\" content= \"\"\">");
    EXPECT_EQ(page[4], " <TITLE> <b>\"&amp; </TITLE>");
}

// The image comes from the file dialog, not from typing: a path with blanks, quotes or accents must neither end
// the attribute nor depend on the page's charset.
TEST(PageSetupTest, AChosenImageIsAFileUrlThatKeepsTheAttributeWhole)
{
    EXPECT_EQ(BackgroundImageUrl("/home/io/mie foto/\"sfondo\" è.png"),
              "file:///home/io/mie%20foto/%22sfondo%22%20%C3%A8.png");
    EXPECT_EQ(BackgroundImageUrl("/a/b#c?d.png"), "file:///a/b%23c%3Fd.png");
    // A file that is really called "void" is still a choice.
    ScriptedPrompts prompts;
    const QStringList page = SetupPage(SetupPanel{.CheckBox2 = false}, PageChoices{.image = "/tmp/void"}, prompts);
    EXPECT_EQ(page[5], "<BODY BACKGROUND= \"file:///tmp/void\">");
}

TEST(PageSetupTest, TheCaretGoesToTheMiddleEmptyBodyLine)
{
    ScriptedPrompts prompts;
    const QStringList page = SetupPage(SetupPanel{}, PageChoices{}, prompts);
    const QString text = page.join(u'\n');
    const int caret = SetupCaret(page);
    EXPECT_EQ(text.left(caret), "<HTML>\n\n<HEAD>\n" + kGenerator + "\n</HEAD>\n\n<BODY>\n\n");
    EXPECT_EQ(text.mid(caret), "\n\n</BODY>\n\n</HTML>");
}

}  // namespace
