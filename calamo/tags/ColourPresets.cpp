#include "ColourPresets.h"

namespace calamo {

namespace {

constexpr std::array<ColourPreset, kColourPresets> kPresets{{
    {u"acquamarina", u"#7FFFD4"},
    {u"acquamarina medio", u"#66CDAA"},
    {u"arancio", u"#FFA500"},
    {u"azzurro", u"#F0FFFF"},
    {u"azzurro chiaro", u"#ADD8E6"},
    {u"beige", u"#F5F5DC"},
    {u"bianco", u"#FFFFFF"},
    {u"bianco fantasma", u"#F8F8FF"},
    {u"bianco sporco", u"#FAEBD7"},
    {u"blu", u"#0000FF"},
    {u"blu ardesia", u"#6A5ACD"},
    {u"blu ardesia medio", u"#7B68EE"},
    {u"blu ardesia scuro", u"#483D8B"},
    {u"blu aredesia chiaro", u"#8470FF"},
    {u"blu cadetto", u"#5F9EA0"},
    {u"blu notte", u"#191970"},
    {u"blu oltremare", u"#00BFFF"},
    {u"blu polvere", u"#B8860B"},
    {u"bluette", u"#1E90FF"},
    {u"blu-violetto", u"#8A2BE2"},
    {u"bruno", u"#A52A2A"},
    {u"chartreuse", u"#7FFF00"},
    {u"ciano", u"#00FFFF"},
    {u"ciano chiaro", u"#E0FFFF"},
    {u"cioccolato", u"#D2691E"},
    {u"conchiglia", u"#FFF5EE"},
    {u"corallo", u"#FF7F50"},
    {u"corallo chiaro", u"#F08080"},
    {u"cuoio", u"#8B4513"},
    {u"fumo", u"#F5F5F5"},
    {u"ghiaccio", u"#F0FFF0"},
    {u"giallo", u"#FFFF00"},
    {u"giallo limone", u"#ADFF2F"},
    {u"grano", u"#F5DEB3"},
    {u"grigio", u"#D02090"},
    {u"grigio ardesia", u"#708090"},
    {u"grigio ardesia chiaro", u"#778899"},
    {u"grigio ardesia scuro", u"#2F4F4F"},
    {u"grigio chiaro", u"#D3D3D3"},
    {u"grigio olivo", u"#6B8E23"},
    {u"grigio pallido", u"#696969"},
    {u"isabella", u"#FDF5E6"},
    {u"kaki", u"#F0E68C"},
    {u"kaki scuro", u"#BDB76B"},
    {u"lavanda", u"#E6E6FA"},
    {u"lilla", u"#DDA0DD"},
    {u"lino", u"#FAF0E6"},
    {u"magenta", u"#FF00FF"},
    {u"marrone", u"#B0E0E6"},
    {u"mattone", u"#B22222"},
    {u"menta", u"#F5FFFA"},
    {u"mocassino", u"#FFE4B5"},
    {u"navy", u"#000080"},
    {u"nero", u"#000000"},
    {u"nero-blu", u"#F0F8FF"},
    {u"orchidea", u"#BA55D3"},
    {u"oro", u"#FFD700"},
    {u"pervinca", u"#6495ED"},
    {u"pomodoro", u"#FF6347"},
    {u"prugna", u"#E066FF"},
    {u"rosa antico", u"#BC8F8F"},
    {u"rosa chiaro", u"#FFB6C1"},
    {u"rosa scuro", u"#FF1493"},
    {u"rosa shocking", u"#FF69B4"},
    {u"rosa-marrone", u"#BEBEBE"},
    {u"rosso", u"#FF0000"},
    {u"rosso-violetto", u"#D2B48C"},
    {u"rosso-violetto medio", u"#C71585"},
    {u"rosso-violetto pallido", u"#DB7093"},
    {u"sabbia", u"#F4A460"},
    {u"sabbia chiaro", u"#DEB887"},
    {u"salmone", u"#FA8072"},
    {u"salmone scuro", u"#E9967A"},
    {u"tanè", u"#DAA520"},
    {u"turchese", u"#40E0D0"},
    {u"turchese medio", u"#48D1CC"},
    {u"turchese pallido", u"#AFEEEE"},
    {u"turchese scuro", u"#00CED1"},
    {u"verde", u"#00FF00"},
    {u"verde cedro", u"#32CD32"},
    {u"verde foresta", u"#228B22"},
    {u"verde mare", u"#2E8B57"},
    {u"verde mare chiaro", u"#20B2AA"},
    {u"verde mare medio", u"#3CB371"},
    {u"verde mare scuro", u"#8FBC8F"},
    {u"verde oliva scuro", u"#556B2F"},
    {u"verde pallido", u"#98FB98"},
    {u"verde prato", u"#7CFC00"},
    {u"verde primavera", u"#00FF7F"},
    {u"verde scuro", u"#006400"},
    {u"verde-giallo", u"#9ACD32"},
    {u"violetto", u"#EE82EE"},
}};

constexpr qsizetype kNameWidth = 31;

// The character a row is compared by: lower case, without accent. Null for the characters left out.
QChar sortKeyOf(QChar c)
{
    if (c == u'-' || c == u'\'')
        return {};
    const QString decomposed = c.decomposition();
    if (!decomposed.isEmpty() && c.decompositionTag() == QChar::Canonical)
        c = decomposed.front();
    return c.toLower();
}

}  // namespace

const std::array<ColourPreset, kColourPresets>& colourPresets()
{
    return kPresets;
}

QString colourRowText(const ColourPreset& preset)
{
    QString row = preset.name.toString().leftJustified(kNameWidth, u' ');
    row += preset.code;
    return row;
}

bool colourRowLess(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    for (;;) {
        QChar x;
        QChar y;
        while (i < a.size() && (x = sortKeyOf(a[i])).isNull())
            ++i;
        while (j < b.size() && (y = sortKeyOf(b[j])).isNull())
            ++j;
        if (i == a.size() || j == b.size()) {
            if (i != a.size() || j != b.size())
                return i == a.size();
            break;
        }
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    return a < b;
}

QString codeOfColourRow(QStringView row)
{
    if (row.size() < kColourRowLength || row[kNameWidth] != u'#')
        return {};
    return row.mid(kNameWidth, kColourRowLength - kNameWidth).toString();
}

std::optional<std::uint32_t> colourOfRow(QStringView row)
{
    const QString code = codeOfColourRow(row);
    if (code.isEmpty())
        return std::nullopt;
    bool ok = false;
    const std::uint32_t rgb = code.mid(1).toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return ((rgb >> 16) & 0xFFu) | (rgb & 0xFF00u) | ((rgb & 0xFFu) << 16);
}

}  // namespace calamo
