#include "WindowFixture.h"

#include "ColourPresets.h"
#include "Modal.h"
#include "TColoripre.h"

#include <QAction>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace calamo;
using namespace calamo::testing;

namespace {

class TColoripreTest : public WindowFixture {
protected:
    TColoripre& dialog() { return *window->findChild<TColoripre*>(); }
    QListWidget* list() { return dialog().findChild<QListWidget*>(QStringLiteral("ListBox1")); }
    QPushButton* button(const char* name) { return dialog().findChild<QPushButton*>(QLatin1String(name)); }
    QLabel* label(const char* name) { return dialog().findChild<QLabel*>(QLatin1String(name)); }
    int rowOf(const QString& name)
    {
        for (int i = 0; i < list()->count(); ++i) {
            if (list()->item(i)->text().left(31).trimmed() == name)
                return i;
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return 0;
    }
    void click(const QString& name)
    {
        list()->scrollToItem(list()->item(rowOf(name)));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->item(rowOf(name))).center());
    }
    void doubleClick(const QString& name) { doubleClickRow(list(), rowOf(name)); }
    QColor background(const char* name) { return label(name)->palette().color(QPalette::Window); }
    void run(std::function<void()> act) { runModal("Colori", std::move(act)); }
};

TEST_F(TColoripreTest, ListsTheNinetyTwoPresetsSortedInAFixedPitchFontBesideThePreview)
{
    open();
    ASSERT_TRUE(child<QAction>("Colori")->isEnabled());
    run([&] {
        EXPECT_EQ(dialog().windowTitle(), "Colori Prefabbricati");
        ASSERT_EQ(list()->count(), kColourPresets);
        EXPECT_TRUE(list()->isSortingEnabled());
        for (int i = 0; i < kColourPresets; ++i)
            EXPECT_EQ(list()->item(i)->text(), colourRowText(colourPresets()[static_cast<std::size_t>(i)])) << i;
        EXPECT_EQ(list()->item(19)->text(), QStringLiteral("blu-violetto                   #8A2BE2"));
        EXPECT_TRUE(QFontInfo(list()->font()).fixedPitch());
        auto* group = dialog().findChild<QGroupBox*>(QStringLiteral("GroupBox1"));
        ASSERT_NE(group, nullptr);
        EXPECT_EQ(group->title(), "Anteprima");
        EXPECT_EQ(label("Sx")->parent(), group);
        EXPECT_EQ(label("Dx")->parent(), group);
        EXPECT_FALSE(label("Image1")->pixmap().isNull());
        EXPECT_TRUE(button("Button2")->isDefault());
        EXPECT_EQ(button("Button3")->text(), "Personalizzato");
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(TColoripreTest, AClickPreviewsOnBothLabelsAndInsertsNothing)
{
    open();
    editor().setText(QStringLiteral("testo"));
    run([&] {
        click(QStringLiteral("nero"));
        EXPECT_EQ(background("Sx"), QColor(Qt::black));
        EXPECT_EQ(background("Dx"), QColor(Qt::black));
        click(QStringLiteral("turchese"));
        EXPECT_EQ(background("Dx"), QColor(0x40, 0xE0, 0xD0));
        QTest::keyClick(&dialog(), Qt::Key_Escape);
    });
    EXPECT_EQ(editor().text(), "testo");
    EXPECT_TRUE(window->documents().document(0).saved);
    EXPECT_EQ(background("Dx"), QColor(0x40, 0xE0, 0xD0)) << "the labels keep the last colour shown";
}

TEST_F(TColoripreTest, ADoubleClickPutsTheCodeInPlaceOfTheSelectionAndTheDialogStaysOpen)
{
    open();
    editor().setText(QStringLiteral("<FONT COLOR=\"testo\">"));
    editor().select(13, 5);
    run([&] {
        doubleClick(QStringLiteral("rosso"));
        EXPECT_TRUE(dialog().isVisible());
        EXPECT_EQ(editor().text(), "<FONT COLOR=\"#FF0000\">");
        EXPECT_EQ(editor().selectionStart(), 20);
        // "Inserisci" with the row still selected puts in a second code at the caret.
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_EQ(editor().text(), "<FONT COLOR=\"#FF0000#FF0000\">");
    EXPECT_EQ(editor().selectionStart(), 27);
    EXPECT_FALSE(window->documents().document(0).saved);
}

TEST_F(TColoripreTest, InsertWithoutARowDoesNothing)
{
    open();
    editor().setText(QStringLiteral("testo"));
    editor().select(0, 5);
    run([&] {
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_EQ(editor().text(), "testo");
    EXPECT_EQ(editor().selectionLength(), 5);
    EXPECT_TRUE(window->documents().document(0).saved);
}

TEST_F(TColoripreTest, PersonalizzatoInsertsThePickedColourAndACancelLeavesTheSelection)
{
    open();
    editor().setText(QStringLiteral("uno due"));
    editor().select(4, 3);
    prompts.colours = {std::nullopt, 0x00563412u};
    run([&] {
        QTest::mouseClick(button("Button3"), Qt::LeftButton);
        EXPECT_EQ(editor().text(), "uno due");
        EXPECT_EQ(editor().selectionStart(), 4);
        EXPECT_EQ(editor().selectionLength(), 3);
        EXPECT_TRUE(window->documents().document(0).saved);
        QTest::mouseClick(button("Button3"), Qt::LeftButton);
        QTest::mouseClick(button("Button2"), Qt::LeftButton);
    });
    EXPECT_EQ(editor().text(), "uno #123456");
    EXPECT_EQ(editor().selectionStart(), 11);
    EXPECT_FALSE(window->documents().document(0).saved);
    EXPECT_EQ(background("Sx"), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(background("Dx"), QColor(0x12, 0x34, 0x56));
}

}  // namespace
