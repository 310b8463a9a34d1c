#include "ShortcutEntries.h"

#include "Config.h"

namespace calamo {

const QStringList& shortcutItems()
{
    static const QStringList items{
        QStringLiteral("01 Nuovo documento"),
        QStringLiteral("02 Apri documento"),
        QStringLiteral("03 Salva"),
        QStringLiteral("04 Salva tutto"),
        QStringLiteral("05 Stampa"),
        QStringLiteral("06 Taglia"),
        QStringLiteral("07 Copia"),
        QStringLiteral("08 Incolla"),
        QStringLiteral("09 Trova"),
        QString(),
        QStringLiteral("10 Paragrafo"),
        QStringLiteral("11 Interruzione di linea"),
        QStringLiteral("12 Rientro"),
        QStringLiteral("13 Spazio"),
        QStringLiteral("14 Commento"),
        QStringLiteral("15 Linea orizzontale"),
        QString(),
        QStringLiteral("16 Proprietà font"),
        QStringLiteral("17 Grassetto"),
        QStringLiteral("18 Corsivo"),
        QStringLiteral("19 Barrato"),
        QStringLiteral("20 Sottolineato"),
        QStringLiteral("21 Preformattato"),
        QStringLiteral("22 Apice"),
        QStringLiteral("23 Pedice"),
        QStringLiteral("24 Lampeggiante"),
        QString(),
        QStringLiteral("25 Elenco puntato"),
        QStringLiteral("26 Elenco numerato"),
        QStringLiteral("27 Nuovo elemento"),
        QString(),
        QStringLiteral("28 Nuova tabella"),
        QStringLiteral("29 Inserisci riga"),
        QStringLiteral("30 Cella dati"),
        QString(),
        QStringLiteral("31 Collegamento"),
        QStringLiteral("32 Nuova sezione"),
        QStringLiteral("33 Immagine"),
        QStringLiteral("34 Email"),
        QString(),
        QStringLiteral("35 Nuovo modulo"),
        QString(),
        QStringLiteral("36 Lancio browser 1"),
        QStringLiteral("37 Lancio browser 2"),
    };
    return items;
}

const QStringList& shortcutHelpLines()
{
    static const QStringList lines{
        QStringLiteral("Scegli un'evento dalla lista a sinistra e modifica la combinazione di "),
        QStringLiteral("tasti proposta sulla destra. Sono accettati caratteri e numeri."),
        QStringLiteral("La codifica dei tasti speciali è la seguente:"),
        QStringLiteral(" Alt -> A"),
        QStringLiteral(" Control -> C"),
        QStringLiteral(" Shift -> S"),
        QStringLiteral(" Invio -> I"),
        QStringLiteral("Il codice da scrivere sarà composto dalla prima lettera (A, C, S, I "),
        QStringLiteral("oppure N se non la si vuole specificare) seguita da uno spazio e dalla "),
        QStringLiteral("lettera voluta."),
        QStringLiteral("Ad esempio, l'evento \"viene premuta la lettera B\" sarà: \"N B\","),
        QStringLiteral("mentre quello per \"vengono premuti in contemporanea Control e B\" "),
        QStringLiteral("sarà: \"C B\"."),
        QStringLiteral("Per ogni modifica effettuata, premere il pulstante \"Salva\"."),
    };
    return lines;
}

std::optional<int> shortcutEntryOf(QStringView item)
{
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    if (item.size() < 2 || !digit(item[0]) || !digit(item[1]))
        return std::nullopt;
    const int entry = (item[0].unicode() - u'0') * 10 + (item[1].unicode() - u'0');
    if (entry < 1 || entry > Config::kShortcuts)
        return std::nullopt;
    return entry;
}

}  // namespace calamo
