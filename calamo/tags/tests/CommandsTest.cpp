#include "Commands.h"
#include "WrapSelection.h"

#include "Fakes.h"

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;

namespace {

// Panels at their start values.
class StartPanels final : public PanelSource {
public:
    TestoPanel testo() const override { return {}; }
    CarattPanel carattere() const override { return {}; }
    CollegamentoPanel collegamento() const override { return {}; }
    ElencoPanel elenco() const override { return {}; }
    TabellaPanel tabella() const override { return {}; }
};

// Records the handler each entry runs; inserters run for real on an empty editor and record its text.
class RecordingWindow final : public CommandTarget {
public:
    void NuovoClick() override { ran = "Nuovo"; }
    void ApriClick() override { ran = "Apri"; }
    void SalvaClick() override { ran = "Salva"; }
    void Speed46Click() override { ran = "Salva tutto"; }
    void StampaClick() override { ran = "Stampa"; }
    void TagliaClick() override { ran = "Taglia"; }
    void CopiaClick() override { ran = "Copia"; }
    void IncollaClick() override { ran = "Incolla"; }
    void Speed23Click() override { ran = "Trova"; }
    void Speed33Click() override { ran = "Nuovo modulo"; }
    void Speed44Click() override { ran = "Browser 1"; }
    void Speed45Click() override { ran = "Browser 2"; }
    void SpeedClick(int button) override
    {
        FakeEditor editor;
        prompts.answers.push_back(true);                   // the blinking text's question
        prompts.inputs.emplace_back(QStringLiteral("u"));  // URL, name or address
        if (const auto insertion = SpeedTag(button, panels, prompts))
            WrapSelection(editor, insertion->open, insertion->close);
        ran = QStringLiteral("Speed%1 ").arg(button, 2, 10, QLatin1Char('0')) + editor.text();
    }

    QString ran;
    StartPanels panels;
    ScriptedPrompts prompts;
};

TEST(ShortcutEntries, EveryEntryRunsItsCommand)
{
    // The bound commands' table: entry, and what it does on an empty document.
    const std::vector<QString> expected = {
        "Nuovo",
        "Apri",
        "Salva",
        "Salva tutto",
        "Stampa",
        "Taglia",
        "Copia",
        "Incolla",
        "Trova",
        "Speed01 <P>",                          // 10 paragraph
        "Speed02 <BR>",                         // 11 line break
        "Speed03 <UL></UL>",                    // 12 indent
        "Speed47 &nbsp;",                       // 13 space
        "Speed04 <!---->",                      // 14 comment
        "Speed13 <HR>",                         // 15 rule ("3D" ticked at start)
        "Speed20 <FONT></FONT>",                // 16 font properties
        "Speed05 <B></B>",                      // 17 bold
        "Speed06 <I></I>",                      // 18 italic
        "Speed09 <S></S>",                      // 19 strike
        "Speed08 <U></U>",                      // 20 underline
        "Speed07 <TT></TT>",                    // 21 fixed width
        "Speed10 <SUP></SUP>",                  // 22 superscript
        "Speed11 <SUB></SUB>",                  // 23 subscript
        "Speed12 <BLINK></BLINK>",              // 24 blinking
        "Speed14 <UL></UL>",                    // 25 bulleted list
        "Speed15 <OL></OL>",                    // 26 numbered list
        "Speed16 <LI>",                         // 27 list item
        "Speed21 <TABLE></TABLE>",              // 28 table
        "Speed22 <TR>",                         // 29 row
        "Speed24 <TD>",                         // 30 cell
        "Speed17 <A HREF= \"u\"></A>",          // 31 link
        "Speed18 <A NAME= \"u\"></A>",          // 32 anchor
        "Speed19 <IMG SRC= \"u\">",             // 33 image
        "Speed32 <A HREF= \"mailto: u\"></A>",  // 34 e-mail
        "Nuovo modulo",
        "Browser 1",
        "Browser 2",  // 35 to 37
    };
    ASSERT_EQ(expected.size(), 37u);
    for (int entry = 1; entry <= 50; ++entry) {
        RecordingWindow window;
        runShortcutEntry(entry, window);
        EXPECT_EQ(window.ran, entry <= 37 ? expected[static_cast<std::size_t>(entry - 1)] : QString())
            << "entry " << entry;
    }
}

TEST(ToolbarInserters, ButtonsWithoutAnInserterInsertNothing)
{
    StartPanels panels;
    ScriptedPrompts prompts;
    for (int button : {23, 25, 31, 33, 34, 44, 46, 48})
        EXPECT_EQ(SpeedTag(button, panels, prompts), std::nullopt) << button;
    prompts.answers = {false};
    EXPECT_EQ(SpeedTag(12, panels, prompts), std::nullopt) << "No to the blinking question";
}

}  // namespace
