#include "zGauge.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace travaso {

namespace {

const QColor teal(0, 128, 128);
const QColor red(255, 0, 0);

// A shown gauge with plain colours: 75 x 30, raised bevel of 1, margin 1, so the bar is x 2..72, y 2..27.
struct ShownGauge {
    ShownGauge()
    {
        gauge.SetColor(teal);
        gauge.SetBarColor(red);
        gauge.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&gauge));
    }
    QImage Image() { return gauge.grab().toImage(); }
    TzGauge gauge;
};

TEST(GaugeGeometryTest, FillEndIsProportionalAndStaysInTheBar)
{
    EXPECT_EQ(GaugeFillEnd(2, 71, 0, 100, 0), 2);
    EXPECT_EQ(GaugeFillEnd(2, 71, 0, 100, 50), 37);
    EXPECT_EQ(GaugeFillEnd(2, 71, 0, 100, 100), 73);
    EXPECT_EQ(GaugeFillEnd(0, 100, -50, 50, 0), 50);
    EXPECT_EQ(GaugeFillEnd(0, 100, 0, 2'000'000'000, 1'000'000'000), 50);  // no overflow
    EXPECT_EQ(GaugeFillEnd(0, 10, 5, 5, 5), 0);                            // empty range
}

TEST(GaugeGeometryTest, PercentReadAndWrite)
{
    EXPECT_EQ(GaugePercent(0, 3, 2), 66);
    EXPECT_EQ(GaugeValueForPercent(0, 200, 150), 200);  // beyond 100 counts as 100
    EXPECT_EQ(GaugeValueForPercent(10, 20, 55), 15);
}

TEST(GaugeGeometryTest, LedsThatDoNotFitAreNotLit)
{
    // 10 LEDs asked in 5 pixels: each is 1 wide, one pixel apart, so only 3 fit.
    const LedLayout tiny = GaugeLeds(0, 5, 10, 1, 5);
    EXPECT_THAT(tiny.leds, ::testing::ElementsAre(Span{0, 1}, Span{2, 3}, Span{4, 5}));
    // 4 LEDs of 17 with pitch 17 in 71 pixels, lit to the middle.
    const LedLayout half = GaugeLeds(2, 73, 4, 1, 37);
    EXPECT_THAT(half.leds, ::testing::ElementsAre(Span{2, 19}, Span{20, 37}));
    EXPECT_EQ(half.restFrom, 38);
    for (int space : {0, 1, 3, 9})
        for (const Span& led : GaugeLeds(0, 100, 7, space, 100).leds)
            EXPECT_LE(led.to, 100) << "LED beyond the bar with space " << space;
}

TEST(GaugeGeometryTest, CaptionFormats)
{
    EXPECT_EQ(GaugeCaptionText("%d%%", gaPctBar, 42, 7), "42%");
    EXPECT_EQ(GaugeCaptionText("%d", gaTotalBar, 42, 7), "7");
    EXPECT_EQ(GaugeCaptionText("%d / %d%%", gaTotPct, 42, 7), "7 / 42%");
    EXPECT_EQ(GaugeCaptionText("%d%% (%d)", gaPctTot, 42, 7), "42% (7)");
    EXPECT_EQ(GaugeCaptionText("%d %d", gaPctBar, 42, 7), std::nullopt);
    EXPECT_EQ(GaugeCaptionText("%s", gaPctBar, 42, 7), std::nullopt);
}

TEST(GaugeTest, DefaultsAndRangeInvariants)
{
    TzGauge g;
    EXPECT_EQ(g.size(), QSize(75, 30));
    EXPECT_EQ(g.BarColor(), QColor(255, 0, 255));
    EXPECT_EQ(g.BevelOuter(), BevelKind::Raised);
    g.SetMax(0);
    EXPECT_EQ(g.Max(), 1);
    g.SetMin(10);  // Max follows to stay above Min
    EXPECT_EQ(g.Max(), 11);
    g.SetMax(-5);
    EXPECT_EQ(g.Max(), 11);
}

TEST(GaugeTest, BarFillsUpToTheFillEnd)
{
    ShownGauge s;
    s.gauge.SetValue(50);
    const QImage img = s.Image();
    EXPECT_EQ(img.pixelColor(2, 15), red);
    EXPECT_EQ(img.pixelColor(36, 15), red);
    EXPECT_EQ(img.pixelColor(37, 15), teal);
    EXPECT_EQ(img.pixelColor(72, 15), teal);
    EXPECT_EQ(img.pixelColor(1, 15), teal);  // margin ring
}

TEST(GaugeTest, ValuesBeyondTheRangeClampAndFireOnce)
{
    ShownGauge s;
    QSignalSpy max(&s.gauge, &TzGauge::OnMaximum), min(&s.gauge, &TzGauge::OnMinimum),
        paints(&s.gauge, &TzGauge::OnPaint);
    s.gauge.SetValue(500);
    EXPECT_EQ(s.gauge.Value(), 100);
    EXPECT_EQ(s.Image().pixelColor(72, 15), red);
    const int paintsAfterFirst = paints.count();
    s.gauge.SetValue(100);  // same value: no event, no paint
    EXPECT_EQ(max.count(), 1);
    EXPECT_EQ(paints.count(), paintsAfterFirst);
    s.gauge.SetValue(-7);
    EXPECT_EQ(s.gauge.Value(), 0);
    EXPECT_EQ(min.count(), 1);
    EXPECT_EQ(s.Image().pixelColor(2, 15), teal);
    s.gauge.SetPercent(150);
    EXPECT_EQ(s.gauge.Value(), 100);
    EXPECT_EQ(s.gauge.Percent(), 100);
    EXPECT_EQ(max.count(), 2);
}

