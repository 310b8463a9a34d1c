#include "ShortcutEntries.h"

#include <gtest/gtest.h>

using namespace calamo;

namespace {

TEST(ShortcutEntries, TheListNamesEntriesOneToThirtySevenInOrderBetweenEmptySeparators)
{
    const QStringList& items = shortcutItems();
    EXPECT_EQ(items.size(), 37 + 7);
    int next = 1;
    for (const QString& item : items) {
        if (item.isEmpty()) {
            EXPECT_EQ(shortcutEntryOf(item), std::nullopt);
            continue;
        }
        EXPECT_EQ(shortcutEntryOf(item), next) << item.toStdString();
        ++next;
    }
    EXPECT_EQ(next, 38);
    EXPECT_EQ(items[18], QStringLiteral("17 Grassetto"));
    EXPECT_EQ(items.back(), QStringLiteral("37 Lancio browser 2"));
    EXPECT_TRUE(items.contains(QStringLiteral("16 Proprietà font")));
}

TEST(ShortcutEntries, OnlyTwoDigitsFromOneToFiftyAddressAnEntry)
{
    EXPECT_EQ(shortcutEntryOf(u"50 oltre"), 50);
    EXPECT_EQ(shortcutEntryOf(u"01"), 1);
    EXPECT_EQ(shortcutEntryOf(u"00 Niente"), std::nullopt);
    EXPECT_EQ(shortcutEntryOf(u"51 Troppo"), std::nullopt);
    EXPECT_EQ(shortcutEntryOf(u"7 Copia"), std::nullopt);
    EXPECT_EQ(shortcutEntryOf(u"1"), std::nullopt);
    EXPECT_EQ(shortcutEntryOf(u" 7"), std::nullopt);
    EXPECT_EQ(shortcutEntryOf(u"\u0661\u0662 arabic-indic digits"), std::nullopt);
}

TEST(ShortcutEntries, TheHelpTextKeepsItsLines)
{
    const QStringList& lines = shortcutHelpLines();
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines[0], QStringLiteral("Scegli un'evento dalla lista a sinistra e modifica la combinazione di "));
    EXPECT_EQ(lines[4], QStringLiteral(" Control -> C"));
    EXPECT_EQ(lines[13], QStringLiteral("Per ogni modifica effettuata, premere il pulstante \"Salva\"."));
}

}  // namespace
