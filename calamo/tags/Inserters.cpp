#include "Inserters.h"

#include "Fragments.h"
#include "Prompts.h"
#include "WrapSelection.h"

#include <array>

namespace calamo {

namespace {

const QString kUrlPrompt = QStringLiteral("Prego immetti l'URL.");

// `fragment` ends in "\"#"; the colour comes from the picker, opened now. A cancelled picker drops the attribute.
void colour(QString& tag, bool ticked, const char* fragment, Prompts& prompts)
{
    if (!ticked)
        return;
    if (const auto picked = prompts.pickColor())
        tag += QLatin1String(fragment) + ColorToHtmlHex(*picked) + u'"';
}

QString ask(Prompts& prompts, const char* caption, const QString& prompt)
{
    return prompts.inputBox(QString::fromUtf8(caption), prompt, QString());
}

}  // namespace

std::optional<Insertion> fixedTag(int speedButton)
{
    struct Row {
        int button;
        const char* open;
        const char* close;
    };
    static constexpr std::array<Row, 12> kRows = {{
        {2, "<BR>", ""},
        {3, "<UL>", "</UL>"},
        {4, "<!--", "-->"},
        {47, "&nbsp;", ""},
        {5, "<B>", "</B>"},
        {6, "<I>", "</I>"},
        {7, "<TT>", "</TT>"},
        {8, "<U>", "</U>"},
        {9, "<S>", "</S>"},
        {10, "<SUP>", "</SUP>"},
        {11, "<SUB>", "</SUB>"},
        {22, "<TR>", ""},
    }};
    for (const Row& row : kRows) {
        if (row.button == speedButton)
            return Insertion{QLatin1String(row.open), QLatin1String(row.close)};
    }
    return std::nullopt;
}

std::optional<Insertion> Speed12Tag(Prompts& prompts)
{
    if (!prompts.question(QStringLiteral("Warning"), QStringLiteral("Sei proprio sicuro di volerlo? ;)")))
        return std::nullopt;
    return Insertion{QStringLiteral("<BLINK>"), QStringLiteral("</BLINK>")};
}

Insertion Speed01Tag(const TestoPanel& p)
{
    QString tag = QStringLiteral("<P");
    bare(tag, p.CheckBox28, " ALIGN= ", p.ComboBox5);
    tag += u'>';
    return {tag, p.CheckBox3 ? QStringLiteral("</P>") : QString()};
}

Insertion Speed13Tag(const TestoPanel& p, Prompts& prompts)
{
    QString tag = QStringLiteral("<HR");
    bare(tag, p.CheckBox7, " ALIGN= ", p.ComboBox6);
    bare(tag, p.CheckBox8, " SIZE= ", p.Edit8);
    bare(tag, p.CheckBox9, " WIDTH= ", p.Edit9);
    colour(tag, p.CheckBox33, " COLOR= \"#", prompts);
    if (!p.CheckBox10)
        tag += QStringLiteral(" NOSHADE");
    tag += u'>';
    return {tag, {}};
}

Insertion Speed20Tag(const CarattPanel& p, Prompts& prompts)
{
    QString tag = QStringLiteral("<FONT");
    quoted(tag, p.CheckBox31, " FACE= \"", p.ComboBox1);
    bare(tag, p.CheckBox1, " SIZE= ", p.ComboBox10);
    colour(tag, p.CheckBox26, " COLOR= \"#", prompts);
    tag += u'>';
    return {tag, QStringLiteral("</FONT>")};
}

Insertion Speed14Tag(const ElencoPanel& p)
{
    QString tag = QStringLiteral("<UL");
    bare(tag, p.CheckBox5, " TYPE= ", p.ComboBox2);
    tag += u'>';
    return {tag, QStringLiteral("</UL>")};
}

Insertion Speed15Tag(const ElencoPanel& p)
{
    QString tag = QStringLiteral("<OL");
    // Only the list type letter at the start of the item counts; an empty box gives an empty value.
    bare(tag, p.CheckBox4, " TYPE= ", p.ComboBox3.left(1));
    bare(tag, p.CheckBox6, " START= ", p.Edit6);
    tag += u'>';
    return {tag, QStringLiteral("</OL>")};
}

Insertion Speed16Tag(const ElencoPanel& p)
{
    QString tag = QStringLiteral("<LI");
    bare(tag, p.CheckBox29, " TYPE= ", p.ComboBox4);
    bare(tag, p.CheckBox30, " VALUE= ", p.Edit26);
    tag += u'>';
    return {tag, {}};
}

Insertion Speed17Tag(const CollegamentoPanel& p, Prompts& prompts)
{
    QString tag = QStringLiteral("<A HREF= \"") + ask(prompts, "Link", kUrlPrompt) + u'"';
    quoted(tag, p.CheckBox2, " TARGET= \"", p.ComboBox9);
    tag += u'>';
    return {tag, QStringLiteral("</A>")};
}

Insertion Speed18Tag(Prompts& prompts)
{
    const QString name = ask(prompts, "Sezione", QStringLiteral("Prego immetti il nome della sezione."));
    return {QStringLiteral("<A NAME= \"") + name + QStringLiteral("\">"), QStringLiteral("</A>")};
}

Insertion Speed32Tag(Prompts& prompts)
{
    const QString address = ask(prompts, "Mailto", QStringLiteral("Prego immetti l'indirizzo di posta elettronica."));
    return {QStringLiteral("<A HREF= \"mailto: ") + address + QStringLiteral("\">"), QStringLiteral("</A>")};
}

Insertion Speed19Tag(const CollegamentoPanel& p, Prompts& prompts)
{
    QString tag = QStringLiteral("<IMG");
    quoted(tag, p.CheckBox14, " ALT= \"", p.Edit16);
    tag += QStringLiteral(" SRC= \"") + ask(prompts, "Immagine", kUrlPrompt) + u'"';
    if (p.CheckBox27)
        tag += QStringLiteral(" LOWSRC= \"") + ask(prompts, "Immagine low-res", kUrlPrompt) + u'"';
    bare(tag, p.CheckBox12, " WIDTH= ", p.Edit11);
    bare(tag, p.CheckBox11, " HEIGHT= ", p.Edit10);
    bare(tag, p.CheckBox16, " VSPACE= ", p.Edit14);
    bare(tag, p.CheckBox17, " HSPACE= ", p.Edit15);
    bare(tag, p.CheckBox15, " BORDER= ", p.Edit13);
    bare(tag, p.CheckBox13, " ALIGN= ", p.ComboBox8);
    tag += u'>';
    return {tag, {}};
}

Insertion Speed21Tag(const TabellaPanel& p, Prompts& prompts)
{
    QString tag = QStringLiteral("<TABLE");
    bare(tag, p.CheckBox21, " BORDER= ", p.Edit20);
    colour(tag, p.CheckBox34, " BGCOLOR= \"#", prompts);
    bare(tag, p.CheckBox19, " WIDTH= ", p.Edit18);
    bare(tag, p.CheckBox25, " CELLSPACING= ", p.Edit22);
    bare(tag, p.CheckBox24, " CELLPADDING= ", p.Edit23);
    tag += u'>';
    if (p.CheckBox22) {
        tag += QStringLiteral("<CAPTION");
        bare(tag, p.CheckBox20, " ALIGN= ", p.ComboBox7);
        tag += u'>' + p.Edit21 + QStringLiteral("</CAPTION>");
    }
    return {tag, QStringLiteral("</TABLE>")};
}

Insertion Speed24Tag(const TabellaPanel& p)
{
    QString tag = p.CheckBox32 ? QStringLiteral("<TH") : QStringLiteral("<TD");
    bare(tag, p.CheckBox18, " WIDTH= ", p.Edit17);
    if (p.CheckBox23)
        tag += QStringLiteral(" NOWRAP");
    tag += u'>';
    return {tag, {}};
}

}  // namespace calamo
