#include "FormTags.h"

#include "Fragments.h"

namespace calamo {

namespace {

// The ENCTYPE attribute for the text of its combo box: matched exactly and case-sensitively against the items;
// anything else, the empty text included, gives nothing.
QString enctype(const QString& choice)
{
    if (choice == QLatin1String(kEnctypeItems[0]))
        return QStringLiteral(" ENCTYPE= \"\"");
    if (choice == QLatin1String(kEnctypeItems[1]))
        return QStringLiteral(" ENCTYPE= \"multipart/form-data\"");
    if (choice == QLatin1String(kEnctypeItems[2]))
        return QStringLiteral(" ENCTYPE= \"text/plain\"");
    return {};
}

}  // namespace

Insertion Button4Tag(const NuovoModuloPage& p)
{
    QString tag = QStringLiteral("<FORM");
    quoted(tag, p.CheckBox25, " ACTION= \"", p.Edit20);
    quoted(tag, p.CheckBox24, " METHOD= \"", p.ComboBox1);
    if (p.CheckBox26)
        tag += enctype(p.ComboBox2);
    tag += u'>';
    return {tag, QStringLiteral("\n</FORM>")};
}

Insertion Button8Tag(const CampoTestoPage& p)
{
    QString tag = QStringLiteral(" <INPUT");
    flag(tag, p.RadioButton1, " TYPE= text");
    flag(tag, p.RadioButton2, " TYPE= password");
    flag(tag, p.RadioButton3, " TYPE= int");
    quoted(tag, p.CheckBox2, " NAME= \"", p.Edit1);
    flag(tag, p.CheckBox30, " READONLY");
    flag(tag, p.CheckBox1, " DISABLED");
    bare(tag, p.CheckBox4, " MIN= ", p.Edit3);
    bare(tag, p.CheckBox3, " MAX= ", p.Edit4);
    quoted(tag, p.CheckBox7, " VALUE= \"", p.Edit6);
    bare(tag, p.CheckBox5, " SIZE= ", p.Edit2);
    // Spelt as browsers know it, so the limit the user asked for takes effect.
    bare(tag, p.CheckBox6, " MAXLENGTH= ", p.Edit5);
    tag += u'>';
    return {tag, {}};
}

Insertion Button5Tag(const ControlloPage& p)
{
    QString tag = QStringLiteral(" <INPUT");
    flag(tag, p.RadioButton4, " TYPE= checkbox");
    flag(tag, p.RadioButton5, " TYPE= radio");
    quoted(tag, p.CheckBox9, " NAME= \"", p.Edit7);
    quoted(tag, p.CheckBox14, " VALUE= \"", p.Edit12);
    flag(tag, p.CheckBox8, " CHECKED");
    tag += u'>';
    return {tag, {}};
}

Insertion Button7Tag(const BottonePage& p)
{
    QString tag = QStringLiteral(" <INPUT");
    flag(tag, p.RadioButton6, " TYPE= submit");
    flag(tag, p.RadioButton7, " TYPE= reset");
    flag(tag, p.RadioButton8, " TYPE= button");
    quoted(tag, p.CheckBox11, " VALUE= \"", p.Edit8);
    quoted(tag, p.CheckBox10, " SRC= \"", p.Edit15);
    quoted(tag, p.CheckBox17, " ALT= \"", p.Edit14);
    bare(tag, p.CheckBox29, " WIDTH= ", p.Edit22);
    bare(tag, p.CheckBox28, " HEIGHT= ", p.Edit21);
    tag += u'>';
    return {tag, {}};
}

Insertion Button6Tag(const NascostoPage& p)
{
    QString tag = QStringLiteral(" <INPUT TYPE= hidden");
    quoted(tag, p.CheckBox12, " NAME= \"", p.Edit9);
    quoted(tag, p.CheckBox13, " VALUE= \"", p.Edit10);
    tag += u'>';
    return {tag, {}};
}

Insertion Button9Tag(const AreaTestoPage& p)
{
    QString tag = QStringLiteral(" <TEXTAREA");
    quoted(tag, p.CheckBox19, " NAME= \"", p.Edit16);
    bare(tag, p.CheckBox16, " COLS= ", p.Edit11);
    bare(tag, p.CheckBox18, " ROWS= ", p.Edit13);
    flag(tag, p.CheckBox15, " WRAP");
    tag += QStringLiteral(">\n") + p.Memo2;
    return {tag, QStringLiteral("\n</TEXTAREA>")};
}

Insertion Button2Tag(const ElencoModuloPage& p)
{
    QString tag = QStringLiteral(" <SELECT");
    quoted(tag, p.CheckBox21, " NAME= \"", p.Edit17);
    bare(tag, p.CheckBox22, " SIZE= ", p.Edit18);
    flag(tag, p.CheckBox20, " MULTIPLE");
    tag += u'>';
    return {tag, QStringLiteral("\n </SELECT>")};
}

Insertion Button3Tag(const ElencoModuloPage& p)
{
    QString tag = QStringLiteral("\n  <OPTION");
    flag(tag, p.CheckBox23, " SELECTED");
    flag(tag, p.CheckBox27, " DISABLED");
    tag += u'>' + p.Edit19 + QStringLiteral("</OPTION>");
    return {tag, {}};
}

}  // namespace calamo
