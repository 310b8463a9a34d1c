#include "Frameset.h"

#include "Prompts.h"
#include "WrapSelection.h"

#include <QRegularExpression>

#include <array>
#include <span>

namespace calamo {

namespace {

enum class Kind { Frameset, Frame, End };

struct Line {
    int depth;
    Kind kind;
    const char* text;  // the layout text of a FRAMESET line or the frame text of a FRAME line, written literally
};

// The eleven layouts. Frame names are link targets only and are written exactly as given, "ALT0" and
// "CENTALE" included: pages made earlier may already target them.
constexpr std::array<Line, 4> k01 = {{
    {0, Kind::Frameset, " ROWS= \"80,*\">"},
    {1, Kind::Frame, " NAME= \"SOPRA\" SRC= \"SOPRA.HTM\">"},
    {1, Kind::Frame, " NAME= \"SOTTO\" SRC= \"SOTTO.HTM\">"},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 4> k02 = {{
    {0, Kind::Frameset, " COLS= \"100,*\">"},
    {1, Kind::Frame, " NAME= \"SX\" SRC= \"SX.HTM\">"},
    {1, Kind::Frame, " NAME= \"DX\" SRC= \"DX.HTM\">"},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 7> k03 = {{
    {0, Kind::Frameset, " ROWS= \"100,*\">"},
    {1, Kind::Frame, " NAME= \"ALTO\" SRC= \"ALTO.HTM\">"},
    {1, Kind::Frameset, " COLS= \"150,*\">"},
    {2, Kind::Frame, " NAME= \"SX\" SRC= \"SX.HTM\">"},
    {2, Kind::Frame, " NAME= \"DX\" SRC= \"DX.HTM\">"},
    {1, Kind::End, ""},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 7> k04 = {{
    {0, Kind::Frameset, " COLS= \"120,*\">"},
    {1, Kind::Frame, " NAME= \"SX\" SRC= \"SX.HTM\">"},
    {1, Kind::Frameset, " ROWS= \"100,*\">"},
    {2, Kind::Frame, " NAME= \"ALTO\" SRC= \"ALTO.HTM\">"},
    {2, Kind::Frame, " NAME= \"BASSO\" SRC= \"BASSO.HTM\">"},
    {1, Kind::End, ""},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 8> k05 = {{
    {0, Kind::Frameset, " COLS= \"120,*\">"},
    {1, Kind::Frame, " NAME= \"SX\" SRC= \"SX.HTM\">"},
    {1, Kind::Frameset, " ROWS= \"20%,60%,20%,*\">"},
    {2, Kind::Frame, " NAME= \"ALT0\" SRC= \"ALTO.HTM\">"},
    {2, Kind::Frame, " NAME= \"CENTALE\" SRC= \"CENTRALE.HTM\">"},
    {2, Kind::Frame, " NAME= \"BASSO\" SRC= \"BASSO.HTM\">"},
    {1, Kind::End, ""},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 7> k06 = {{
    {0, Kind::Frameset, " COLS= \"75%,25%\">"},
    {1, Kind::Frameset, " ROWS= \"20%,80%\">"},
    {2, Kind::Frame, " NAME= \"ALT0\" SRC= \"ALTO.HTM\">"},
    {2, Kind::Frame, " NAME= \"BASSO\" SRC= \"BASSO.HTM\">"},
    {1, Kind::End, ""},
    {1, Kind::Frame, " NAME= \"DX\" SRC= \"DX.HTM\">"},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 10> k07 = {{
    {0, Kind::Frameset, " COLS= \"75%,25%\">"},
    {1, Kind::Frameset, " ROWS= \"20%,80%\">"},
    {2, Kind::Frame, " NAME= \"ALT0\" SRC= \"ALTO.HTM\">"},
    {2, Kind::Frameset, " COLS= \"20%,80%\">"},
    {3, Kind::Frame, " NAME= \"SX\" SRC= \"SX.HTM\">"},
    {3, Kind::Frame, " NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">"},
    {2, Kind::End, ""},
    {1, Kind::End, ""},
    {1, Kind::Frame, " NAME= \"DX\" SRC= \"DX.HTM\">"},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 10> k08 = {{
    {0, Kind::Frameset, " COLS= \"75%,25%\">"},
    {1, Kind::Frameset, " ROWS= \"80%,20%\">"},
    {2, Kind::Frame, " NAME= \"ALTOSX\" SRC= \"ALTOSX.HTM\">"},
    {2, Kind::Frame, " NAME= \"BASSOSX\" SRC= \"BASSOSX.HTM\">"},
    {1, Kind::End, ""},
    {1, Kind::Frameset, " ROWS= \"24%,76%\">"},
    {2, Kind::Frame, " NAME= \"ALTODX\" SRC= \"ALTODX.HTM\">"},
    {2, Kind::Frame, " NAME= \"BASSODX\" SRC= \"BASSODX.HTM\">"},
    {1, Kind::End, ""},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 7> k09 = {{
    {0, Kind::Frameset, " COLS= \"75%,25%\">"},
    {1, Kind::Frameset, " ROWS= \"80%,20%\">"},
    {2, Kind::Frame, " NAME= \"ALT0SX\" SRC= \"ALTOSX.HTM\">"},
    {2, Kind::Frame, " NAME= \"BASSOSX\" SRC= \"BASSOSX.HTM\">"},
    {1, Kind::End, ""},
    {1, Kind::Frame, " NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">"},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 5> k10 = {{
    {0, Kind::Frameset, " ROWS= \"20%,60%,20%\">"},
    {1, Kind::Frame, " NAME= \"ALT0\" SRC= \"ALTO.HTM\">"},
    {1, Kind::Frame, " NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">"},
    {1, Kind::Frame, " NAME= \"BASSO\" SRC= \"BASSO.HTM\">"},
    {0, Kind::End, ""},
}};
constexpr std::array<Line, 5> k11 = {{
    {0, Kind::Frameset, " COLS= \"20%,60%,20%\">"},
    {1, Kind::Frame, " NAME= \"SX\" SRC= \"SX.HTM\">"},
    {1, Kind::Frame, " NAME= \"CENTRALE\" SRC= \"CENTRALE.HTM\">"},
    {1, Kind::Frame, " NAME= \"DX\" SRC= \"DX.HTM\">"},
    {0, Kind::End, ""},
}};

std::span<const Line> templateLines(int button)
{
    switch (button) {
    case 1:
        return k01;
    case 2:
        return k02;
    case 3:
        return k03;
    case 4:
        return k04;
    case 5:
        return k05;
    case 6:
        return k06;
    case 7:
        return k07;
    case 8:
        return k08;
    case 9:
        return k09;
    case 10:
        return k10;
    case 11:
        return k11;
    default:
        return {};
    }
}

// Page size the pictures assume, in pixels: fixed sizes in the layouts are pixels of such a page.
constexpr double kPageWidth = 640;
constexpr double kPageHeight = 480;

// Splits `extent` pixels by a ROWS or COLS list: "80" pixels, "20%" of the extent, "*" an equal share of what
// the others leave (never below zero).
std::vector<double> splitExtent(const QString& list, double extent)
{
    const QStringList parts = list.split(u',');
    std::vector<double> sizes(static_cast<std::size_t>(parts.size()), 0.0);
    double used = 0;
    int stars = 0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        if (part.endsWith(u'*')) {
            ++stars;
            continue;
        }
        double size = part.endsWith(u'%') ? part.chopped(1).toDouble() * extent / 100 : part.toDouble();
        size = std::clamp(size, 0.0, std::max(0.0, extent - used));
        sizes[static_cast<std::size_t>(i)] = size;
        used += size;
    }
    const double share = stars > 0 ? std::max(0.0, extent - used) / stars : 0.0;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts[i].trimmed().endsWith(u'*'))
            sizes[static_cast<std::size_t>(i)] = share;
    }
    return sizes;
}

// Lays out the frameset that starts at lines[at] inside `area`; returns the index after its end line.
std::size_t layOut(std::span<const Line> lines, std::size_t at, QRectF area, std::vector<QRectF>& cells)
{
    static const QRegularExpression kList(QStringLiteral("(ROWS|COLS)= \"([^\"]*)\""));
    const QRegularExpressionMatch match = kList.match(QLatin1String(lines[at].text));
    const bool rows = match.captured(1) == QLatin1String("ROWS");
    const std::vector<double> sizes = splitExtent(match.captured(2), rows ? area.height() : area.width());
    const int depth = lines[at].depth;
    std::size_t slot = 0;
    double offset = 0;
    ++at;
    while (at < lines.size() && !(lines[at].kind == Kind::End && lines[at].depth == depth)) {
        const double size = slot < sizes.size() ? sizes[slot] : 0.0;
        const QRectF part = rows ? QRectF(area.x(), area.y() + offset, area.width(), size)
                                 : QRectF(area.x() + offset, area.y(), size, area.height());
        if (lines[at].kind == Kind::Frameset) {
            at = layOut(lines, at, part, cells);
        } else {
            if (size > 0)
                cells.push_back(part);
            ++at;
        }
        offset += size;
        ++slot;
    }
    return at + 1;
}

}  // namespace

QString FramesetAttributes(const FramesetPanel& p, Prompts& prompts)
{
    QString attributes;
    if (p.CheckBox35)
        attributes += QStringLiteral(" BORDER= ") + p.Edit1;
    if (p.CheckBox37)
        attributes += QStringLiteral(" FRAMEBORDER= ") + p.ComboBox11;
    if (p.CheckBox39) {
        if (const auto picked = prompts.pickColor())
            attributes += QStringLiteral(" BORDERCOLOR= \"#") + ColorToHtmlHex(*picked) + u'"';
    }
    return attributes;
}

QString FrameAttributes(const FramesetPanel& p)
{
    QString attributes;
    if (p.CheckBox40)
        attributes += QStringLiteral(" SCROLLING= \"") + p.ComboBox12 + u'"';
    if (p.CheckBox38)
        attributes += QStringLiteral(" NORESIZE");
    return attributes;
}

QStringList FramesetHead()
{
    return {QStringLiteral("<HTML>"), QString(), QStringLiteral("<HEAD>"), QStringLiteral("</HEAD>"), QString()};
}

QStringList FramesetBody(int button, const FramesetPanel& panel, Prompts& prompts)
{
    const std::span<const Line> lines = templateLines(button);
    if (lines.empty())
        return {};
    QStringList out;
    for (const Line& line : lines) {
        const QString indent(line.depth, u' ');
        switch (line.kind) {
        case Kind::Frameset:
            out.push_back(indent + QStringLiteral("<FRAMESET ") + FramesetAttributes(panel, prompts) +
                          QLatin1String(line.text));
            break;
        case Kind::Frame:
            out.push_back(indent + QStringLiteral("<FRAME ") + FrameAttributes(panel) + QLatin1String(line.text));
            break;
        case Kind::End:
            out.push_back(indent + QStringLiteral("</FRAMESET>"));
            break;
        }
    }
    out << QString() << QString() << QStringLiteral("<NOFRAME>") << QStringLiteral(" <BODY>")
        << QStringLiteral("  Questa pagina usa i frame ma il tuo browser non li supporta.")
        << QStringLiteral(" </BODY>") << QStringLiteral("</NOFRAME>") << QString() << QString()
        << QStringLiteral("</HTML>");
    return out;
}

QStringList FramesetPage(int button, const FramesetPanel& panel, Prompts& prompts)
{
    const QStringList body = FramesetBody(button, panel, prompts);
    return body.isEmpty() ? QStringList() : FramesetHead() + body;
}

std::vector<QRectF> FramesetCells(int button)
{
    const std::span<const Line> lines = templateLines(button);
    std::vector<QRectF> cells;
    if (lines.empty())
        return cells;
    layOut(lines, 0, QRectF(0, 0, kPageWidth, kPageHeight), cells);
    for (QRectF& cell : cells)
        cell = QRectF(cell.x() / kPageWidth, cell.y() / kPageHeight, cell.width() / kPageWidth,
                      cell.height() / kPageHeight);
    return cells;
}

}  // namespace calamo
