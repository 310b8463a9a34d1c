#include "pagescan.h"
#include "testutil.h"

#include <gtest/gtest.h>

using namespace aracnide;

namespace {

TEST(UrlText, SimplifyUrlFoldsDotSegmentsUpToTheFirstDot)
{
    const std::pair<std::string, std::string> rows[] = {
        {"dir/../b.htm", "b.htm"},
        {"./c.htm", "c.htm"},
        {"dir/./x.htm", "dir/x.htm"},
        {"a/b/../../c.htm", "c.htm"},
        {"a/b/../c.htm", "a/c.htm"},
        {"my-dir/../x.htm", "x.htm"},  // the whole directory name goes, not just its last letters
        {"../x.htm", "../x.htm"},      // a leading ../ is never folded
        {"x/../../y.htm", "../y.htm"},
        {"http://host.dom/a/../x", "http://host.dom/a/../x"},  // the first "." belongs to the host
        {"a.htm", "a.htm"},
        {"dir\\..\\b.htm", "b.htm"},
        {"", ""},
    };
    for (const auto& [in, out] : rows) {
        std::string s = in;
        EXPECT_EQ(SimplifyUrl(s), 1);
        EXPECT_EQ(s, out) << in;
    }
}

TEST(UrlText, CrackUrlSplitsHostAndPathAndKeepsThePortInTheHost)
{
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"http://host.dom/a/b.htm", "host.dom", "/a/b.htm"},
        {"http://host.dom:8080/x", "host.dom:8080", "/x"},
        {"http://host.dom", "host.dom", ""},
        {"host.dom/p", "host.dom", "/p"},
        {"http:", "", ""},
    };
    for (const auto& [url, host, path] : rows) {
        const UrlComponents c = CrackUrl(url);
        EXPECT_EQ(c.host, host) << url;
        EXPECT_EQ(c.path, path) << url;
    }
    std::string local = "/home/site/a.htm";
    UrlToFile(local);
    EXPECT_EQ(local, "/home/site/a.htm");
}

TEST(UrlText, PageDirectoryAndOrigin)
{
    EXPECT_EQ(PageDirectory("http://h/dir/sub/p.htm", "http://h/"), "dir/sub/");
    EXPECT_EQ(PageDirectory("HTTP://H/dir/p.htm", "http://h/"), "dir/");
    EXPECT_EQ(PageDirectory("http://h/p.htm", "http://h/"), "");
    EXPECT_EQ(PageDirectory("http://other/dir/p.htm", "http://h/"), "");
    EXPECT_EQ(PageDirectory("/site/dir/p.htm", "/site/"), "dir/");
    EXPECT_EQ(Origin("http://Host.dom/x"), "http://host.dom:80");
    EXPECT_EQ(Origin("https://h:8443"), "https://h:8443");
    EXPECT_EQ(Origin("/local/file"), "");
    EXPECT_EQ(HostEnd("http://a/x"), 8u);  // one-letter host
}

class Scan : public testing::Test {
protected:
    Scan()
    {
        ctx.szBaseDom = "http://h/";
        ctx.curlig = 3;
        ctx.CheckStatus = kRunning;
        ctx.fhLog = std::make_unique<StringReport>();
        ctx.observer.baseChanged = [this](const std::string& b) { bases.push_back(b); };
    }
    // Scans `page` as the page `url`, in blocks of `block` bytes, delivered in reads of the given sizes.
    // Returns the bytes the scan looked at.
    uint64_t Run(const std::string& page, const std::string& url, size_t block = kScanBlock,
                 std::vector<size_t> sizes = {})
    {
        PageState st;
        st.bFile = IsLocal(url);
        st.szHtml = url;
        st.szTmpBHref = PageDirectory(url, ctx.szBaseDom);
        st.blockSize = block;
        MemoryReader reader(page, std::move(sizes));
        uint32_t size = static_cast<uint32_t>(page.size());
        ScanPage(ctx, st, reader, true, size);
        return st.looked;
    }
    const std::string& Report() { return static_cast<StringReport&>(*ctx.fhLog).text; }

    RunContext ctx{nullptr};
    std::vector<std::string> bases;
};

