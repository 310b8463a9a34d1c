#include "PageSetup.h"

#include "Prompts.h"
#include "WrapSelection.h"

#include <QUrl>

namespace calamo {

namespace {

QString ask(Prompts& prompts, const char* caption, const char* prompt)
{
    return prompts.inputBox(QString::fromUtf8(caption), QString::fromUtf8(prompt), QString());
}

void colour(QString& body, const char* fragment, const std::optional<std::uint32_t>& chosen)
{
    if (chosen)
        body += QLatin1String(fragment) + ColorToHtmlHex(*chosen) + u'"';
}

}  // namespace

QStringList SetupPage(const SetupPanel& p, const PageChoices& c, Prompts& prompts)
{
    QStringList page{QStringLiteral("<HTML>"), QString(), QStringLiteral("<HEAD>")};
    if (!p.Edit2.isEmpty())
        page << QStringLiteral(" <META NAME= \"description\" content= \"") + p.Edit2 + QStringLiteral("\">");
    if (!p.Edit3.isEmpty())
        page << QStringLiteral(" <META NAME= \"keywords\" content= \"") + p.Edit3 + QStringLiteral("\">");
    if (p.CheckBox4) {
        const QString delay = ask(prompts, "Refresh", "Attesa in secondi:");
        const QString target = ask(prompts, "Refresh", "URL di destinazione:");
        page << QStringLiteral(" <META HTTP-EQUIV=\"refresh\" content= \"") + delay + QStringLiteral("; URL= ") +
                    target + QStringLiteral("\">");
    }
    if (p.CheckBox2)
        page << QStringLiteral(" <META NAME= \"generator\" content= \"!! CaLaMo !!\">");
    if (p.CheckBox1) {
        const QString author = ask(prompts, "Autore del documento", "Prego immetti le informazioni.");
        page << QStringLiteral(" <META NAME= \"author\" content= \"") + author + QStringLiteral("\">");
    }
    if (p.CheckBox3)
        page << QStringLiteral(" <META NAME= \"ROBOTS\" content= \"NOINDEX\">");
    if (p.CheckBox7) {
        const QString sound = ask(prompts, "Suono", "Prego immetti l'URL.");
        page << QStringLiteral(" <EMBED SRC= \"") + sound +
                    QStringLiteral("\" AUTOSTART= true LOOP= true WIDTH= 0 HEIGHT= 0>");
    }
    if (!p.Edit1.isEmpty())
        page << QStringLiteral(" <TITLE>") + p.Edit1 + QStringLiteral("</TITLE>");
    page << QStringLiteral("</HEAD>") << QString();

    QString body = QStringLiteral("<BODY");
    if (p.CheckBox6) {
        const QString left = ask(prompts, "Margini", "Dimensione del margine sinistro:");
        const QString right = ask(prompts, "Margini", "Dimensione del margine destro:");
        const QString top = ask(prompts, "Margini", "Dimensione del margine superiore:");
        const QString bottom = ask(prompts, "Margini", "Dimensione del margine inferiore:");
        body += QStringLiteral(" LEFTMARGIN= ") + left + QStringLiteral(" RIGHTMARGIN= ") + right +
                QStringLiteral(" TOPMARGIN= ") + top + QStringLiteral(" BOTTOMMARGIN= ") + bottom;
    }
    if (c.image)
        body += QStringLiteral(" BACKGROUND= \"") + BackgroundImageUrl(*c.image) + u'"';
    if (p.CheckBox5)
        body += QStringLiteral(" BGPROPERTIES= \"fixed\"");
    colour(body, " BGCOLOR=\"#", c.background);
    colour(body, " TEXT=\"#", c.text);
    colour(body, " LINK=\"#", c.link);
    colour(body, " ALINK=\"#", c.activeLink);
    colour(body, " VLINK=\"#", c.visitedLink);
    page << body + u'>' << QString() << QString() << QString() << QStringLiteral("</BODY>") << QString()
         << QStringLiteral("</HTML>");
    return page;
}

int SetupCaret(const QStringList& page)
{
    int offset = 0;
    for (qsizetype i = 0; i < page.size(); ++i) {
        if (page[i].startsWith(QLatin1String("<BODY")) && i + 2 < page.size())
            return offset + static_cast<int>(page[i].size() + 1 + page[i + 1].size() + 1);
        offset += static_cast<int>(page[i].size() + 1);
    }
    return 0;
}

QString BackgroundImageUrl(const QString& localPath)
{
    return QUrl::fromLocalFile(localPath).toString(QUrl::FullyEncoded);
}

}  // namespace calamo
