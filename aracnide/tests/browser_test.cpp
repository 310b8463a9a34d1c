#include "browser.h"

#include <gtest/gtest.h>

#include <map>

using namespace aracnide;

namespace {

class FakeWindows : public WindowLister {
public:
    std::vector<WindowInfo> TopLevel() override { return top; }
    std::vector<WindowInfo> Children(uint32_t w) override
    {
        ++childQueries;
        return children[w];
    }
    std::vector<WindowInfo> top;
    std::map<uint32_t, std::vector<WindowInfo>> children;
    int childQueries = 0;
};

TEST(BrowserDetection, BrowserNamesAreFoundAnywhereInTheTitleInTheirExactCase)
{
    for (const char* t :
         {"Netscape", "x - Internet Explorer", "Opera", "Page - Mozilla Firefox", "Chromium", "Google Chrome"})
        EXPECT_TRUE(IsBrowserTitle(t)) << t;
    for (const char* t : {"firefox", "", "Terminal", "OPERA"})
        EXPECT_FALSE(IsBrowserTitle(t)) << t;
}

TEST(BrowserDetection, TheAddressIsTheFirstDescendantOfABrowserWhoseTextBeginsWithHttp)
{
    FakeWindows w;
    w.top = {{1, "http://a-terminal/"}, {2, ""}, {3, "Docs - Chromium"}};
    w.children[3] = {{10, "tabs"}, {11, "bar"}};
    w.children[10] = {{20, "nothing"}};
    w.children[11] = {{21, "Https://host.dom/x"}, {22, "http://later/"}};
    EXPECT_EQ(EnumWindowsProc(w), "Https://host.dom/x") << "breadth first; a plain window's title never counts";
    EXPECT_EQ(w.children.count(1), 0u);

    w.children[11] = {{21, "no address"}};
    EXPECT_EQ(EnumWindowsProc(w), "");
}

TEST(BrowserDetection, TheWalkStopsWhenItsTableOfWindowsIsFull)
{
    FakeWindows w;
    w.top = {{1, "Opera"}, {2, "Firefox"}};
    for (uint32_t i = 0; i < 300; ++i)
        w.children[1].push_back({100 + i, "pane"});
    w.children[2] = {{5, "http://never.read/"}};
    EXPECT_EQ(EnumWindowsProc(w), "") << "a full table ends the whole walk";
    EXPECT_EQ(w.childQueries, 1);

    w.children[1].resize(3);
    EXPECT_EQ(EnumWindowsProc(w), "http://never.read/");
}

}  // namespace
