#include "listbox.h"
#include "text.h"

#include <gtest/gtest.h>

using namespace aracnide;

namespace {

TEST(ListBox, FindStringReturnsTheFirstEntryBeginningWithTheTextIgnoringCase)
{
    ListModel model;
    ListBox lb(model);
    lb.AddString("zeta.htm");
    lb.AddString("Dir/A.htm\tOk");
    lb.AddString("dir/a");
    lb.AddString("dir/b.htm");
    EXPECT_EQ(lb.FindString("dir/a"), 1);  // both 1 and 2 begin with it: the first wins
    EXPECT_EQ(lb.FindString("DIR/A.HTM"), 1);
    EXPECT_EQ(lb.FindString("dir/a.htm\tok"), 1);
    EXPECT_EQ(lb.FindString("dir/c"), -1);
    EXPECT_EQ(lb.FindString("dir/a.htmx"), -1);  // longer than every entry
    EXPECT_EQ(lb.FindString(""), 0);
    EXPECT_EQ(lb.FindString("z"), 0);
}

TEST(ListBox, IndexFollowsReplacedInsertedAndDeletedEntries)
{
    ListModel model;
    ListBox lb(model);
    lb.AddString("a.htm");
    lb.AddString("b.htm");
    lb.AddString("c.htm");
    ASSERT_TRUE(lb.SetString(1, "b.htm\t404"));
    EXPECT_EQ(lb.FindString("b.htm\t4"), 1);
    EXPECT_EQ(lb.GetString(1), "b.htm\t404");

    model.Insert(0, "new.htm");  // every later entry moves up by one
    EXPECT_EQ(lb.FindString("a.htm"), 1);
    EXPECT_EQ(lb.FindString("c.htm"), 3);
    EXPECT_TRUE(model.Remove(1));
    EXPECT_EQ(lb.FindString("a.htm"), -1);
    EXPECT_EQ(lb.FindString("c.htm"), 2);
    EXPECT_FALSE(model.Remove(7));
    EXPECT_EQ(lb.GetString(7), "");

    // A prefix found once is found again after entries are appended, marked checked or renamed.
    EXPECT_EQ(lb.FindString("c"), 2);
    lb.AddString("c2.htm");
    ASSERT_TRUE(lb.SetString(2, "c.htm\tOk"));
    EXPECT_EQ(lb.FindString("c"), 2);
    ASSERT_TRUE(lb.SetString(0, "cat.htm"));
    EXPECT_EQ(lb.FindString("c"), 0);

    lb.ClearList();
    EXPECT_EQ(lb.GetCount(), 0);
    EXPECT_EQ(lb.FindString(""), -1);
}

TEST(ListBox, ItemDataAndChangeNotificationsReachAView)
{
    ListModel model;
    std::vector<std::pair<ListChange::Kind, int>> seen;
    model.onChange = [&](const ListChange& c) { seen.emplace_back(c.kind, c.index); };
    ListBox lb(model);
    const int i = lb.AddString("x");
    lb.SetItemData(i, 0xFFFF0001u);
    lb.SetSelIndex(0);
    lb.ClearList();
    EXPECT_EQ(seen, (std::vector<std::pair<ListChange::Kind, int>>{{ListChange::Inserted, 0},
                                                                   {ListChange::Changed, 0},
                                                                   {ListChange::Selected, 0},
                                                                   {ListChange::Cleared, -1}}));
    EXPECT_EQ(model.Count(), 0);  // the data went with the list
}

}  // namespace

// The index against a plain walk of the list, over texts made to meet its edge cases: long shared
// beginnings (compared a word at a time), letters beside the case-folded range ('@' '[' '`' '{'),
// bytes past 0x7F, result words after a tab and heads shared by several entries in either case.
TEST(ListBox, LookupsAgreeWithAWalkOfTheListThroughEveryKindOfChange)
{
    const std::string pieces[] = {"a", "A", "@", "[", "`", "{", "\xC3", "\t", "section12/", "SECTION12/", "z"};
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    auto text = [&] {
        std::string t;
        for (uint32_t k = next(5); k > 0; --k)
            t += pieces[next(std::size(pieces))];
        return t;
    };
    ListModel model;
    ListBox lb(model);
    auto walk = [&](std::string_view prefix) {
        for (int i = 0; i < lb.GetCount(); ++i)
            if (IStartsWith(lb.GetString(i), prefix))
                return i;
        return -1;
    };
    for (int step = 0; step < 2000; ++step) {
        switch (next(8)) {
        case 0:
            lb.SetString(static_cast<int>(next(lb.GetCount() + 1)), lb.GetString(lb.GetCount() - 1) + "\tOk");
            break;
        case 1:
            lb.SetString(static_cast<int>(next(lb.GetCount() + 1)), text());
            break;
        case 2:
            model.Remove(static_cast<int>(next(lb.GetCount() + 1)));
            break;
        case 3:
            model.Insert(static_cast<int>(next(lb.GetCount() + 1)), text());
            break;
        default:
            lb.AddString(text());
            break;
        }
        for (int probe = 0; probe < 4; ++probe) {
            const std::string p =
                probe == 0 && lb.GetCount() > 0 ? lb.GetString(static_cast<int>(next(lb.GetCount()))) : text();
            // Contains first: a miss leaves a hint that the next append may use.
            ASSERT_EQ(lb.Contains(p), walk(p) >= 0) << "step " << step << " probe " << p;
            ASSERT_EQ(lb.FindString(p), walk(p)) << "step " << step << " probe " << p;
        }
        if (const std::string t = text(); !lb.Contains(t))
            lb.AddString(t);
    }
}

// A long list, added out of order so that the index splits in its middle, then emptied from its end:
// every removal leaves lookups of the text removed and of one that stays right.
TEST(ListBox, LookupsStayRightWhileALongListIsAddedOutOfOrderAndEmptiedFromItsEnd)
{
    ListModel model;
    ListBox lb(model);
    constexpr int kCount = 1500;
    auto text = [](int i) { return "page" + std::to_string((i * 7919) % kCount) + ".htm"; };
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(lb.AddString(text(i)), i);
    for (int i = kCount - 1; i > 0; --i) {
        ASSERT_TRUE(model.Remove(i));
        ASSERT_FALSE(lb.Contains(text(i))) << i;
        ASSERT_EQ(lb.FindString(text(i / 2)), i / 2) << i;
    }
    EXPECT_EQ(lb.FindString("PAGE"), 0);
}
