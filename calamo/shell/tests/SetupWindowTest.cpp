#include "WindowFixture.h"

#include "Frameset.h"
#include "Modal.h"
#include "PropertyPanels.h"
#include "TSetup.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

using namespace calamo;
using namespace calamo::testing;

namespace {

class SetupWindowTest : public WindowFixture {
protected:
    TSetup& setup() { return window->setup(); }
    template <typename T>
    T* inSetup(const char* name)
    {
        return setup().findChild<T*>(QLatin1String(name));
    }
    QToolButton* frButton(int n)
    {
        return window->panels().group(8)->findChild<QToolButton*>(
            QStringLiteral("FrButton%1").arg(n, 2, 10, QLatin1Char('0')));
    }
};

TEST_F(SetupWindowTest, NewOpensTheSetupDialogAndEscapeLeavesTheNewDocumentEmpty)
{
    TForm1& form = open();
    QString caption;
    whenModal([&caption](QWidget& dialog) {
        caption = dialog.windowTitle() + u'/' + dialog.objectName();
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    form.NuovoClick();
    EXPECT_EQ(caption, "Proprietà pagina/TSetup");
    ASSERT_EQ(form.documents().count(), 2);
    EXPECT_EQ(form.documents().currentIndex(), 1);
    EXPECT_EQ(editor().text(), "");
    EXPECT_TRUE(form.documents().document(1).saved);
    EXPECT_EQ(child<QTabBar>("Lingue")->tabText(1), form.documents().placeholderPath());
}

TEST_F(SetupWindowTest, OkWritesThePageIntoTheNewDocumentWithTheCaretInTheBody)
{
    TForm1& form = open();
    prompts.colours = {0x00FF0000u};  // pure blue for the text
    whenModal([this](QWidget&) {
        QTest::keyClicks(inSetup<QLineEdit>("Edit1"), QStringLiteral("Prova"));
        QTest::mouseClick(inSetup<QPushButton>("Button3"), Qt::LeftButton);
        QTest::mouseClick(inSetup<QPushButton>("Button7"), Qt::LeftButton);
    });
    form.NuovoClick();
    EXPECT_EQ(editor().text(), "<HTML>\n\n<HEAD>\n <META NAME= \"generator\" content= \"!! CaLaMo !!\">\n"
                               " <TITLE>Prova</TITLE>\n</HEAD>\n\n<BODY TEXT=\"#0000FF\">\n\n\n\n</BODY>\n\n</HTML>\n");
    EXPECT_EQ(editor().text().left(editor().selectionStart()).count(u'\n'), 9);
    EXPECT_EQ(editor().selectionLength(), 0);
    EXPECT_TRUE(form.documents().document(1).saved);
    EXPECT_EQ(inSetup<QLabel>("Label5")->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(form.focusWidget(), &editor());
}

TEST_F(SetupWindowTest, EnterInTheTitleIsOk)
{
    TForm1& form = open();
    whenModal([this](QWidget&) {
        QLineEdit* title = inSetup<QLineEdit>("Edit1");
        title->setText(QStringLiteral("T"));
        QTest::keyClick(title, Qt::Key_Return);
    });
    form.NuovoClick();
    EXPECT_TRUE(editor().text().contains(" <TITLE>T</TITLE>"));
}

TEST_F(SetupWindowTest, ChoicesAreForgottenAtTheNextShowingWhileTheBoxesKeepTheirValues)
{
    TForm1& form = open();
    prompts.colours = {0x000000FFu};
    whenModal([this](QWidget& dialog) {
        inSetup<QLineEdit>("Edit1")->setText(QStringLiteral("Tenuto"));
        inSetup<QCheckBox>("CheckBox2")->setChecked(false);
        QTest::mouseClick(inSetup<QPushButton>("Button2"), Qt::LeftButton);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    form.NuovoClick();
    EXPECT_EQ(editor().text(), "");

    whenModal([this](QWidget&) { QTest::mouseClick(inSetup<QPushButton>("Button7"), Qt::LeftButton); });
    form.NuovoClick();
    EXPECT_EQ(editor().text(),
              "<HTML>\n\n<HEAD>\n <TITLE>Tenuto</TITLE>\n</HEAD>\n\n<BODY>\n\n\n\n</BODY>\n\n</HTML>\n");
    // The preview still shows the colour chosen at the earlier showing.
    EXPECT_EQ(inSetup<QGroupBox>("GroupBox1")->palette().color(QPalette::Window), QColor(Qt::red));
}

TEST_F(SetupWindowTest, TheBackgroundImageComesFromTheFileDialogAsAFileUrl)
{
    TForm1& form = open();
    prompts.openNames = {std::nullopt, QStringLiteral("/srv/sfondo 1.png"), std::nullopt};
    whenModal([this](QWidget&) {
        QPushButton* image = inSetup<QPushButton>("Button1");
        QTest::mouseClick(image, Qt::LeftButton);  // cancelled: nothing chosen
        QTest::mouseClick(image, Qt::LeftButton);
        QTest::mouseClick(image, Qt::LeftButton);  // cancelled: keeps the choice
        QTest::mouseClick(inSetup<QPushButton>("Button7"), Qt::LeftButton);
    });
    form.NuovoClick();
    EXPECT_TRUE(editor().text().contains("<BODY BACKGROUND= \"file:///srv/sfondo%201.png\">"));
}

TEST_F(SetupWindowTest, AFramesetButtonAddsItsPageWithoutTheDialogAndAppliesTheLayout)
{
    TForm1& form = open();
    form.resizeClient(QSize(900, 650));
    const QRect laidOut = editor().geometry();
    ASSERT_NE(laidOut, QRect(156, 96, 597, 393));
    form.Speed34Click();
    ASSERT_TRUE(form.panels().group(8)->isVisible());
    window->panels().group(8)->findChild<QCheckBox*>(QStringLiteral("CheckBox39"))->setChecked(true);
    prompts.colours = {0x00FF00u, std::nullopt};

    QTest::mouseClick(frButton(3), Qt::LeftButton);
    ASSERT_EQ(form.documents().count(), 2);
    EXPECT_EQ(prompts.log, (std::vector<QString>{"colour", "colour"}));
    EXPECT_EQ(editor().geometry(), laidOut);
    EXPECT_TRUE(editor().isVisible());
    EXPECT_TRUE(form.documents().document(1).saved);
    const QStringList lines = editor().text().split(u'\n');
    ASSERT_EQ(lines.size(), 22 + 1);  // the last line ends in a break too
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines[5], "<FRAMESET  BORDERCOLOR= \"#00FF00\" ROWS= \"100,*\">");
    EXPECT_EQ(lines[7], " <FRAMESET  COLS= \"150,*\">");
    EXPECT_EQ(child<QTabBar>("Lingue")->currentIndex(), 1);
}

TEST_F(SetupWindowTest, TheTemplateButtonsStandInTwoColumnsWithCrispPicturesAndTheOptionsFitThePanel)
{
    open();
    QGroupBox* panel = window->panels().group(8);
    for (int n = 1; n <= kFramesetTemplates; ++n) {
        SCOPED_TRACE(n);
        QToolButton* button = frButton(n);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isEnabled());
        EXPECT_TRUE(button->toolTip().isEmpty());
        EXPECT_EQ(button->x(), frButton(n % 2 == 1 ? 1 : 2)->x());
        EXPECT_EQ(button->y(), frButton(n % 2 == 1 ? n : n - 1)->y());
        if (n > 2) {
            EXPECT_GT(button->y(), frButton(n - 2)->y());
        }
        // A picture of its own at twice the pixels, not a scaled-up 1x one.
        const QPixmap twice = button->icon().pixmap(button->iconSize(), 2.0);
        EXPECT_EQ(twice.devicePixelRatio(), 2.0);
        EXPECT_EQ(twice.size(), button->iconSize() * 2);
    }
    EXPECT_NE(frButton(1)->icon().pixmap(QSize(52, 22)).toImage(), frButton(2)->icon().pixmap(QSize(52, 22)).toImage());
    for (const char* name :
         {"CheckBox35", "Edit1", "CheckBox37", "ComboBox11", "CheckBox39", "CheckBox40", "ComboBox12", "CheckBox38"}) {
        SCOPED_TRACE(name);
        auto* control = panel->findChild<QWidget*>(QLatin1String(name));
        ASSERT_NE(control, nullptr);
        const QRect inPanel(control->mapTo(panel, QPoint(0, 0)), control->size());
        EXPECT_TRUE(QRect(QPoint(0, 0), panel->size()).contains(inPanel));
        EXPECT_GT(inPanel.top(), frButton(11)->geometry().bottom());
    }
}

}  // namespace
