#include "Conversions.h"

namespace calamo {

namespace {

// Symbols are Unicode: the trade mark sign and the euro, which Windows-1252 holds at 0x99 and 0x80, are U+2122
// and U+20AC, so a page reads the same whether it was stored as UTF-8 or as Windows-1252.
constexpr std::array<EntityRow, kEntityRows> kRows{{
    {u"&curren;", 0x00A4, u"(valuta)"},
    {u"&cent;", 0x00A2, u"(cent)"},
    {u"&pound;", 0x00A3, u"(sterlina)"},
    {u"&yen;", 0x00A5, u"(yen)"},
    {u"&euro;", 0x20AC, u"(euro)"},
    {u"&reg;", 0x00AE, u"(marchio registrato)"},
    {u"&copy;", 0x00A9, u"(copyright)"},
    {u"&#153;", 0x2122, u"(trademark)"},
    {u"&deg;", 0x00B0, u"(gradi)"},
    {u"&ordm;", 0x00BA, u"(esponente ordinale maschile)"},
    {u"&ordf;", 0x00AA, u"(esponente ordinale femm.)"},
    {u"&sup1;", 0x00B9, u"(esponente 1)"},
    {u"&sup2;", 0x00B2, u"(esponente 2)"},
    {u"&sup3;", 0x00B3, u"(esponente 3)"},
    {u"&not;", 0x00AC, u"(not)"},
    {u"&plusmn;", 0x00B1, u"(più/meno)"},
    {u"&divide;", 0x00F7, u"(divisione)"},
    {u"&times;", 0x00D7, u"(moltiplicazione)"},
    {u"&micro;", 0x00B5, u"(micro)"},
    {u"&frac14;", 0x00BC, u"(un quarto)"},
    {u"&frac12;", 0x00BD, u"(un mezzo)"},
    {u"&frac34;", 0x00BE, u"(tre quarti)"},
    {u"&brvbar;", 0x00A6, u"(linea verticale spezzata)"},
    {u"&shy;", 0x00AD, u"(trattino)"},
    {u"&sect;", 0x00A7, u"(sezione)"},
    {u"&para;", 0x00B6, u"(paragrafo)"},
    {u"&acute;", 0x00B4, u"(accento acuto)"},
    {u"&middot;", 0x00B7, u"(punto medio)"},
    {u"&laquo;", 0x00AB, u"(virgolette aperte, guillemot)"},
    {u"&raquo;", 0x00BB, u"(virgolette chiuse, guillemot)"},
    {u"&iexcl;", 0x00A1, u"(pt esclamativo rovesciato, spagnolo)"},
    {u"&iquest;", 0x00BF, u"(pt interrogat. rovesciato, spagnolo)"},
    {u"&cedil;", 0x00B8, u"(cediglia)"},
    {u"&uml;", 0x00A8, u"(dieresi)"},
    {u"&AElig;", 0x00C6, u"(dittongo AE maiuscolo legato)"},
    {u"&Aacute;", 0x00C1, u"(A maiuscola, accento acuto)"},
    {u"&Acirc;", 0x00C2, u"(A maiuscola, accento circonflesso)"},
    {u"&Agrave;", 0x00C0, u"(A maiuscola, accento grave)"},
    {u"&Aring;", 0x00C5, u"(A maiuscola)"},
    {u"&Atilde;", 0x00C3, u"(A maiuscola, tilde)"},
    {u"&Auml;", 0x00C4, u"(A maiuscola, dieresi)"},
    {u"&Ccedil;", 0x00C7, u"(C maiuscola, cediglia)"},
    {u"&Eacute;", 0x00C9, u"(E maiuscola, accento acuto)"},
    {u"&Ecirc;", 0x00CA, u"(E maiuscola, accento circonflesso)"},
    {u"&Egrave;", 0x00C8, u"(E maiuscola, accento grave)"},
    {u"&Euml;", 0x00CB, u"(E maiuscola, dieresi)"},
    {u"&Iacute;", 0x00CD, u"(I maiuscola, accento acuto)"},
    {u"&Icirc;", 0x00CE, u"(I maiuscola, accento circonflesso)"},
    {u"&Igrave;", 0x00CC, u"(I maiuscola, accento grave)"},
    {u"&Iuml;", 0x00CF, u"(I maiuscola, dieresi)"},
    {u"&Ntilde;", 0x00D1, u"(N maiuscola, tilde)"},
    {u"&Oacute;", 0x00D3, u"(O maiuscola, accento acuto)"},
    {u"&Ocirc;", 0x00D4, u"(O maiuscola, accento circonflesso)"},
    {u"&Ograve;", 0x00D2, u"(O maiuscola, accento grave)"},
    {u"&Otilde;", 0x00D5, u"(O maiuscola, tilde)"},
    {u"&Ouml;", 0x00D6, u"(O maiuscola, dieresi)"},
    {u"&Oslash;", 0x00D8, u"(O maiuscola tagliata, dano-norvegese)"},
    {u"&Uacute;", 0x00DA, u"(U maiuscola, accento acuto)"},
    {u"&Ucirc;", 0x00DB, u"(U maiuscola, accento circonflesso)"},
    {u"&Ugrave;", 0x00D9, u"(U maiuscola, accento grave)"},
    {u"&Uuml;", 0x00DC, u"(U maiuscola, dieresi)"},
    {u"&Yacute;", 0x00DD, u"(Y maiuscola, acento acuto)"},
    {u"&aacute;", 0x00E1, u"(a minuscola, accento acuto)"},
    {u"&acirc;", 0x00E2, u"(a minuscola, accento circonflesso)"},
    {u"&aelig;", 0x00E6, u"(dittongo ae minuscolo legato)"},
    {u"&agrave;", 0x00E0, u"(a minuscola, accento grave)"},
    {u"&aring;", 0x00E5, u"(a minuscola)"},
    {u"&atilde;", 0x00E3, u"(a minuscola, tilde)"},
    {u"&auml;", 0x00E4, u"(a minuscola, dieresi)"},
    {u"&ccedil;", 0x00E7, u"(c minuscola, cediglia)"},
    {u"&eacute;", 0x00E9, u"(e minuscola, accento acuto)"},
    {u"&ecirc;", 0x00EA, u"(e minuscola, accento circonflesso)"},
    {u"&egrave;", 0x00E8, u"(e minuscola, accento grave)"},
    {u"&euml;", 0x00EB, u"(e minuscola, dieresi)"},
    {u"&iacute;", 0x00ED, u"(i minuscola, accento acuto)"},
    {u"&icirc;", 0x00EE, u"(i minuscola, accento circonflesso)"},
    {u"&igrave;", 0x00EC, u"(i minuscola, accento grave)"},
    {u"&iuml;", 0x00EF, u"(i minuscola, dieresi)"},
    {u"&ntilde;", 0x00F1, u"(n minuscola, tilde)"},
    {u"&oacute;", 0x00F3, u"(o minuscola, accento acuto)"},
    {u"&ocirc;", 0x00F4, u"(o minuscola, accento circonflesso)"},
    {u"&ograve;", 0x00F2, u"(o minuscola, accento grave)"},
    {u"&otilde;", 0x00F5, u"(o minuscola, tilde)"},
    {u"&ouml;", 0x00F6, u"(o minuscola, dieresi)"},
    {u"&oslash;", 0x00F8, u"(o minuscola tagliata, dano-norvegese)"},
    {u"&szlig;", 0x00DF, u"(sharp s minuscola, tedesco)"},
    {u"&uacute;", 0x00FA, u"(u minuscola, accento acuto)"},
    {u"&ucirc;", 0x00FB, u"(u minuscola, accento circonflesso)"},
    {u"&ugrave;", 0x00F9, u"(u minuscola, accento grave)"},
    {u"&uuml;", 0x00FC, u"(u minuscola, dieresi)"},
    {u"&yacute;", 0x00FD, u"(y minuscola, accento acuto)"},
    {u"&yuml;", 0x00FF, u"(y minuscola, dieresi)"},
    {u"&ETH;", 0x00D0, u"(DH maiuscola islandese, runa Eth)"},
    {u"&eth;", 0x00F0, u"(DH minuscola islandese)"},
    {u"&THORN;", 0x00DE, u"(TH maiuscola islandese, runa Thorn)"},
    {u"&thorn;", 0x00FE, u"(TH minuscola islandese)"},
}};

constexpr qsizetype kEntityWidth = 13;
constexpr char16_t kLatin1Start = 0x00A0;

// Row index + 1 of each character from U+00A0 to U+00FF (0: not listed), so a conversion looks each character
// up in constant time.
constexpr std::array<unsigned char, 0x100 - kLatin1Start> kLatin1Index = [] {
    std::array<unsigned char, 0x100 - kLatin1Start> index{};
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (kRows[i].symbol >= kLatin1Start && kRows[i].symbol <= 0xFF)
            index[kRows[i].symbol - kLatin1Start] = static_cast<unsigned char>(i + 1);
    }
    return index;
}();

constexpr QStringView kEuro = u"&euro;";
constexpr QStringView kTradeMark = u"&#153;";

}  // namespace

