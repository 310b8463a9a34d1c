#include "LayoutRule.h"

#include "StatusTips.h"

#include <gtest/gtest.h>

using namespace calamo;

namespace {

TEST(LayoutRule, TheStartingSizeGivesTheDesignPositions)
{
    const QSize outer = outerSize(QSize(754, 510));
    EXPECT_EQ(outer, QSize(761, 555));
    const MainLayout layout = FormLayout(outer, false);
    EXPECT_EQ(layout.editors, QRect(156, 96, 597, 393));
    EXPECT_EQ(layout.lingue, QRect(156, 64, 597, 29));
    EXPECT_EQ(layout.controlBarWidth, 748);
    EXPECT_EQ(layout.panelHeight, 429);
    EXPECT_EQ(layout.edit2Top, 422);
    EXPECT_EQ(layout.buttons1And3Top, 421);
    EXPECT_EQ(layout.panel10Top, 453);
    EXPECT_EQ(layout.edit3Top, 464);
    EXPECT_EQ(layout.buttons2And4Top, 463);
}

TEST(LayoutRule, TheFindPanelTakesSeventyPixelsFromTheEditorsAtEverySize)
{
    for (const QSize client : {QSize(754, 510), QSize(754, 610), QSize(1200, 900), QSize(300, 200)}) {
        const MainLayout without = FormLayout(outerSize(client), false);
        const MainLayout with = FormLayout(outerSize(client), true);
        EXPECT_EQ(with.editors.height(), without.editors.height() - 70) << client.width() << "x" << client.height();
        EXPECT_EQ(with.editors.width(), without.editors.width());
        EXPECT_EQ(with.editors.topLeft(), QPoint(156, 96));
        // The panel sits below the shortened editors, whatever the height.
        EXPECT_GT(with.buttons1And3Top, with.editors.bottom());
        EXPECT_EQ(with.edit2Top, without.edit2Top);
    }
    // A window 100 pixels taller: editors 100 taller, still 70 shorter than without the panel.
    const MainLayout start = FormLayout(outerSize(QSize(754, 510)), true);
    const MainLayout taller = FormLayout(outerSize(QSize(754, 610)), true);
    EXPECT_EQ(start.editors.height(), 323);
    EXPECT_EQ(taller.editors.height(), 423);
    EXPECT_EQ(taller.edit3Top - start.edit3Top, 100);
}

TEST(LayoutRule, WidthFollowsTheWindow)
{
    const MainLayout layout = FormLayout(QSize(1031, 813), false);
    EXPECT_EQ(layout.editors, QRect(156, 96, 867, 651));
    EXPECT_EQ(layout.lingue.width(), 867);
    EXPECT_EQ(layout.controlBarWidth, 1018);
    EXPECT_EQ(layout.panelHeight, 687);
}

TEST(StatusTips, FiveTipsWithThePlaceholderAddresses)
{
    const auto& tips = statusTips();
    EXPECT_EQ(tips[0],
              QStringLiteral(
                  "I tuoi consigli sono preziosi: riporta suggerimenti e bug all'email \"calamo@example.org\". "
                  "Aggiornerò subito il programma. Grazie!!!"));
    EXPECT_TRUE(tips[1].startsWith(QStringLiteral("Calamo cambierà anche")));
    EXPECT_TRUE(tips[2].endsWith(QStringLiteral("rendere Calamo migliore.")));
    EXPECT_EQ(tips[3], QStringLiteral("Se vuoi collaborare anche tu o vuoi scaricare l'ultima versione del programma, "
                                      "visita il sito https://calamo.example.org !!"));
    EXPECT_TRUE(tips[4].startsWith(QStringLiteral("LO SAPEVI?? Prova a cliccare col tasto destro")));
}

}  // namespace
