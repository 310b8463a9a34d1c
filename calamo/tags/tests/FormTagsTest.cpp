#include "FormTags.h"
#include "WrapSelection.h"

#include "DocumentTable.h"
#include "Fakes.h"
#include "FileSystem.h"

#include <gmock/gmock.h>

using namespace calamo;
using namespace calamo::testing;

namespace {

Insertion tag(const char* open, const char* close = "")
{
    return {QString::fromUtf8(open), QString::fromUtf8(close)};
}

TEST(FormTagsTest, EveryPageInItsStartStateGivesItsPlainTag)
{
    EXPECT_EQ(Button4Tag({}), tag("<FORM ACTION= \"\" METHOD= \"post\">", "\n</FORM>"));
    EXPECT_EQ(Button8Tag({}), tag(" <INPUT TYPE= text NAME= \"\">"));
    EXPECT_EQ(Button5Tag({}), tag(" <INPUT TYPE= checkbox NAME= \"\">"));
    EXPECT_EQ(Button7Tag({}), tag(" <INPUT TYPE= submit>"));
    EXPECT_EQ(Button6Tag({}), tag(" <INPUT TYPE= hidden NAME= \"\">"));
    EXPECT_EQ(Button9Tag({}), tag(" <TEXTAREA NAME= \"\">\nTesto...", "\n</TEXTAREA>"));
    EXPECT_EQ(Button2Tag({}), tag(" <SELECT NAME= \"\">", "\n </SELECT>"));
    EXPECT_EQ(Button3Tag({}), tag("\n  <OPTION>Testo della voce dell'elenco</OPTION>"));
}

TEST(FormTagsTest, EveryOptionTickedComesInItsFixedOrderWithValuesAsTyped)
{
    CampoTestoPage text;
    text.RadioButton1 = false;
    text.RadioButton3 = true;
    text.Edit1 = QStringLiteral("eta");
    text.CheckBox30 = text.CheckBox1 = text.CheckBox4 = text.CheckBox3 = true;
    text.CheckBox7 = text.CheckBox5 = text.CheckBox6 = true;
    text.Edit3 = QStringLiteral("0");
    text.Edit4 = QStringLiteral("120");
    text.Edit6 = QStringLiteral(" 3\"");  // unchanged: no trimming, no escaping
    text.Edit2 = QStringLiteral("4");
    text.Edit5 = QStringLiteral("3");
    EXPECT_EQ(Button8Tag(text), tag(" <INPUT TYPE= int NAME= \"eta\" READONLY DISABLED MIN= 0 MAX= 120"
                                    " VALUE= \" 3\"\" SIZE= 4 MAXLENGTH= 3>"));

    ControlloPage check;
    check.RadioButton4 = false;
    check.RadioButton5 = true;
    check.Edit7 = QStringLiteral("sesso");
    check.CheckBox14 = check.CheckBox8 = true;
    check.Edit12 = QStringLiteral("f");
    EXPECT_EQ(Button5Tag(check), tag(" <INPUT TYPE= radio NAME= \"sesso\" VALUE= \"f\" CHECKED>"));

    BottonePage button;
    button.RadioButton6 = false;
    button.RadioButton8 = true;
    button.CheckBox11 = button.CheckBox10 = button.CheckBox17 = button.CheckBox29 = button.CheckBox28 = true;
    button.Edit8 = QStringLiteral("Invia");
    button.Edit15 = QStringLiteral("img/ok.gif");
    button.Edit14 = QStringLiteral("ok");
    button.Edit22 = QStringLiteral("80");
    button.Edit21 = QStringLiteral("20");
    EXPECT_EQ(Button7Tag(button), tag(" <INPUT TYPE= button VALUE= \"Invia\" SRC= \"img/ok.gif\" ALT= \"ok\""
                                      " WIDTH= 80 HEIGHT= 20>"));
    button.RadioButton8 = false;
    button.RadioButton7 = true;
    button.CheckBox11 = button.CheckBox10 = button.CheckBox17 = button.CheckBox29 = button.CheckBox28 = false;
    EXPECT_EQ(Button7Tag(button), tag(" <INPUT TYPE= reset>"));

    NascostoPage hidden;
    hidden.Edit9 = QStringLiteral("id");
    hidden.CheckBox13 = true;
    hidden.Edit10 = QStringLiteral("42");
    EXPECT_EQ(Button6Tag(hidden), tag(" <INPUT TYPE= hidden NAME= \"id\" VALUE= \"42\">"));

    AreaTestoPage area;
    area.CheckBox16 = area.CheckBox18 = area.CheckBox15 = true;
    area.Edit11 = QStringLiteral("40");
    area.Edit13 = QStringLiteral("5");
    area.Memo2 = QStringLiteral("riga 1\nriga 2");
    EXPECT_EQ(Button9Tag(area), tag(" <TEXTAREA NAME= \"\" COLS= 40 ROWS= 5 WRAP>\nriga 1\nriga 2", "\n</TEXTAREA>"));

    ElencoModuloPage list;
    list.Edit17 = QStringLiteral("colore");
    list.CheckBox22 = list.CheckBox20 = list.CheckBox23 = list.CheckBox27 = true;
    list.Edit18 = QStringLiteral("3");
    list.Edit19 = QStringLiteral("rosso");
    EXPECT_EQ(Button2Tag(list), tag(" <SELECT NAME= \"colore\" SIZE= 3 MULTIPLE>", "\n </SELECT>"));
    EXPECT_EQ(Button3Tag(list), tag("\n  <OPTION SELECTED DISABLED>rosso</OPTION>"));
}

TEST(FormTagsTest, UntickedBoxesLeaveTheirValuesOut)
{
    NascostoPage hidden;
    hidden.CheckBox12 = false;
    hidden.Edit9 = QStringLiteral("ignored");
    EXPECT_EQ(Button6Tag(hidden), tag(" <INPUT TYPE= hidden>"));

    NuovoModuloPage form;
    form.CheckBox25 = form.CheckBox24 = false;
    form.Edit20 = QStringLiteral("/cgi");
    form.ComboBox2 = QString::fromUtf8(kEnctypeItems[1]);  // ENCTYPE itself unticked
    EXPECT_EQ(Button4Tag(form), tag("<FORM>", "\n</FORM>"));

    CampoTestoPage text;
    text.CheckBox2 = false;
    text.RadioButton1 = false;
    text.RadioButton2 = true;
    EXPECT_EQ(Button8Tag(text), tag(" <INPUT TYPE= password>"));
}

TEST(FormTagsTest, TheEnctypeFollowsTheComboTextOnlyWhenItIsExactlyAnItem)
{
    const struct {
        QString combo;
        const char* open;
    } rows[] = {
        {QString(), "<FORM ACTION= \"x\" METHOD= \"post\">"},
        {QString::fromUtf8(kEnctypeItems[0]), "<FORM ACTION= \"x\" METHOD= \"post\" ENCTYPE= \"\">"},
        {QString::fromUtf8(kEnctypeItems[1]), "<FORM ACTION= \"x\" METHOD= \"post\" ENCTYPE= \"multipart/form-data\">"},
        {QString::fromUtf8(kEnctypeItems[2]), "<FORM ACTION= \"x\" METHOD= \"post\" ENCTYPE= \"text/plain\">"},
        {QStringLiteral("multipart/form-data"), "<FORM ACTION= \"x\" METHOD= \"post\">"},
        {QStringLiteral("TEXT/PLAIN (SOLO PER MODULI MAILTO)"), "<FORM ACTION= \"x\" METHOD= \"post\">"},
        {QString::fromUtf8(kEnctypeItems[2]) + u' ', "<FORM ACTION= \"x\" METHOD= \"post\">"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.combo.toStdString());
        NuovoModuloPage form;
        form.Edit20 = QStringLiteral("x");
        form.CheckBox26 = true;
        form.ComboBox2 = row.combo;
        EXPECT_EQ(Button4Tag(form), tag(row.open, "\n</FORM>"));
    }
    NuovoModuloPage get;
    get.ComboBox1 = QStringLiteral("get");
    EXPECT_EQ(Button4Tag(get).open, "<FORM ACTION= \"\" METHOD= \"get\">");
}

// The tags as they land in a document through the insertion operation.
class FormInsertionTest : public ::testing::Test {
protected:
    void SetUp() override { table.createFirstDocument(); }
    FakeEditor& editor() { return host.editor(0); }
    void insert(const Insertion& insertion) { WrapSelection(table, insertion.open, insertion.close); }

