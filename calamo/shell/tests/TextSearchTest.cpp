#include "TextSearch.h"

#include "Fakes.h"
#include "TextEdits.h"

#include <QRandomGenerator>

#include <gmock/gmock.h>

using namespace calamo;
using calamo::testing::replacedText;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TEST(FindText, IgnoresTheCaseOfLettersAccentedOnesToo)
{
    EXPECT_EQ(findText(u"xaby", u"AB", 0), 1);
    EXPECT_EQ(findText(u"Voilà l'école", u"ÉCOLE", 0), 8);
    EXPECT_EQ(findText(u"CITTÀ E PERCHÉ", u"città e perché", 0), 0);
    EXPECT_EQ(findText(u"ÆØÅ ÑÇ ŒŸ", u"ñç œÿ", 0), 4);
    EXPECT_EQ(findText(u"Москва", u"МОСК", 0), 0);
    // Letters outside the basic plane fold too: Deseret capital and small long I.
    EXPECT_EQ(findText(u"x\U00010400y", u"\U00010428", 0), 1);
    // An accent is not a case: e does not find è.
    EXPECT_EQ(findText(u"perché", u"perche", 0), -1);
}

TEST(FindText, SearchesForwardFromAnOffsetWithoutWrapping)
{
    EXPECT_EQ(findText(u"abXab", u"ab", 0), 0);
    EXPECT_EQ(findText(u"abXab", u"ab", 1), 3);
    EXPECT_EQ(findText(u"abXab", u"ab", 4), -1);
    EXPECT_EQ(findText(u"abXab", u"ab", 5), -1);
    EXPECT_EQ(findText(u"abXab", u"ab", 6), -1);
    EXPECT_EQ(findText(u"abXab", u"ab", -1), -1);
    // Across a line break.
    EXPECT_EQ(findText(u"one\ntwo", u"E\nT", 0), 2);
}

TEST(FindText, FindsWhatTheSimpleSearchFindsOnTextsFullOfRepeats)
{
    // Few letters in both cases, so partial matches and fall-backs abound; surrogate pairs that fold.
    const QString letters = QString::fromUtf16(u"aAbB\u00e0\u00c0\U00010400\U00010428");
    QRandomGenerator random(7);
    const auto randomText = [&](int length) {
        QString text;
        for (int i = 0; i < length; ++i) {
            const int at = static_cast<int>(random.bounded(6 + 2));
            text += at < 6 ? letters.mid(at, 1) : letters.mid(6 + 2 * (at - 6), 2);
        }
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString page = randomText(static_cast<int>(random.bounded(40)));
        const QString what = randomText(1 + static_cast<int>(random.bounded(5)));
        const int from = static_cast<int>(random.bounded(page.size() + 1));
        ASSERT_EQ(findText(page, what, from), page.indexOf(what, from, Qt::CaseInsensitive))
            << page.toStdString() << " / " << what.toStdString() << " from " << from;
    }
}

TEST(FindText, AnEmptyTextFindsNothing)
{
    EXPECT_EQ(findText(u"abc", u"", 0), -1);
    EXPECT_EQ(findText(u"", u"", 0), -1);
    EXPECT_EQ(findText(u"", u"a", 0), -1);
}

TEST(ReplaceAll, SearchesOnAfterEachReplacement)
{
    const auto replace = [](const QString& text, const QString& what, const QString& with) {
        return replacedText(text, replaceAllMatches(text, what), static_cast<int>(what.size()), with);
    };
    EXPECT_EQ(replace(QStringLiteral("aaa"), QStringLiteral("a"), QStringLiteral("aa")), "aaaaaa");
    EXPECT_EQ(replace(QStringLiteral("ab ab"), QStringLiteral("AB"), QStringLiteral("xaby")), "xaby xaby");
    EXPECT_EQ(replace(QStringLiteral("abab"), QStringLiteral("ab"), QStringLiteral("-")), "--");
    EXPECT_EQ(replace(QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("X")), "Xa");
    EXPECT_EQ(replace(QStringLiteral("Ab aB"), QStringLiteral("ab"), QString()), " ");
    EXPECT_EQ(replace(QStringLiteral("no match"), QStringLiteral("x"), QStringLiteral("y")), "no match");
    EXPECT_THAT(replaceAllMatches(u"abab", u"ab"), ElementsAre(0, 2));
    EXPECT_THAT(replaceAllMatches(u"abc", u""), IsEmpty());
}

// Replace all as the editor's commands first did it: select, rebuild the whole text, search again after the
// replacement. Slow, but the reference for what the span edits must give.
QString rebuildEachTime(QString text, const QString& what, const QString& with)
{
    int p = findText(text, what, 0);
    while (p != -1) {
        text = text.left(p) + with + text.mid(p + what.size());
        p = findText(text, what, p + static_cast<int>(with.size()));
    }
    return text;
}

TEST(ReplaceAll, GivesWhatRebuildingTheWholeTextForEachOccurrenceGives)
{
    QRandomGenerator random(20261208);
    const QString letters = QStringLiteral("aAbB\nèÈ");
    const auto word = [&](int min, int max) {
        QString out;
        for (int n = random.bounded(min, max + 1); n > 0; --n)
            out += letters[random.bounded(static_cast<int>(letters.size()))];
        return out;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString text = word(0, 30);
        const QString what = word(1, 3);
        const QString with = word(0, 4);
        const std::vector<int> matches = replaceAllMatches(text, what);
        ASSERT_EQ(replacedText(text, matches, static_cast<int>(what.size()), with), rebuildEachTime(text, what, with))
            << "text " << text.toStdString() << ", find " << what.toStdString() << ", replace by "
            << with.toStdString();
    }
}

TEST(TextEdits, RebuildTheTextAndTellWhereEachOldOffsetLands)
{
    const std::vector<TextReplacement> edits{{1, 1, u"&eacute;"}, {3, 2, u""}, {6, 0, u"+"}};
    EXPECT_EQ(replacedText(u"aébcdef", edits), "a&eacute;be+f");
    EXPECT_EQ(replacedText(u"abc", {}), "abc");
    // "a|é|b|c|d|e|f": before an edit an offset stays, after it it moves by the length change, inside a
    // replaced span it goes to the end of the replacement.
    const int expected[] = {0, 1, 9, 10, 10, 10, 11, 13};
    for (int offset = 0; offset <= 7; ++offset)
        EXPECT_EQ(offsetAfterEdits(offset, edits), expected[offset]) << offset;
    EXPECT_EQ(offsetAfterEdits(5, {}), 5);
}

}  // namespace
