#include "ColourPresets.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <random>

using namespace calamo;

namespace {

// The colour names in the order the list shows them.
const char16_t* const kNames[] = {u"acquamarina",
                                  u"acquamarina medio",
                                  u"arancio",
                                  u"azzurro",
                                  u"azzurro chiaro",
                                  u"beige",
                                  u"bianco",
                                  u"bianco fantasma",
                                  u"bianco sporco",
                                  u"blu",
                                  u"blu ardesia",
                                  u"blu ardesia medio",
                                  u"blu ardesia scuro",
                                  u"blu aredesia chiaro",
                                  u"blu cadetto",
                                  u"blu notte",
                                  u"blu oltremare",
                                  u"blu polvere",
                                  u"bluette",
                                  u"blu-violetto",
                                  u"bruno",
                                  u"chartreuse",
                                  u"ciano",
                                  u"ciano chiaro",
                                  u"cioccolato",
                                  u"conchiglia",
                                  u"corallo",
                                  u"corallo chiaro",
                                  u"cuoio",
                                  u"fumo",
                                  u"ghiaccio",
                                  u"giallo",
                                  u"giallo limone",
                                  u"grano",
                                  u"grigio",
                                  u"grigio ardesia",
                                  u"grigio ardesia chiaro",
                                  u"grigio ardesia scuro",
                                  u"grigio chiaro",
                                  u"grigio olivo",
                                  u"grigio pallido",
                                  u"isabella",
                                  u"kaki",
                                  u"kaki scuro",
                                  u"lavanda",
                                  u"lilla",
                                  u"lino",
                                  u"magenta",
                                  u"marrone",
                                  u"mattone",
                                  u"menta",
                                  u"mocassino",
                                  u"navy",
                                  u"nero",
                                  u"nero-blu",
                                  u"orchidea",
                                  u"oro",
                                  u"pervinca",
                                  u"pomodoro",
                                  u"prugna",
                                  u"rosa antico",
                                  u"rosa chiaro",
                                  u"rosa scuro",
                                  u"rosa shocking",
                                  u"rosa-marrone",
                                  u"rosso",
                                  u"rosso-violetto",
                                  u"rosso-violetto medio",
                                  u"rosso-violetto pallido",
                                  u"sabbia",
                                  u"sabbia chiaro",
                                  u"salmone",
                                  u"salmone scuro",
                                  u"tanè",
                                  u"turchese",
                                  u"turchese medio",
                                  u"turchese pallido",
                                  u"turchese scuro",
                                  u"verde",
                                  u"verde cedro",
                                  u"verde foresta",
                                  u"verde mare",
                                  u"verde mare chiaro",
                                  u"verde mare medio",
                                  u"verde mare scuro",
                                  u"verde oliva scuro",
                                  u"verde pallido",
                                  u"verde prato",
                                  u"verde primavera",
                                  u"verde scuro",
                                  u"verde-giallo",
                                  u"violetto"};

TEST(ColourPresets, NinetyTwoRowsOfThirtyEightCharactersNamePaddedThenTheCode)
{
    static_assert(std::size(kNames) == kColourPresets);
    const QRegularExpression code(QStringLiteral("^#[0-9A-F]{6}$"));
    for (int i = 0; i < kColourPresets; ++i) {
        const ColourPreset& preset = colourPresets()[static_cast<std::size_t>(i)];
        EXPECT_EQ(preset.name, QStringView(kNames[i]));
        const QString row = colourRowText(preset);
        EXPECT_EQ(row.size(), kColourRowLength) << row.toStdString();
        EXPECT_EQ(row.left(31).trimmed(), preset.name);
        EXPECT_TRUE(code.match(row.mid(31)).hasMatch()) << row.toStdString();
        EXPECT_EQ(codeOfColourRow(row), preset.code);
    }
    EXPECT_EQ(colourRowText(colourPresets()[0]), QStringLiteral("acquamarina                    #7FFFD4"));
}

TEST(ColourPresets, CodesAreKeptAsPagesHoldThemEvenWhereTheNameSaysOtherwise)
{
    const auto codeOf = [](QStringView name) {
        for (const ColourPreset& preset : colourPresets())
            if (preset.name == name)
                return preset.code.toString();
        return QString();
    };
    EXPECT_EQ(codeOf(u"rosso"), "#FF0000");
    EXPECT_EQ(codeOf(u"nero"), "#000000");
    EXPECT_EQ(codeOf(u"bianco"), "#FFFFFF");
    EXPECT_EQ(codeOf(u"tanè"), "#DAA520");
    EXPECT_EQ(codeOf(u"grigio"), "#D02090");
    EXPECT_EQ(codeOf(u"marrone"), "#B0E0E6");
    EXPECT_EQ(codeOf(u"blu polvere"), "#B8860B");
    EXPECT_EQ(codeOf(u"rosso-violetto"), "#D2B48C");
    EXPECT_EQ(codeOf(u"nero-blu"), "#F0F8FF");
    EXPECT_EQ(codeOf(u"violetto"), "#EE82EE");
}

TEST(ColourPresets, TheListOrderIgnoresHyphensCaseAndAccentsAndPutsBlanksFirst)
{
    std::vector<QString> rows;
    for (const ColourPreset& preset : colourPresets())
        rows.push_back(colourRowText(preset));
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), colourRowLess));
    std::vector<QString> shuffled = rows;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));
    std::sort(shuffled.begin(), shuffled.end(), colourRowLess);
    EXPECT_EQ(shuffled, rows);

    const auto less = [](QStringView a, QStringView b) {
        return colourRowLess(QString(a.toString().leftJustified(31) + QStringLiteral("#000000")),
                             QString(b.toString().leftJustified(31) + QStringLiteral("#000000")));
    };
    EXPECT_TRUE(less(u"blu oltremare", u"bluette"));
    EXPECT_TRUE(less(u"bluette", u"blu-violetto"));
    EXPECT_TRUE(less(u"blu-violetto", u"bruno"));
    EXPECT_TRUE(less(u"salmone scuro", u"tanè"));
    EXPECT_TRUE(less(u"tanè", u"turchese"));
    EXPECT_TRUE(less(u"tane", u"tanè")) << "equal letters: the unaccented first";
    EXPECT_FALSE(less(u"tanè", u"tane"));
    EXPECT_TRUE(less(u"Tanf", u"tanè") == false && less(u"tanè", u"Tanf"));
    EXPECT_TRUE(less(u"verde scuro", u"verde-giallo"));
    EXPECT_TRUE(less(u"nero", u"nero-blu"));
    EXPECT_FALSE(less(u"rosso", u"rosso"));
    EXPECT_TRUE(colourRowLess(u"a", u"ab"));
    EXPECT_FALSE(colourRowLess(u"ab", u"a"));
    EXPECT_TRUE(colourRowLess(u"a-", u"ab"));
}

TEST(ColourPresets, ARowsCodeGivesTheColourRedGreenBlue)
{
    EXPECT_EQ(colourOfRow(QStringLiteral("rosso                          #FF0000")), 0x000000FFu);
    EXPECT_EQ(colourOfRow(QStringLiteral("x                              #123456")), 0x00563412u);
    EXPECT_EQ(colourOfRow(QStringLiteral("nero                           #000000")), 0u);
    EXPECT_EQ(colourOfRow(u"corto"), std::nullopt);
    EXPECT_EQ(codeOfColourRow(u"corto"), QString());
    EXPECT_EQ(colourOfRow(QStringLiteral("x                              #GGGGGG")), std::nullopt);
}

}  // namespace
