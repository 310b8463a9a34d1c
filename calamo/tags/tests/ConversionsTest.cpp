#include "Conversions.h"

#include "Fakes.h"
#include "TextCodec.h"
#include "TextEdits.h"

#include <gmock/gmock.h>

#include <map>
#include <set>

using namespace calamo;

namespace {

// `text` with every listed character turned into its entity, as the conversion's edits make it.
QString convertToEntities(QStringView text)
{
    return calamo::testing::replacedText(text, entityReplacements(text));
}

const QStringList kEntityOrder =
    QStringLiteral(
        "&curren; &cent; &pound; &yen; &euro; &reg; &copy; &#153; &deg; &ordm; &ordf; &sup1; &sup2; &sup3; &not; "
        "&plusmn; &divide; &times; &micro; &frac14; &frac12; &frac34; &brvbar; &shy; &sect; &para; &acute; &middot; "
        "&laquo; &raquo; &iexcl; &iquest; &cedil; &uml; &AElig; &Aacute; &Acirc; &Agrave; &Aring; &Atilde; &Auml; "
        "&Ccedil; &Eacute; &Ecirc; &Egrave; &Euml; &Iacute; &Icirc; &Igrave; &Iuml; &Ntilde; &Oacute; &Ocirc; &Ograve; "
        "&Otilde; &Ouml; &Oslash; &Uacute; &Ucirc; &Ugrave; &Uuml; &Yacute; &aacute; &acirc; &aelig; &agrave; &aring; "
        "&atilde; &auml; &ccedil; &eacute; &ecirc; &egrave; &euml; &iacute; &icirc; &igrave; &iuml; &ntilde; &oacute; "
        "&ocirc; &ograve; &otilde; &ouml; &oslash; &szlig; &uacute; &ucirc; &ugrave; &uuml; &yacute; &yuml; &ETH; &eth; "
        "&THORN; &thorn;")
        .split(u' ');

TEST(EntityTable, ListsTheNinetySixEntitiesInOrderEachForOneCharacterAboveAscii)
{
    ASSERT_EQ(kEntityOrder.size(), kEntityRows);
    std::set<char16_t> symbols;
    for (int i = 0; i < kEntityRows; ++i) {
        const EntityRow& row = entityRows()[static_cast<std::size_t>(i)];
        EXPECT_EQ(row.entity, kEntityOrder[i]);
        EXPECT_GT(row.symbol, 0x7F) << i;
        for (QChar c : row.entity)
            EXPECT_LT(c.unicode(), 0x80) << "entities are ASCII: " << i;
        EXPECT_TRUE(symbols.insert(row.symbol).second) << "symbol of row " << i << " twice";
        EXPECT_EQ(entityOf(row.symbol), row.entity);
    }
    // Latin-1's signs and letters, bar the no-break space and the macron, plus the euro and the trade mark sign.
    for (char16_t c = 0xA1; c <= 0xFF; ++c)
        EXPECT_EQ(symbols.count(c) == 1, c != 0xAF) << std::hex << int(c);
    EXPECT_EQ(entityOf(0x20AC), u"&euro;");
    EXPECT_EQ(entityOf(0x2122), u"&#153;");
    EXPECT_EQ(entityOf(0x00AD), u"&shy;");
    EXPECT_EQ(entityOf(0x00D7), u"&times;");
    EXPECT_EQ(entityOf(0x00F7), u"&divide;");
    EXPECT_EQ(entityOf(0x00B5), u"&micro;");
    for (char16_t outside : {u'&', u'<', u'"', u'a', char16_t(0xA0), char16_t(0xAF), char16_t(0x0152), char16_t(0x2014),
                             char16_t(0x0099), char16_t(0x0080)})
        EXPECT_TRUE(entityOf(outside).isEmpty()) << std::hex << int(outside);
}

// A letter row's symbol is its description's letter with its mark, and the description follows the pattern.
TEST(EntityTable, LetterRowsDescribeTheirLetterAndMark)
{
    const std::set<QString> exceptions{QStringLiteral("&AElig;"),  QStringLiteral("&aelig;"),
                                       QStringLiteral("&Aring;"),  QStringLiteral("&aring;"),
                                       QStringLiteral("&Oslash;"), QStringLiteral("&oslash;"),
                                       QStringLiteral("&szlig;"),  QStringLiteral("&Yacute;"),
                                       QStringLiteral("&ETH;"),    QStringLiteral("&eth;"),
                                       QStringLiteral("&THORN;"),  QStringLiteral("&thorn;")};
    const std::map<char16_t, QString> marks{{0x0301, QStringLiteral(", accento acuto")},
                                            {0x0302, QStringLiteral(", accento circonflesso")},
                                            {0x0300, QStringLiteral(", accento grave")},
                                            {0x0308, QStringLiteral(", dieresi")},
                                            {0x0303, QStringLiteral(", tilde")},
                                            {0x0327, QStringLiteral(", cediglia")}};
    int letters = 0;
    for (int i = 34; i < kEntityRows; ++i) {
        const EntityRow& row = entityRows()[static_cast<std::size_t>(i)];
        if (exceptions.count(row.entity.toString()))
            continue;
        const QString parts = QChar(row.symbol).decomposition();
        ASSERT_EQ(parts.size(), 2) << row.entity.toString().toStdString();
        const QChar base = parts[0];
        const QString expected = u'(' + base +
                                 (base.isUpper() ? QStringLiteral(" maiuscola") : QStringLiteral(" minuscola")) +
                                 marks.at(parts[1].unicode()) + u')';
        EXPECT_EQ(row.description, expected) << row.entity.toString().toStdString();
        ++letters;
    }
    EXPECT_EQ(letters, 62 - 12);
    EXPECT_EQ(entityRowText(entityRows()[37]), QStringLiteral("&Agrave;     À      (A maiuscola, accento grave)"));
    EXPECT_EQ(entityRows()[61].description, u"(Y maiuscola, acento acuto)");
    EXPECT_EQ(entityRows()[92].description, u"(DH maiuscola islandese, runa Eth)");
    EXPECT_EQ(entityRows()[15].description, u"(più/meno)");
}

TEST(EntityTable, RowsShowTheEntityInThirteenColumnsThenTheSymbolSixBlanksAndTheDescription)
{
    const QStringList rows = entityRowTexts();
    ASSERT_EQ(rows.size(), kEntityRows);
    EXPECT_EQ(rows[65], QStringLiteral("&agrave;     à      (a minuscola, accento grave)"));
    EXPECT_EQ(rows[7], QStringLiteral("&#153;       ™      (trademark)"));
    for (int i = 0; i < kEntityRows; ++i) {
        const EntityRow& row = entityRows()[static_cast<std::size_t>(i)];
        EXPECT_EQ(rows[i].left(13).trimmed(), row.entity);
        EXPECT_EQ(rows[i][13], QChar(row.symbol));
        EXPECT_EQ(rows[i].mid(14, 6), QStringLiteral("      "));
        EXPECT_EQ(rows[i].mid(20), row.description);
        EXPECT_TRUE(row.description.startsWith(u'(') && row.description.endsWith(u')'));
        // What "Inserisci" takes from the row.
        EXPECT_EQ(entityOfRowText(rows[i]), row.entity);
    }
    EXPECT_EQ(entityOfRowText(u"senza punto e virgola"), QString());
    EXPECT_EQ(entityOfRowText(u""), QString());
}

TEST(EntityConversion, TurnsListedCharactersIntoEntitiesAndLeavesEverythingElse)
{
    const struct {
        const char16_t* text;
        const char16_t* converted;
    } cases[] = {
        {u"Perché", u"Perch&eacute;"},
        {u"¤5", u"&curren;5"},
        {u"€ 5", u"&euro; 5"},
        {u"™", u"&#153;"},
        {u"Þþ", u"&THORN;&thorn;"},
        {u"ÀàÈè", u"&Agrave;&agrave;&Egrave;&egrave;"},
        {u"già &agrave; &amp; &#153;", u"gi&agrave; &agrave; &amp; &#153;"},
        {u"<A HREF=\"caffè.htm\" TITLE='x > y'>Caffè</A>",
         u"<A HREF=\"caff&egrave;.htm\" TITLE='x > y'>Caff&egrave;</A>"},
        {u"nessun carattere speciale\n", u"nessun carattere speciale\n"},
        // Characters outside the table stay: no-break space, macron, Œ, dash, curly quotes, Greek, an emoji.
        {u"\u00A0\u00AF\u0152\u2014\u201C\u03C0\U0001F600", u"\u00A0\u00AF\u0152\u2014\u201C\u03C0\U0001F600"},
        {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convertToEntities(QString::fromUtf16(c.text)), QString::fromUtf16(c.converted));
}

// Every listed symbol, read from a page stored as UTF-8 and from one stored as Windows-1252, converts alike.
TEST(EntityConversion, APageHoldingEverySymbolConvertsTheSameFromUtf8AndFromWindows1252)
{
    QString text = QStringLiteral("<P>");
    QString expected = text;
    QByteArray cp1252 = "<P>";
    for (const EntityRow& row : entityRows()) {
        text += QChar(row.symbol) + u'|';
        expected += row.entity;
        expected += u'|';
        cp1252 += *toWindows1252(row.symbol);
        cp1252 += '|';
    }
    text += QStringLiteral("</P>");
    expected += QStringLiteral("</P>");
    cp1252 += "</P>";
    EXPECT_EQ(static_cast<unsigned char>(cp1252[3 + 2 * 4]), 0x80) << "the euro is byte 0x80";
    EXPECT_EQ(static_cast<unsigned char>(cp1252[3 + 2 * 7]), 0x99) << "the trade mark is byte 0x99";

    const DecodedText fromUtf8 = decodeDocument(text.toUtf8());
    const DecodedText fromCp1252 = decodeDocument(cp1252);
    ASSERT_EQ(fromUtf8.encoding, Encoding::Utf8);
    ASSERT_EQ(fromCp1252.encoding, Encoding::Windows1252);
    EXPECT_EQ(convertToEntities(fromUtf8.text), expected);
    EXPECT_EQ(convertToEntities(fromCp1252.text), expected);
    // Converting again changes nothing: entities hold no listed character.
    EXPECT_TRUE(entityReplacements(expected).empty());
}

TEST(EntityConversion, EditsAreOneCharacterEachInAscendingOrder)
{
    const std::vector<TextReplacement> edits = entityReplacements(u"aé<b>ß</b>€");
    ASSERT_EQ(edits.size(), 3u);
    EXPECT_EQ(edits[0].start, 1);
    EXPECT_EQ(edits[0].with, u"&eacute;");
    EXPECT_EQ(edits[1].start, 5);
    EXPECT_EQ(edits[1].with, u"&szlig;");
    EXPECT_EQ(edits[2].start, 10);
    for (const TextReplacement& edit : edits)
        EXPECT_EQ(edit.length, 1);
}

}  // namespace
