#include "zGradient.h"

#include <QImage>
#include <QPainter>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace travaso {

namespace {

const QColor green(0, 128, 0), white(255, 255, 255), sentinel(1, 2, 3);

QImage Render(int w, int h, const std::vector<ColorRect>& bands)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(sentinel);
    QPainter p(&image);
    for (const ColorRect& band : bands)
        p.fillRect(band.rect, band.color);
    return image;
}

int Unpainted(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == sentinel;
    return n;
}

TEST(GradientTest, MulDivRoundsHalfAwayFromZeroWithoutOverflow)
{
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(19, 255, 20), 242);  // 242.25
    EXPECT_EQ(MulDiv(1, 127, 20), 6);     // 6.35
    EXPECT_EQ(MulDiv(3, -255, 20), -38);  // -38.25
    EXPECT_EQ(MulDiv(2'000'000'000, 3, 4), 1'500'000'000);
    EXPECT_EQ(MulDiv(3, 7, 0), -1);
}

TEST(GradientTest, CopierButtonUsesTwentyRingsThreeByOne)
{
    EXPECT_EQ(CenterRings(128, 40, 75), (RingSteps{20, 3, 1}));
    EXPECT_EQ(CenterRings(2, 2, 75), (RingSteps{1, 1, 1}));
    EXPECT_EQ(CenterRings(0, 0, 75), (RingSteps{1, 1, 1}));  // at least one ring, at least a pixel thick
}

TEST(GradientTest, CenterFillOfTheCopierButtonRunsFromEdgeToCentre)
{
    const QImage image = Render(129, 41, ButtonGradient(129, 41, green, white, gCenter, 75, false));
    EXPECT_EQ(image.pixelColor(0, 20), sentinel);                // the outer ring is the border's
    EXPECT_EQ(image.pixelColor(1, 20), green);                   // ring 0
    EXPECT_EQ(image.pixelColor(64, 2), QColor(13, 134, 13));     // ring 1, top strip
    EXPECT_EQ(image.pixelColor(10, 20), QColor(38, 147, 38));    // ring 3, left strip
    EXPECT_EQ(image.pixelColor(64, 20), QColor(242, 249, 242));  // ring 19, the centre row
    // Pressed, the whole fill moves one pixel right and down.
    const QImage pressed = Render(129, 41, ButtonGradient(129, 41, green, white, gCenter, 75, true));
    EXPECT_EQ(pressed.pixelColor(1, 20), sentinel);
    EXPECT_EQ(pressed.pixelColor(11, 21), QColor(38, 147, 38));
}

TEST(GradientTest, EqualColoursFillTheWholeButtonPlainly)
{
    EXPECT_THAT(ButtonGradient(129, 41, green, green, gCenter, 75, false),
                ::testing::ElementsAre(ColorRect{QRect(0, 0, 129, 41), green}));
}

TEST(GradientTest, StripesRunAlongTheirDirectionAndEndOnTheEndColour)
{
    // 11 x 7 with one band: two stripes over 10 x 6 pixels, start then end colour.
    const QImage horz = Render(11, 7, ButtonGradient(11, 7, green, white, gHorz, 1, false));
    EXPECT_EQ(horz.pixelColor(0, 3), green);
    EXPECT_EQ(horz.pixelColor(4, 3), green);
    EXPECT_EQ(horz.pixelColor(5, 0), white);
    EXPECT_EQ(horz.pixelColor(9, 5), white);
    EXPECT_EQ(horz.pixelColor(10, 3), sentinel);
    EXPECT_EQ(horz.pixelColor(3, 6), sentinel);
    const QImage vert = Render(11, 7, ButtonGradient(11, 7, green, white, gVert, 1, false));
    EXPECT_EQ(vert.pixelColor(5, 0), green);
    EXPECT_EQ(vert.pixelColor(5, 2), green);
    EXPECT_EQ(vert.pixelColor(5, 3), white);
    EXPECT_EQ(vert.pixelColor(9, 5), white);
    const QImage pressed = Render(11, 7, ButtonGradient(11, 7, green, white, gVert, 1, true));
    EXPECT_EQ(pressed.pixelColor(0, 3), sentinel);
    EXPECT_EQ(pressed.pixelColor(10, 6), white);
    // Each band steps the colour evenly: 75 bands over a tall button reach the end exactly once.
    const auto bands = ButtonGradient(20, 200, QColor(0, 0, 0), QColor(150, 75, 255), gVert, 75, false);
    ASSERT_FALSE(bands.empty());
    EXPECT_EQ(bands.front().color, QColor(0, 0, 0));
    EXPECT_EQ(bands.back().color, QColor(150, 75, 255));
    EXPECT_EQ(bands.back().rect.bottom(), 198);
}

TEST(GradientTest, BandCountsOutOfRangeStayWithinColourBounds)
{
    for (int bands : {0, -5, 1 << 30}) {
        for (gradType fill : {gHorz, gVert, gCenter}) {
            for (const ColorRect& band : ButtonGradient(40, 20, QColor(0, 0, 0), white, fill, bands, false)) {
                EXPECT_TRUE(band.color.isValid());
                EXPECT_GE(band.color.red(), 0);
                EXPECT_LE(band.color.red(), 255);
            }
        }
    }
}

TEST(GradientTest, BackgroundGradientCoversTheWholeClientArea)
{
    for (gradType fill : {gHorz, gVert, gCenter})
        for (QSize size : {QSize(561, 382), QSize(7, 300), QSize(1, 1), QSize(300, 3)})
            for (int bands : {1, 2, 75, 255, 1000})
                EXPECT_EQ(Unpainted(Render(size.width(), size.height(),
                                           BackgroundGradient(size.width(), size.height(), green, white, fill, bands))),
                          0)
                    << "fill " << fill << " size " << size.width() << "x" << size.height() << " bands " << bands;
}

TEST(GradientTest, BackgroundCenterFillPutsSideStripsBetweenTopAndBottom)
{
    // 100 x 50, 5 bands: 5 rings of 10 x 5 pixels, then the rest.
    const auto bands = BackgroundGradient(100, 50, QColor(0, 0, 0), QColor(250, 0, 0), gCenter, 5);
    ASSERT_GE(bands.size(), 4u);
    EXPECT_EQ(bands[0].rect, QRect(0, 0, 100, 5));
    EXPECT_EQ(bands[1].rect, QRect(0, 45, 100, 5));
    EXPECT_EQ(bands[2].rect, QRect(0, 5, 10, 40));
    EXPECT_EQ(bands[3].rect, QRect(90, 5, 10, 40));
    const QImage image = Render(100, 50, bands);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(50, 25), QColor(200, 0, 0));  // ring 4 of 5 meets in the middle
}

TEST(GradientTest, DifferenceIsEndMinusStartPerChannel)
{
    EXPECT_EQ(ColorDifference(QColor(255, 0, 255), QColor(0, 0, 0)), (ColorDelta{-255, 0, -255}));
    EXPECT_EQ(GradientStep(QColor(255, 0, 255), ColorDelta{-255, 0, -255}, 1, 2), QColor(127, 0, 127));
}

}  // namespace

}  // namespace travaso