    FakeHost host;
    ScriptedPrompts prompts;
    PosixFileSystem files;
    DocumentTable table{host, prompts, files, QStringLiteral("/tmp/~temp.htm")};
};

TEST_F(FormInsertionTest, AFormBuiltTopToBottomNeedsNoCaretMoves)
{
    editor().setContent(QStringLiteral("<BODY></BODY>"));
    editor().setCaret(6);
    NuovoModuloPage form;
    insert(Button4Tag(form));
    EXPECT_EQ(editor().selectionStart(), 6 + 32) << "the caret stays inside the FORM element, before the line feed";
    EXPECT_FALSE(table.document(0).saved);

    CampoTestoPage age;
    age.Edit1 = QStringLiteral("eta");
    insert(Button8Tag(age));
    ElencoModuloPage list;
    list.Edit17 = QStringLiteral("c");
    insert(Button2Tag(list));
    list.Edit19 = QStringLiteral("uno");
    insert(Button3Tag(list));
    list.Edit19 = QStringLiteral("due");
    list.CheckBox23 = true;
    insert(Button3Tag(list));

    const QString expected = QStringLiteral(
        "<BODY><FORM ACTION= \"\" METHOD= \"post\"> <INPUT TYPE= text NAME= \"eta\"> <SELECT NAME= \"c\">"
        "\n  <OPTION>uno</OPTION>\n  <OPTION SELECTED>due</OPTION>");
    EXPECT_EQ(editor().text(), expected + QStringLiteral("\n </SELECT>\n</FORM></BODY>"));
    EXPECT_EQ(editor().selectionStart(), expected.size());
    EXPECT_EQ(editor().selectionLength(), 0);
}

TEST_F(FormInsertionTest, ASelectionEndsUpInsideTheFormAndTheTextArea)
{
    editor().setContent(QStringLiteral("a campi b"));
    editor().select(2, 5);
    insert(Button4Tag({}));
    EXPECT_EQ(editor().text(), "a <FORM ACTION= \"\" METHOD= \"post\">campi\n</FORM> b");
    EXPECT_EQ(editor().selectionStart(), 2 + 32 + 5);

    editor().setContent(QStringLiteral("xy"));
    editor().setCaret(1);
    insert(Button9Tag({}));
    EXPECT_EQ(editor().text(), "x <TEXTAREA NAME= \"\">\nTesto...\n</TEXTAREA>y");
    EXPECT_EQ(editor().text().mid(editor().selectionStart()), "\n</TEXTAREA>y") << "the caret after the text";
}

}  // namespace