TEST(GaugeTest, SettersRepaintAtOnceOnlyWhenThePictureChanges)
{
    ShownGauge s;
    QSignalSpy paints(&s.gauge, &TzGauge::OnPaint);
    s.gauge.SetValue(2);
    EXPECT_EQ(paints.count(), 1);  // synchronous: no event loop ran
    s.gauge.SetMax(100'000);
    paints.clear();
    const int barWidth = s.gauge.width() - 4;  // bevel and margin on each side
    for (int v = 0; v <= 100'000; ++v)
        s.gauge.SetValue(v);
    EXPECT_LE(paints.count(), barWidth + 1) << "one paint per pixel the bar grows";
    EXPECT_GE(paints.count(), barWidth - 1);
    s.gauge.SetCaption("%d");
    s.gauge.SetCaptionStyle(gaTotalBar);
    paints.clear();
    s.gauge.SetValue(99'999);  // the bar stays, the number changes
    EXPECT_EQ(paints.count(), 1);
    s.gauge.SetDrawOnlyWhenPCTChange(true);
    paints.clear();
    for (int v = 0; v <= 100'000; v += 7)
        s.gauge.SetValue(v);
    s.gauge.SetValue(100'000);
    EXPECT_LE(paints.count(), 101);
    EXPECT_GE(paints.count(), 99);
}

TEST(GaugeTest, LedModeLightsWholeLedsOnly)
{
    ShownGauge s;
    s.gauge.SetNumberOfLed(4);
    s.gauge.SetValue(50);
    const QImage img = s.Image();
    EXPECT_EQ(img.pixelColor(10, 15), red);
    EXPECT_EQ(img.pixelColor(19, 15), teal);  // gap
    EXPECT_EQ(img.pixelColor(36, 15), red);
    EXPECT_EQ(img.pixelColor(40, 15), teal);  // third LED not lit
    EXPECT_EQ(s.gauge.CaptionText(), "");
}

TEST(GaugeTest, CaptionIsCentredAndInvertedOverTheBar)
{
    ShownGauge s;
    s.gauge.resize(200, 30);
    s.gauge.SetCaption("%d%%");
    s.gauge.SetValue(42);
    EXPECT_EQ(s.gauge.CaptionText(), "42%");
    s.gauge.SetValue(50);
    const QImage img = s.Image();
    // The bar ends at x = 2 + 196 / 2 = 100, the middle, so the centred text straddles it:
    // its left half is drawn in the background colour on the bar, its right half in the bar colour.
    const int fillEnd = 100;
    int textOnBar = 0, textOnEmpty = 0, textLeft = 200, textRight = 0;
    for (int y = 2; y < 28; ++y) {
        for (int x = 2; x < 198; ++x) {
            const QColor c = img.pixelColor(x, y);
            const bool text = x < fillEnd ? c != red : c != teal;
            if (!text)
                continue;
            (x < fillEnd ? textOnBar : textOnEmpty)++;
            textLeft = std::min(textLeft, x);
            textRight = std::max(textRight, x);
            if (x < fillEnd)
                EXPECT_GT(c.green(), 0) << "text over the bar blends towards teal";
            else
                EXPECT_EQ(c.green() < 128, true) << "text over the background blends towards red";
        }
    }
    EXPECT_GT(textOnBar, 0);
    EXPECT_GT(textOnEmpty, 0);
    EXPECT_LE(std::abs((textLeft + textRight) / 2 - 100), 3);  // centred
    s.gauge.SetCaption("%d %d");                               // does not match: no text, no crash
    s.Image();
    EXPECT_EQ(s.gauge.CaptionText(), "");
}

TEST(GaugeTest, PictureIsTiledUnderBarAndLeds)
{
    QImage glyph(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            glyph.setPixelColor(x, y, QColor(x * 60, y * 100, 7));
    ShownGauge s;
    s.gauge.SetGlyph(glyph);
    ASSERT_EQ(s.gauge.TileCache().size(), s.gauge.size());
    EXPECT_EQ(s.gauge.TileCache().pixelColor(74, 29), glyph.pixelColor(74 % 4, 29 % 3));
    s.gauge.SetValue(100);
    QImage img = s.Image();
    for (int x : {2, 3, 9, 50})
        for (int y : {2, 4, 20})
            EXPECT_EQ(img.pixelColor(x, y), glyph.pixelColor((x - 2) % 4, (y - 2) % 3)) << x << "," << y;
    s.gauge.SetNumberOfLed(4);
    img = s.Image();
    EXPECT_EQ(img.pixelColor(25, 10), glyph.pixelColor(23 % 4, 8 % 3));
    s.gauge.resize(90, 30);  // the cache follows the size at the next paint
    s.Image();
    EXPECT_EQ(s.gauge.TileCache().size(), QSize(90, 30));
}

}  // namespace

}  // namespace travaso
