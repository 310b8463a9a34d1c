// The copy window with its own controls: gradient buttons, tiled background, yellow labels, and the
// application component's one-window rule, shown offscreen.

#include "FakeClock.h"
#include "FileSystem_posix.h"
#include "ScriptedPrompts.h"
#include "TravasoMain.h"
#include "TreeFixture.h"
#include "zBackground.h"
#include "zFonts.h"
#include "zImages.h"
#include "zShowApp.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace travaso {

namespace {

const QColor yellow(255, 255, 0);

class LookTest : public ::testing::Test {
protected:
    LookTest()
    {
        tree.File("media/PROVA/a.txt", "aaa");
        tile = CopierTile().convertToFormat(QImage::Format_RGB32);
    }

    CopierEnvironment Environment()
    {
        CopierEnvironment env;
        env.executablePath = tree.Program();
        env.targetRoot = tree.Root();
        return env;
    }

    std::unique_ptr<TForm1> Open()
    {
        auto form = std::make_unique<TForm1>(Environment(), files, prompts, clock);
        form->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->Memo1->toPlainText().contains("Pronto per la copia"); }));
        return form;
    }

    QColor Tile(int x, int y) const { return tile.pixelColor(x % tile.width(), y % tile.height()); }

    CopierTree tree{100};
    PosixFileSystem files;
    ScriptedPrompts prompts;
    FakeClock clock;
    QImage tile;
};

TEST_F(LookTest, ButtonsAreGreenAndFuchsiaGradientsFromTheCentre)
{
    auto form = Open();
    const QString family = CaptionFont(13).family();
    for (TzGradBtn* b : {form->btnCopia, form->btnTermina}) {
        EXPECT_EQ(b->FillType(), gCenter);
        EXPECT_EQ(b->EndColor(), QColor(255, 255, 255));
        EXPECT_EQ(b->font().family(), family);
        EXPECT_EQ(b->font().pixelSize(), 13);
    }
    EXPECT_EQ(form->btnCopia->Color(), QColor(0, 128, 0));
    EXPECT_EQ(form->btnCopia->Caption(), "&Copia");
    EXPECT_EQ(form->btnCopia->geometry(), QRect(8, 8, 129, 41));
    EXPECT_EQ(form->btnTermina->Color(), QColor(255, 0, 255));
    EXPECT_EQ(form->btnTermina->Caption(), "&Termina");
    EXPECT_EQ(form->btnTermina->geometry(), QRect(8, 104, 129, 41));

    const QImage image = form->grab().toImage();
    EXPECT_EQ(image.pixelColor(8 + 10, 8 + 20), QColor(38, 147, 38));     // ring 3 of green to white
    EXPECT_EQ(image.pixelColor(8 + 10, 104 + 20), QColor(255, 38, 255));  // ring 3 of fuchsia to white
}

TEST_F(LookTest, TileLiesBehindEveryControlThatIsNotOpaque)
{
    auto form = Open();
    EXPECT_EQ(form->zBackground1->BackType(), btBitmap);
    const QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (QPoint at : {QPoint(2, 2), QPoint(145, 100), QPoint(556, 60), QPoint(100, 179), QPoint(560, 381)})
        EXPECT_EQ(image.pixelColor(at), Tile(at.x(), at.y())) << at.x() << "," << at.y();
    // The target label is transparent: the tile shows between its yellow letters.
    EXPECT_TRUE(form->lblDest->Transparent());
    EXPECT_FALSE(form->lblDest->AutoSize());
    EXPECT_EQ(image.pixelColor(550, 170), Tile(550, 170));
    int yellowPixels = 0;
    for (int y = 160; y < 176; ++y)
        for (int x = 152; x < 553; ++x)
            yellowPixels += image.pixelColor(x, y) == yellow;
    EXPECT_GT(yellowPixels, 20) << "the target directory is written in yellow";
    EXPECT_EQ(form->lblDest->text().toStdString(), tree.Path("home") + "/PROVA/");
}

TEST_F(LookTest, ApplicationSettingsOfTheWindow)
{
    auto form = Open();
    TzShowApp* app = form->zShowApp1;
    EXPECT_TRUE(app->OnlyOneInstance());
    EXPECT_FALSE(app->UseCmdShow());
    EXPECT_EQ(app->Title(), "Travaso");
    EXPECT_EQ(app->HintColor(), yellow);
    EXPECT_EQ(app->HintPause(), 900);
    EXPECT_FALSE(app->ShowHint());
    EXPECT_FALSE(app->Icon().isNull());
    EXPECT_EQ(app->Hint(), "Travaso v3.03");
    EXPECT_EQ(form->toolTip(), "Travaso v3.03");
    // Hints are off: hovering shows nothing.
    QHelpEvent hover(QEvent::ToolTip, QPoint(300, 370), form->mapToGlobal(QPoint(300, 370)));
    QApplication::sendEvent(form.get(), &hover);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST_F(LookTest, ASecondWindowOfTheSameProgramLeavesAndBringsTheFirstUp)
{
    auto first = Open();
    QSignalSpy raised(first->zShowApp1, &TzShowApp::OnAnotherInstance);
    first->showMinimized();
    auto second = std::make_unique<TForm1>(Environment(), files, prompts, clock);
    EXPECT_TRUE(second->zShowApp1->IsSecondInstance());
    EXPECT_EQ(second->x(), -561 - 10);
    second->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return raised.count() == 1; }));
    EXPECT_FALSE(first->isMinimized());
    EXPECT_EQ(second->Memo1->toPlainText(), "") << "a second start does not open";
    EXPECT_FALSE(first->zShowApp1->IsSecondInstance());
}

TEST_F(LookTest, AcceleratorStartsTheCopy)
{
    auto form = Open();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Memo1->toPlainText().contains("=== Copia completata ==="); }));
    EXPECT_EQ(TreeFixture::Read(tree.Path("home/PROVA/a.txt")), "aaa");
    EXPECT_FALSE(form->btnCopia->isEnabled());
    QTest::keyClick(form.get(), Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
}

}  // namespace

}  // namespace travaso
