#include "gauge.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace aracnide;

namespace {

const QColor kLightYellow(255, 255, 224);

TEST(GaugeGeometry, TheBarEndsWhereThePercentageOfTheUsableWidthSays)
{
    struct Row {
        int percent, split;
        QString text;
    };
    // Client 150 x 18: bar area from x 2 to 148, usable width 149.
    for (const Row& r : {Row{0, 0, "0 %"}, Row{50, 74, "50 %"}, Row{100, 149, "100 %"}, Row{130, 149, "100 %"}}) {
        const GaugeGeometry g = ComputeGauge(QSize(150, 18), r.percent);
        EXPECT_EQ(g.larg, 149);
        EXPECT_EQ(g.split, r.split) << r.percent;
        EXPECT_EQ(g.text, r.text);
        EXPECT_EQ(g.rectG.left(), 2);
        EXPECT_EQ(g.rectG.right(), r.split - 1) << "the done part ends at the split";
        EXPECT_EQ(g.rectD.left(), r.split) << "the rest starts there";
        EXPECT_EQ(g.rectD.right(), 148);
        EXPECT_EQ(g.rectG.top(), 1);
        EXPECT_EQ(g.rectD.bottom(), 16);
        EXPECT_EQ(g.textPos, QPoint(149 / 2 - 10, 3));
    }
}

QImage Render(Gauge& g)
{
    QImage img(g.size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    g.render(&img);
    return img;
}

// Whether some pixel of `area` is close to `c` (text is smoothed at its edges).
bool HasColour(const QImage& img, const QRect& area, const QColor& c)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) < 150)
                return true;
        }
    return false;
}

TEST(GaugePainting, TheFigureIsBlackOnTheBarAndRedOnTheRest)
{
    Gauge gauge;
    gauge.resize(150, 18);
    const QImage first = Render(gauge);
    EXPECT_FALSE(HasColour(first, first.rect().adjusted(2, 1, -1, -1), Qt::red))
        << "the first drawing shows the empty gauge only";

    gauge.SetPercent(45);  // the split (x 67) passes through "45 %", drawn from x 64
    const QImage img = Render(gauge);
    const GaugeGeometry g = ComputeGauge(gauge.size(), 45);
    EXPECT_EQ(img.pixelColor(10, 9), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(140, 9), kLightYellow);
    EXPECT_TRUE(HasColour(img, g.rectG, Qt::black)) << "part of the figure on the bar";
    EXPECT_TRUE(HasColour(img, QRect(g.rectD.left(), 2, 40, 14), Qt::red)) << "the rest of it beside the bar";
    EXPECT_EQ(img.pixelColor(1, 0), QColor(Qt::black)) << "the frame";
}

}  // namespace
