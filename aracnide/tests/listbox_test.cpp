#include "listbox.h"

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
    EXPECT_EQ(lb.DeleteString(1), 3);
    EXPECT_EQ(lb.FindString("a.htm"), -1);
    EXPECT_EQ(lb.FindString("c.htm"), 2);
    EXPECT_EQ(lb.DeleteString(7), -1);
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
