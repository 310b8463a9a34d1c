#include "zButtonFace.h"
#include "zColorBtn.h"
#include "zGradBtn.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace travaso {

namespace {

const QColor face(200, 200, 200), shadow(128, 128, 128), light(255, 255, 255), black(0, 0, 0);

ButtonFace Plain(const QString& caption = {})
{
    ButtonFace f;
    f.size = QSize(89, 33);
    f.caption = caption;
    f.font = QFont("DejaVu Sans");
    f.font.setPixelSize(13);
    f.color = face;
    f.shadow = shadow;
    f.highlight = light;
    return f;
}

QImage Render(const ButtonFace& f)
{
    QImage image(f.size, QImage::Format_RGB32);
    image.fill(QColor(1, 2, 3));
    QPainter p(&image);
    PaintButtonFace(p, f);
    return image;
}

// The box around every pixel of the caption area that is not the face colour.
QRect Ink(const QImage& image, const QColor& background = face)
{
    QRect box;
    for (int y = 5; y < image.height() - 5; ++y)
        for (int x = 5; x < image.width() - 5; ++x)
            if (image.pixelColor(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

int Count(const QImage& image, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}

TEST(ButtonFaceTest, NormalBorderIsShadowOutsideAndBlackBottomRight)
{
    const QImage image = Render(Plain());
    EXPECT_EQ(image.pixelColor(0, 10), shadow);  // left, outer
    EXPECT_EQ(image.pixelColor(10, 0), shadow);  // top, outer
    EXPECT_EQ(image.pixelColor(1, 10), light);   // left, inner
    EXPECT_EQ(image.pixelColor(10, 1), light);
    EXPECT_EQ(image.pixelColor(88, 10), black);   // right, outer
    EXPECT_EQ(image.pixelColor(10, 32), black);   // bottom, outer
    EXPECT_EQ(image.pixelColor(87, 10), shadow);  // right, inner
    EXPECT_EQ(image.pixelColor(10, 31), shadow);
    EXPECT_EQ(image.pixelColor(88, 0), black);  // the right line starts above the top
    EXPECT_EQ(image.pixelColor(44, 16), face);
}

TEST(ButtonFaceTest, PressedSwapsTheInnerLightAndOuterBlackAndShiftsTheCaption)
{
    ButtonFace f = Plain("&Copia");
    const QRect normal = Ink(Render(f));
    ASSERT_FALSE(normal.isEmpty());
    f.pressed = true;
    const QImage image = Render(f);
    EXPECT_EQ(image.pixelColor(1, 10), black);
    EXPECT_EQ(image.pixelColor(88, 10), light);
    EXPECT_EQ(Ink(image), normal.translated(1, 1));
}

TEST(ButtonFaceTest, FlatButtonShowsItsBorderOnlyWhenHotTrackedOrPressed)
{
    ButtonFace f = Plain();
    f.flat = true;
    EXPECT_EQ(Render(f).pixelColor(0, 10), face);
    EXPECT_EQ(Render(f).pixelColor(88, 10), face);
    f.hot = true;
    EXPECT_EQ(Render(f).pixelColor(0, 10), shadow);
    f.enabled = false;  // a disabled button is never hot-tracked
    EXPECT_EQ(Render(f).pixelColor(0, 10), face);
    f.hot = false;
    f.enabled = true;
    f.tracking = true;  // held down and dragged outside: border, drawn released
    EXPECT_EQ(Render(f).pixelColor(1, 10), light);
}

TEST(ButtonFaceTest, FocusShowsBoldCaptionAndDottedRectangle)
{
    ButtonFace f = Plain("&Termina");
    const QImage plain = Render(f);
    f.focused = true;
    const QImage focused = Render(f);
    // The focus rectangle inverts every other pixel of the button inset by 3.
    EXPECT_NE(focused.pixelColor(3, 3), plain.pixelColor(3, 3));
    EXPECT_EQ(focused.pixelColor(4, 3), plain.pixelColor(4, 3));
    EXPECT_EQ(focused.pixelColor(2, 3), plain.pixelColor(2, 3));
    EXPECT_GT(Count(focused, black), Count(plain, black)) << "bold caption has more ink";
    f.defaultLook = dlNone;
    EXPECT_FALSE(CaptionBold(f));
    EXPECT_EQ(FrameInset(f), 0);
}

TEST(ButtonFaceTest, FrameLookOutlinesTheDefaultButtonAndInsetsItsBorder)
{
    ButtonFace f = Plain();
    f.defaultLook = dlFrame;
    f.isDefault = true;
    EXPECT_EQ(FrameInset(f), 1);
    const QImage image = Render(f);
    EXPECT_EQ(image.pixelColor(0, 0), black);
    EXPECT_EQ(image.pixelColor(0, 10), black);
    EXPECT_EQ(image.pixelColor(88, 32), black);
    EXPECT_EQ(image.pixelColor(1, 10), shadow);
    EXPECT_EQ(image.pixelColor(2, 10), light);
    EXPECT_EQ(FocusRect(f.size, 1), QRect(4, 4, 81, 25));
}

TEST(ButtonFaceTest, DisabledCaptionIsEmbossedWithoutFocusRectangle)
{
    ButtonFace f = Plain("&Copia");
    f.enabled = false;
    f.focused = true;
    f.pressed = true;  // a disabled caption does not move
    const QImage image = Render(f);
    EXPECT_GT(Count(image, QColor(128, 128, 128)), 40);
    const QRect ink = Ink(image);
    int whiteInCaption = 0;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            whiteInCaption += image.pixelColor(x, y) == light;
    EXPECT_GT(whiteInCaption, 5);
    ButtonFace enabled = Plain("&Copia");
    enabled.focused = true;
    EXPECT_NE(Render(enabled).pixelColor(3, 3), image.pixelColor(3, 3)) << "no focus rectangle when disabled";
}

TEST(ButtonFaceTest, CaptionPlacementFollowsAlignmentSettings)
{
    ButtonFace f = Plain("Ok");
    f.size = QSize(120, 60);
    f.verticalPlace = zbha_Top;
    f.alignment = Qt::AlignLeft;
    const QRect topLeft = Ink(Render(f));
    f.verticalPlace = zbha_Bottom;
    f.alignment = Qt::AlignRight;
    const QRect bottomRight = Ink(Render(f));
    EXPECT_LT(topLeft.top(), 12);
    EXPECT_LT(topLeft.left(), 8);
    EXPECT_GT(bottomRight.bottom(), 47);
    EXPECT_GT(bottomRight.right(), 110);
    EXPECT_TRUE(CaptionFlags(f) & Qt::TextSingleLine);
    f.multipleLines = true;
    f.wordWrap = true;
    EXPECT_FALSE(CaptionFlags(f) & Qt::TextSingleLine);
    EXPECT_TRUE(CaptionFlags(f) & Qt::TextWordWrap);
}

// Widgets, shown offscreen and driven by Qt Test.
struct Window {
    Window()
    {
        form.resize(300, 200);
        button = new TzColorBtn(&form);
        button->setGeometry(10, 10, 89, 33);
        button->SetCaption("&Copia");
        other = new TzColorBtn(&form);
        other->setGeometry(10, 60, 89, 33);
        other->SetCaption("&Termina");
        edit = new QLineEdit(&form);
        edit->setGeometry(10, 110, 100, 24);
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    QImage Image(QWidget* w) { return w->grab().toImage(); }
    QWidget form;
    TzColorBtn* button;
    TzColorBtn* other;
    QLineEdit* edit;
};

TEST(ColorBtnTest, DefaultsOfANewButton)
{
    TzColorBtn b;
    EXPECT_EQ(b.size(), QSize(89, 33));
    EXPECT_EQ(b.DefaultLook(), dlBold);
    EXPECT_FALSE(b.Flat());
    EXPECT_EQ(b.HorzAlign(), zbha_Center);
    EXPECT_EQ(b.Alignment(), Qt::AlignHCenter);
    EXPECT_TRUE(b.focusPolicy() & Qt::TabFocus);
    TzGradBtn g;
    EXPECT_EQ(g.FillType(), gVert);
    EXPECT_EQ(g.Bands(), 75);
    // The default end colour is the button face itself, not a colour code read as red, green and blue.
    EXPECT_EQ(g.EndColor(), g.palette().color(QPalette::Button));
}

TEST(ColorBtnTest, MousePressTracksAndClicksOnlyWhenReleasedInside)
{
    Window w;
    QSignalSpy clicks(w.button, &TzColorBtn::OnClick);
    QTest::mousePress(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_TRUE(w.button->Pressed());
    EXPECT_TRUE(w.button->Tracking());
    EXPECT_TRUE(w.button->hasFocus());
    EXPECT_EQ(w.Image(w.button).pixelColor(1, 10), black);
    QTest::mouseMove(w.button, QPoint(150, 15));
    EXPECT_FALSE(w.button->Pressed());
    EXPECT_TRUE(w.button->Tracking());
    QTest::mouseRelease(w.button, Qt::LeftButton, {}, QPoint(150, 15));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(w.button->Tracking());
    QTest::mouseClick(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(w.button->Pressed());
    w.button->setEnabled(false);
    QTest::mouseClick(w.button, Qt::LeftButton, {}, QPoint(40, 15));
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ColorBtnTest, FlatButtonIsHotWhileTheMouseIsOverIt)
{
    Window w;
    w.button->SetFlat(true);
    QTest::mouseMove(&w.form, QPoint(200, 150));
    EXPECT_FALSE(w.button->Hot());
    EXPECT_EQ(w.Image(w.button).pixelColor(0, 10).rgb(), w.button->Color().rgb());
    QTest::mouseMove(w.button, QPoint(40, 15));
    EXPECT_TRUE(w.button->Hot());
    EXPECT_EQ(w.Image(w.button).pixelColor(0, 10).rgb(), w.button->ShadowColor().rgb());
    QTest::mouseMove(&w.form, QPoint(200, 150));
    EXPECT_FALSE(w.button->Hot());
    w.button->SetFlat(false);
    EXPECT_EQ(w.Image(w.button).pixelColor(0, 10).rgb(), w.button->ShadowColor().rgb());
}

TEST(ColorBtnTest, SpaceAndEnterOnTheFocusedButtonClickIt)
{
    Window w;
    QSignalSpy clicks(w.button, &TzColorBtn::OnClick);
    w.button->setFocus();
    QTest::keyPress(w.button, Qt::Key_Space);
    EXPECT_TRUE(w.button->Pressed());
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(w.button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(w.button->Pressed());
    QTest::keyClick(w.button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 2);
}

TEST(ColorBtnTest, EnterClicksTheDefaultButtonUnlessAnotherButtonHasTheFocus)
{
    Window w;
    QSignalSpy defaults(w.button, &TzColorBtn::OnClick), others(w.other, &TzColorBtn::OnClick);
    w.button->SetDefault(true);
    w.edit->setFocus();
    EXPECT_TRUE(w.button->Active());
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(defaults.count(), 1);
    QTest::keyClick(w.edit, Qt::Key_Return, Qt::ShiftModifier);  // with Shift: not a dialog key
    QTest::keyClick(w.edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(defaults.count(), 1);
    w.other->setFocus();
    EXPECT_FALSE(w.button->Active());
    EXPECT_TRUE(w.other->Active());
    QTest::keyClick(w.other, Qt::Key_Return);
    EXPECT_EQ(defaults.count(), 1);
    EXPECT_EQ(others.count(), 1);
    w.edit->setFocus();
    EXPECT_TRUE(w.button->Active());
    w.button->setEnabled(false);  // cannot take the focus: Enter does nothing
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(defaults.count(), 1);
}

TEST(ColorBtnTest, EscapeClicksTheCancelButtonAndTheAcceleratorClicksItsButton)
{
    Window w;
    QSignalSpy cancels(w.other, &TzColorBtn::OnClick), copies(w.button, &TzColorBtn::OnClick);
    w.other->SetCancel(true);
    w.edit->setFocus();
    QTest::keyClick(w.edit, Qt::Key_Escape);
    EXPECT_EQ(cancels.count(), 1);
    QTest::keyClick(w.edit, Qt::Key_Escape, Qt::AltModifier);
    EXPECT_EQ(cancels.count(), 1);
    QTest::keyClick(&w.form, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(copies.count(), 1);
    w.button->SetCaption("&Avvia");  // the old accelerator is released
    QTest::keyClick(&w.form, Qt::Key_C, Qt::AltModifier);
    QTest::keyClick(&w.form, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(copies.count(), 2);
    w.button->setEnabled(false);
    QTest::keyClick(&w.form, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(copies.count(), 2);
}

TEST(ColorBtnTest, LosingTheFocusEndsAPressAndAClickGivesTheDialogItsResult)
{
    QDialog dialog;
    auto* ok = new TzColorBtn(&dialog);
    ok->SetModalResult(QDialog::Accepted);
    auto* edit = new QLineEdit(&dialog);
    edit->move(0, 50);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ok->setFocus();
    QTest::keyPress(ok, Qt::Key_Space);
    EXPECT_TRUE(ok->Pressed());
    edit->setFocus();
    EXPECT_FALSE(ok->Pressed());
    QTest::keyRelease(ok, Qt::Key_Space);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(GradBtnTest, CopierButtonFillsFromTheCentreAndFollowsItsColours)
{
    TzGradBtn b;
    b.resize(129, 41);
    b.SetColor(QColor(0, 128, 0));
    b.SetEndColor(QColor(255, 255, 255));
    b.SetFillType(gCenter);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QImage image = b.grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 20), QColor(38, 147, 38));
    EXPECT_EQ(image.pixelColor(0, 20).rgb(), b.ShadowColor().rgb());
    b.SetFillType(gHorz);
    image = b.grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 20), QColor(3, 130, 3));  // stripe 1 of 75 (stripe 0 lies under the border)
    EXPECT_EQ(image.pixelColor(126, 20), QColor(255, 255, 255));
    b.SetFillType(gVert);
    image = b.grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 2), QColor(14, 135, 14));     // stripe 4 (stripe 3 is empty)
    EXPECT_EQ(image.pixelColor(100, 38), QColor(248, 252, 248));  // stripe 73
    b.SetColor(QColor(255, 0, 255));
    b.SetEndColor(QColor(255, 0, 255));
    image = b.grab().toImage();
    EXPECT_EQ(image.pixelColor(60, 20), QColor(255, 0, 255));
    EXPECT_EQ(image.pixelColor(60, 3), QColor(255, 0, 255));
}

TEST(GradBtnTest, PressedGradientMovesOnePixel)
{
    TzGradBtn b;
    b.resize(129, 41);
    b.SetColor(QColor(0, 128, 0));
    b.SetEndColor(QColor(255, 255, 255));
    b.SetFillType(gCenter);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(100, 30));
    EXPECT_EQ(b.grab().toImage().pixelColor(11, 21), QColor(38, 147, 38));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(100, 30));
}

}  // namespace

}  // namespace travaso