const std::array<EntityRow, kEntityRows>& entityRows()
{
    return kRows;
}

QString entityRowText(const EntityRow& row)
{
    QString text = row.entity.toString().leftJustified(kEntityWidth, u' ');
    text += QChar(row.symbol);
    text += QStringLiteral("      ");
    text += row.description;
    return text;
}

QStringList entityRowTexts()
{
    QStringList texts;
    texts.reserve(kEntityRows);
    for (const EntityRow& row : kRows)
        texts.push_back(entityRowText(row));
    return texts;
}

QString entityOfRowText(QStringView rowText)
{
    const qsizetype end = rowText.indexOf(u';');
    return end < 0 ? QString() : rowText.left(end + 1).toString();
}

QStringView entityOf(char16_t c)
{
    if (c >= kLatin1Start && c <= 0xFF) {
        const unsigned char row = kLatin1Index[c - kLatin1Start];
        return row ? kRows[row - 1].entity : QStringView();
    }
    if (c == 0x20AC)
        return kEuro;
    if (c == 0x2122)
        return kTradeMark;
    return {};
}

std::vector<TextReplacement> entityReplacements(QStringView text)
{
    // Counted first: a page full of accented letters has a million of them.
    std::size_t count = 0;
    for (QChar c : text)
        count += c.unicode() >= 0x80 && !entityOf(c.unicode()).isEmpty();
    std::vector<TextReplacement> edits;
    edits.reserve(count);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80)
            continue;
        if (const QStringView entity = entityOf(c); !entity.isEmpty())
            edits.push_back({static_cast<int>(i), 1, entity});
    }
    return edits;
}

}  // namespace calamo