TEST_F(Scan, AnchorLinkIsResolvedInThePageDirectoryWithoutItsFragment)
{
    Run(R"(<html><body><A HREF="sub/a.htm#x">A</A></body></html>)", "http://h/dir/p.htm");
    ASSERT_EQ(Entries(ctx), std::vector<std::string>{"dir/sub/a.htm"});
    EXPECT_EQ(ctx.model.At(0).data, 3u * 65536u);
}

TEST_F(Scan, LinksAreResolvedAgainstThePageAndTheBase)
{
    ctx.settings.bCEL = true;
    Run(R"(<a href="../x.htm"> <a href="/root.htm"> <a href="/dir/in.htm"> <a href="http://h/dir/z.htm">)"
        R"( <a href="HTTP://other.dom/y.htm"> <a href="q.htm?a=1"> <a href="cgi-bin/s">)",
        "http://h/dir/p.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"x.htm", "http://h/root.htm", "dir/in.htm", "dir/z.htm",
                                                      "HTTP://other.dom/y.htm", "dir/q.htm?a=1", "dir/cgi-bin/s"}));
}

TEST_F(Scan, FilteredLinksAreIgnored)
{
    Run(R"(<a href="mailto:a"><a href="prog.EXE"><a href="#top"><a href="http://other/x.htm">)"
        R"(<a href=news:x><a href="javascript:go"><a href="me@host"><a href=""><a href="#">)"
        R"(<a href="b.htm">)",
        "http://h/p.htm");
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"b.htm"});
}

TEST_F(Scan, DuplicatesAndBeginningsOfEntriesAreNotAdded)
{
    ctx.LB.AddString("dir/a.htm\tOk");
    Run(R"(<a href="dir/a"><a href="DIR/A.HTM"><a href="dir/a.htm"><a href="dir/b.htm"><a href="dir/b.htm">)",
        "http://h/p.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"dir/a.htm\tOk", "dir/b.htm"}));
}

// A text met again on a page is not resolved again: what the first one came to must still hold.
TEST_F(Scan, ALinkMetAgainResolvesUnderTheBaseAndTheListOfItsOwnPlace)
{
    Run(R"(<a href="x.htm"><base href="http://h/sub/"><a href="x.htm"><a href="x.htm">)", "http://h/p.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"x.htm", "sub/x.htm"}));

    // The entry the first link added is renamed before the second: the second is added again.
    ctx.LB.ClearList();
    ctx.observer.counter = [this](int, int count) {
        if (count == 1)
            ctx.LB.SetString(0, "renamed.htm");
    };
    Run(R"(<a href="y.htm"><a href="y.htm"><a href="y.htm">)", "http://h/p.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"renamed.htm", "y.htm"}));
}

TEST_F(Scan, APageIsAReferrerOfEachEntryOnceHoweverOftenItRepeatsTheLink)
{
    ctx.keepRecords = true;
    ctx.LB.AddString("old.htm\tOk");
    Run(R"(<a href="old.htm"><a href="new.htm"><a href="OLD.htm"><a href="new.htm">)", "http://h/p.htm");
    ctx.curlig = 4;
    Run(R"(<a href="new.htm"><a href="old.htm"><a href="new.htm">)", "http://h/q.htm");
    ASSERT_EQ(ctx.records.size(), 2u);
    EXPECT_EQ(ctx.records[0].referrers, (std::vector<int>{3, 4}));
    EXPECT_EQ(ctx.records[1].referrers, (std::vector<int>{3, 4}));
}

TEST_F(Scan, TheTagTestRejectsAMarkerAfterADotSemicolonOrClosingBracket)
{
    Run(R"(<a title="a.b" href="no1.htm"> text href="no2.htm" <a x=1;href="no3.htm"> <p>href="no4.htm")"
        R"( <a class=c href='yes.htm'> <a HREF= "yes2.htm"> <img SRC=pic.htm> <a sref="s1.htm"><a hRc="s2.htm">)"
        R"( <a data-x="->" href="no5.htm"> <a xhsrc="s3.htm">)",
        "http://h/p.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"yes.htm", "yes2.htm", "pic.htm", "s1.htm", "s2.htm", "s3.htm"}));
}

TEST_F(Scan, CommentsHideLinksUntilTheyClose)
{
    Run(R"(<!- <a href="in1.htm"> <!-- <a href="in2.htm"> -> <a href="out.htm"> <!-- x --> <a href="out2.htm">)",
        "http://h/p.htm");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"out.htm", "out2.htm"}));
}

TEST_F(Scan, ImagesAreNeverCheckedAsLinksAndNotSizedWhenSizesAreOff)
{
    Run(R"(<img src=logo.gif><a href="pic.JPG"><img src="x.png">)", "http://h/p.htm");
    EXPECT_TRUE(Entries(ctx).empty());
    EXPECT_EQ(Report(), "");

    // Sizes on, but the image was already sized for this entry: nothing is fetched or written.
    ctx.settings.bCalcSize = true;
    ctx.settings.ReportOpt = 1;
    ctx.szImage = "logo.gif,";
    Run(R"(<img src=logo.gif>)", "http://h/p.htm");
    EXPECT_EQ(ctx.szImage, "logo.gif,");
    EXPECT_EQ(Report(), "");

    // Past 492 characters the list of sized images grows no more.
    ctx.szImage = std::string(493, 'x');
    Run(R"(<img src=other.gif>)", "http://h/p.htm");
    EXPECT_EQ(ctx.szImage, std::string(493, 'x'));
    EXPECT_EQ(Report(), "");
}

// Past the bytes that only look like an end to a 16-byte search ('!' '$' '%' '&' and control
// characters), up to each byte that ends a link.
TEST_F(Scan, LongLinksAreKeptWholeUpToTheByteThatEndsThem)
{
    std::string name;
    for (int i = 0; i < 40; ++i)
        name += "ab!$%&\x01\x1f(cd";
    name += ".htm";
    for (const char end : {'"', '\'', '#', '>', ' ', '\r', '\n', '\t'}) {
        ctx.LB.ClearList();
        Run("<a href=" + name + end + "x\">", "http://h/p.htm");
        EXPECT_EQ(Entries(ctx), std::vector<std::string>{name}) << int(end);
    }
    ctx.LB.ClearList();
    Run("<a href=\"" + name + "\">", "http://h/p.htm", 300);  // carried over blocks
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{name});
}

