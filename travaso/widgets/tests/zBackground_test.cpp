#include "zBackground.h"
#include "zImages.h"

#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace travaso {

namespace {

double Luminance(const QColor& c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// A form 300 x 200 of plain button-face grey with a transparent label and an opaque box on it.
struct Form {
    Form()
    {
        QPalette pal = form.palette();
        pal.setColor(QPalette::Window, grey);
        form.setPalette(pal);
        form.setAutoFillBackground(true);
        form.resize(300, 200);
        label = new QLabel(&form);
        label->setGeometry(150, 100, 100, 20);
        box = new QWidget(&form);
        box->setGeometry(10, 150, 30, 30);
        box->setAutoFillBackground(true);
        QPalette red = box->palette();
        red.setColor(QPalette::Window, Qt::red);
        box->setPalette(red);
    }
    QImage Shown()
    {
        if (!form.isVisible()) {
            form.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        }
        return form.grab().toImage();
    }
    const QColor grey{212, 208, 200};
    QWidget form;
    QLabel* label;
    QWidget* box;
};

TEST(BackgroundTest, TilesStartTopLeftAndOverhangTheArea)
{
    const auto tiles = TileOrigins(561, 382, 128, 128);
    ASSERT_EQ(tiles.size(), 15u);  // 3 rows of 5
    EXPECT_EQ(tiles.front(), QPoint(0, 0));
    EXPECT_EQ(tiles.back(), QPoint(512, 256));
    EXPECT_EQ(TileOrigins(256, 10, 128, 128).size(), 3u);  // a whole number of tiles still gets one more
    EXPECT_TRUE(TileOrigins(100, 100, 0, 5).empty());
}

TEST(BackgroundTest, SteelPatternIsSilverWithWhiteOddPixels)
{
    const QImage& steel = SteelPattern();
    ASSERT_EQ(steel.size(), QSize(8, 8));
    EXPECT_EQ(steel.pixelColor(1, 1), QColor(255, 255, 255));
    EXPECT_EQ(steel.pixelColor(7, 5), QColor(255, 255, 255));
    EXPECT_EQ(steel.pixelColor(1, 2), QColor(192, 192, 192));
    EXPECT_EQ(steel.pixelColor(0, 0), QColor(192, 192, 192));
}

TEST(BackgroundTest, NormalAndEmptyBitmapLeaveTheOrdinaryBackground)
{
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter p(&image);
    BackgroundLook look;
    EXPECT_FALSE(PaintBackground(p, image.size(), look));
    look.type = btNormal;
    look.bitmap = SteelPattern();
    EXPECT_FALSE(PaintBackground(p, image.size(), look));

    Form f;
    TzBackground background(&f.form);
    EXPECT_EQ(f.Shown().pixelColor(50, 50), f.grey);
}

TEST(BackgroundTest, BitmapIsTiledBehindEveryTransparentControl)
{
    QImage tile(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            tile.setPixelColor(x, y, QColor(x * 30, y * 50, 90));
    Form f;
    auto* background = new TzBackground(&f.form);
    int paints = 0;
    QObject::connect(background, &TzBackground::OnPaint, [&paints](QPainter* canvas, TzBackground*) {
        EXPECT_TRUE(canvas && canvas->isActive());
        ++paints;
    });
    background->SetBitMap(tile);
    const QImage image = f.Shown();
    for (QPoint at : {QPoint(0, 0), QPoint(6, 4), QPoint(7, 5), QPoint(299, 199), QPoint(160, 110)})
        EXPECT_EQ(image.pixelColor(at), tile.pixelColor(at.x() % 7, at.y() % 5)) << at.x() << "," << at.y();
    EXPECT_EQ(image.pixelColor(20, 160), QColor(Qt::red)) << "an opaque control stays on top";
    EXPECT_GE(paints, 1);
    delete background;  // detached: the ordinary background again
    EXPECT_EQ(f.form.grab().toImage().pixelColor(50, 50), f.grey);
}

TEST(BackgroundTest, GradientAndSteelModesPaintTheWholeForm)
{
    Form f;
    TzBackground background(&f.form);
    background.SetBackType(btBlend);
    background.SetColor(QColor(255, 0, 0));
    background.SetEndColor(QColor(0, 0, 255));
    QImage image = f.Shown();
    EXPECT_EQ(image.pixelColor(150, 0), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(150, 199), QColor(0, 0, 255));
    background.SetFillType(gHorz);
    image = f.form.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 100), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(299, 100), QColor(0, 0, 255));
    background.SetFillType(gCenter);
    background.SetBands(10);
    image = f.form.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(150, 100), QColor(25, 0, 230));  // ring 9 of 10 meets in the middle
    background.SetBackType(btSteel);
    image = f.form.grab().toImage();
    EXPECT_EQ(image.pixelColor(1, 1), QColor(255, 255, 255));
    EXPECT_EQ(image.pixelColor(2, 1), QColor(192, 192, 192));
    EXPECT_EQ(image.pixelColor(161, 111), QColor(255, 255, 255));  // under the label too
}

TEST(BackgroundTest, ResizingFiresOnResize)
{
    Form f;
    TzBackground background(&f.form);
    f.Shown();
    QSignalSpy resized(&background, &TzBackground::OnResize);
    f.form.resize(320, 240);
    EXPECT_EQ(resized.count(), 1);
}

TEST(BackgroundTest, NeedsAForm)
{
    EXPECT_THROW(TzBackground(nullptr), std::runtime_error);
    QObject loose;
    try {
        TzBackground background(&loose);
        ADD_FAILURE() << "made without a form";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "NoForm");
    }
}

TEST(BackgroundTest, CopierTileKeepsYellowCaptionsReadable)
{
    const QImage tile = CopierTile();
    ASSERT_FALSE(tile.isNull());
    double worst = 100;
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            worst = std::min(worst, Contrast(tile.pixelColor(x, y), QColor(255, 255, 0)));
    EXPECT_GE(worst, 4.5);
    EXPECT_EQ(CopierIcon().availableSizes().size(), 8);
    EXPECT_FALSE(CopierIcon().pixmap(32, 32).isNull());
}

}  // namespace

}  // namespace travaso
