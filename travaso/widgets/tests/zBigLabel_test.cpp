#include "zBigLabel.h"
#include "zDesktop.h"
#include "zFonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace travaso {

namespace {

const QColor yellow(255, 255, 0), navy(0, 0, 128);

// Rows that hold any pixel of colour c.
std::pair<int, int> InkRows(const QImage& image, const QColor& c)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == c) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

QFont Font()
{
    QFont f("DejaVu Sans");
    f.setPixelSize(13);
    return f;
}

// A navy parent with a yellow label on it.
struct Shown {
    explicit Shown(QSize size)
    {
        parent.resize(size + QSize(20, 20));
        QPalette pal = parent.palette();
        pal.setColor(QPalette::Window, navy);
        parent.setPalette(pal);
        parent.setAutoFillBackground(true);
        label = new TzBigLabel(&parent);
        label->SetAutoSize(false);
        label->setGeometry(QRect(QPoint(10, 10), size));
        label->setFont(Font());
        QPalette text = label->palette();
        text.setColor(QPalette::WindowText, yellow);
        label->setPalette(text);
        label->SetTransparent(true);
        parent.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    QImage Image() { return label->grab().toImage(); }
    QWidget parent;
    TzBigLabel* label;
};

TEST(BigLabelTest, ACaptionOfThreeHundredCharactersIsDrawnInFull)
{
    QString caption;
    while (caption.size() < 290)
        caption += "parola ";
    caption += "FINE";
    ASSERT_GT(caption.size(), 255);
    Shown s(QSize(200, 400));
    s.label->setText(caption);
    EXPECT_EQ(s.label->text(), caption);
    const QRect expected =
        QFontMetrics(Font()).boundingRect(QRect(0, 0, 200, 400), BigLabelFlags(Qt::AlignLeft, true), caption);
    ASSERT_GT(expected.height(), 10 * QFontMetrics(Font()).height());  // many lines
    const auto [first, last] = InkRows(s.Image(), yellow);
    EXPECT_LE(first, 4);
    EXPECT_GE(last, expected.height() - QFontMetrics(Font()).height());  // the last line is painted
}

TEST(BigLabelTest, AutoSizeMeasuresLongCaptionsWithWordBreaks)
{
    const QFontMetrics fm(Font());
    const QString longCaption = QString("abc ").repeated(80);
    const QSize wrapped = BigLabelExtent(fm, longCaption, false, true, 150);
    EXPECT_LE(wrapped.width(), 150);
    EXPECT_GT(wrapped.height(), 5 * fm.height());
    const QSize oneLine = BigLabelExtent(fm, QString("abc ").repeated(20), false, true, 150);
    EXPECT_GT(oneLine.width(), 150);
    EXPECT_LE(oneLine.height(), fm.height() + 1);
    EXPECT_EQ(BigLabelExtent(fm, "", false, true, 100), BigLabelExtent(fm, " ", false, true, 100));
    EXPECT_EQ(BigLabelExtent(fm, "&", false, true, 100), BigLabelExtent(fm, " ", false, true, 100));
    EXPECT_GT(BigLabelExtent(fm, "&", false, false, 100).width(), BigLabelExtent(fm, " ", false, false, 100).width());
}

TEST(BigLabelTest, AutoSizedRightAlignedLabelKeepsItsRightEdge)
{
    QWidget parent;
    auto* label = new TzBigLabel(&parent);
    label->setFont(Font());
    label->setAlignment(Qt::AlignRight);
    label->setGeometry(100, 10, 50, 20);
    label->setText("Directory destinazione molto lunga");
    EXPECT_EQ(label->geometry().right(), 149);
    EXPECT_GT(label->width(), 50);
    label->SetAutoSize(false);
    label->setText("x");
    EXPECT_GT(label->width(), 50);
}

TEST(BigLabelTest, OpaqueLabelFillsItsColourAndDisabledTextIsGrey)
{
    Shown s(QSize(200, 20));
    s.label->setText("Testo");
    EXPECT_EQ(s.Image().pixelColor(190, 10), navy);  // transparent: the parent shows
    s.label->SetTransparent(false);
    s.label->SetColor(QColor(0, 128, 0));
    EXPECT_EQ(s.Image().pixelColor(190, 10), QColor(0, 128, 0));
    s.label->setEnabled(false);
    EXPECT_EQ(InkRows(s.Image(), yellow).first, -1);
    // The desktop's grey for disabled text, whatever the label's own colour.
    EXPECT_NE(InkRows(s.Image(), QApplication::palette().color(QPalette::Disabled, QPalette::WindowText)).first, -1);
}

TEST(BigLabelTest, AmpersandIsAnAcceleratorOnlyWhenAsked)
{
    Shown s(QSize(200, 20));
    s.label->setText("&&");
    const QImage withAccel = s.Image();
    s.label->SetShowAccelChar(false);
    const QImage literal = s.Image();
    EXPECT_NE(withAccel, literal);  // one ampersand shown against two
}

TEST(DesktopTest, SizeIsTheScreenResolution)
{
    TzDesktop desktop;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(desktop.Width(), screen.width());
    EXPECT_EQ(desktop.Height(), screen.height());
    EXPECT_GT(desktop.Width(), 0);
}

TEST(FontsTest, CaptionFontIsTheFirstFamilyPresent)
{
    EXPECT_EQ(FirstPresentFamily({"No Such Family", "DejaVu Sans"}), "DejaVu Sans");
    EXPECT_EQ(FirstPresentFamily({"No Such Family", "Nor This"}), "No Such Family");
    const QFont font = CaptionFont(13);
    EXPECT_EQ(font.pixelSize(), 13);
    EXPECT_TRUE(QFontDatabase::hasFamily(font.family())) << font.family().toStdString();
}

}  // namespace

}  // namespace travaso