TEST_F(Scan, BaseTagMovesTheSiteBaseAndThePageDirectory)
{
    Run(R"(<head><BASE HREF="http://other.dom/x/"></head><a href="a.htm"><a href="http://other.dom/x/b.htm">)",
        "http://h/p.htm");
    EXPECT_EQ(ctx.szBaseDom, "http://other.dom/");
    EXPECT_EQ(bases, std::vector<std::string>{"http://other.dom/"});
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"x/a.htm", "x/b.htm"}));
}

TEST_F(Scan, AnIgnoredBaseValueDoesNotTurnTheNextLinkIntoABase)
{
    Run("<base href=\"#\"><a href=\"x.htm\"><a href=y.htm\n><a\thref=z.htm\t>", "http://h/p.htm");
    EXPECT_EQ(ctx.szBaseDom, "http://h/");
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"x.htm", "y.htm", "z.htm"}));
}

TEST_F(Scan, OnlyAnAttributeOfABaseTagIsABase)
{
    ctx.settings.bCEL = true;
    Run(R"(<link rel=license href="http://other.dom/lic/"><abase href="http://x.dom/a/">)"
        R"(<a rel=base href="http://y.dom/b/"><a href="k.htm">)",
        "http://h/p.htm");
    EXPECT_EQ(ctx.szBaseDom, "http://h/") << "no tag but base moves the base";
    EXPECT_TRUE(bases.empty());
    EXPECT_EQ(Entries(ctx),
              (std::vector<std::string>{"http://other.dom/lic/", "http://x.dom/a/", "http://y.dom/b/", "k.htm"}));
    ctx.LB.ClearList();
    Run(R"(<base target=_top HREF="http://other.dom/x/"><a href="a.htm">)", "http://h/p.htm");
    EXPECT_EQ(ctx.szBaseDom, "http://other.dom/") << "whatever attribute comes first";
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"x/a.htm"});
}

TEST_F(Scan, SchemeRelativeLinksTakeTheSchemeOfTheirPage)
{
    ctx.szBaseDom = "https://h/";
    ctx.settings.bCEL = true;
    Run(R"(<a href="//cdn.dom/x.htm"><a href="//cdn.dom:8080/y.htm"><a href="//h/dir/z.htm"><img src="//h/i.gif">)",
        "https://h/dir/p.htm");
    EXPECT_EQ(Entries(ctx),
              (std::vector<std::string>{"https://cdn.dom/x.htm", "https://cdn.dom:8080/y.htm", "dir/z.htm"}));

    ctx.LB.ClearList();
    ctx.szBaseDom = "/site/";
    Run(R"(<a href="//host/x.htm"><a href="b.htm">)", "/site/p.htm");
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"b.htm"}) << "a local page reaches no host";
}

TEST_F(Scan, AReferrerPastTheSixteenBitsOfTheDataKeepsItsFullIndex)
{
    ctx.curlig = 70000;
    Run(R"(<a href="x.htm">)", "http://h/p.htm");
    ASSERT_EQ(ctx.LB.GetCount(), 1);
    EXPECT_EQ(ctx.model.At(0).data, (70000u & 0xFFFFu) << 16) << "the data keeps its layout";
    EXPECT_EQ(ctx.LB.GetReferrer(0), 70000);
}

// Pages built to make a scan slow: every marker fails the tag test far from any '<', and a long value
// is carried while the server hands it over a byte at a time. The bytes the scan looks at stay in
// proportion to the page (walking back to the block start, or scanning the carried text again on each
// read, made it hundreds of times the page).
TEST_F(Scan, CraftedPagesCostWorkInProportionToTheirSize)
{
    std::string markers;
    while (markers.size() < 1000000)
        markers += "xhref=";
    EXPECT_LE(Run(markers, "http://h/p.htm"), 3 * markers.size());

    const std::string longValue = "<a href=\"" + std::string(4000, 'v') + "\">";
    std::string carried;
    while (carried.size() < 1000000)
        carried += longValue;
    EXPECT_LE(Run(carried, "http://h/p.htm", kScanBlock, {1}), 3 * carried.size());
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{std::string(4000, 'v')});
}

TEST_F(Scan, BaseTagOnALocalPageIsIgnored)
{
    ctx.szBaseDom = "/site/";
    Run(R"(<base href="http://other.dom/"><a href="a.htm">)", "/site/dir/p.htm");
    EXPECT_EQ(ctx.szBaseDom, "/site/");
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"dir/a.htm"});
}

// Every place where a block can end must give the same links as the page read whole: blocks of every
// size from 1 byte put a block end at every place.
TEST_F(Scan, ALinkSplitAcrossTwoBlocksIsFoundWhereverTheSplitFalls)
{
    const std::string page =
        R"(<p>intro</p><!-- <a href="hidden.htm"> --><a title=t HREF="sub/a.htm">A</a> )"
        R"(<link rel=license href="http://other.dom/"><BASE href="http://h/dir/"><img SRC="b.htm"> )"
        R"(<a class=x.y href=no.htm><a data-q="-" hrc=last.htm><a href="//h/dir/c.htm">)";
    std::vector<std::string> whole;
    {
        RunContext one(nullptr);
        one.szBaseDom = "http://h/";
        one.CheckStatus = kRunning;
        PageState st;
        st.szHtml = "http://h/p.htm";
        MemoryReader reader(page, {});
        uint32_t size = 0;
        ScanPage(one, st, reader, true, size);
        whole = Entries(one);
    }
    ASSERT_EQ(whole, (std::vector<std::string>{"sub/a.htm", "dir/b.htm", "dir/last.htm", "dir/c.htm"}));
    for (size_t split = 1; split < page.size(); ++split) {
        ctx.LB.ClearList();
        ctx.szBaseDom = "http://h/";
        Run(page, "http://h/p.htm", split);
        EXPECT_EQ(Entries(ctx), whole) << "blocks of " << split << ": " << page.substr(split, 12);
    }
}

TEST_F(Scan, ManySmallBlocksStillFindEveryLink)
{
    Run(R"(<a href="one.htm"> <a href="two.htm"> <a href="three.htm">)", "http://h/p.htm", 3);
    EXPECT_EQ(Entries(ctx), (std::vector<std::string>{"one.htm", "two.htm", "three.htm"}));
}

TEST_F(Scan, LogDataCopiesEveryBlockAndUnknownSizesAddUp)
{
    ctx.settings.bLogData = true;
    PageState st;
    MemoryReader reader("<a href=a.htm>12345", {7});
    uint32_t size = 0;
    ScanPage(ctx, st, reader, false, size);
    EXPECT_EQ(size, 19u);
    EXPECT_EQ(Report(), "<a href=a.htm>12345");
}

TEST_F(Scan, ScanStopsAtTheEndOfTheBlockWhenTheRunIsSuspended)
{
    ctx.CheckStatus = kSuspended;
    Run(std::string("<a href=a.htm>") + std::string(9000, ' ') + "<a href=b.htm>", "http://h/p.htm");
    EXPECT_EQ(Entries(ctx), std::vector<std::string>{"a.htm"});
}

}  // namespace
