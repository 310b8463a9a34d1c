// The URL text rules over hostile texts: SimplifyUrl, UrlToFile, CrackUrl, the resolution of a link
// against its page and the site base, and the resolution of a Location header.
// Input: a page URL and a link text, separated by the first line feed.

#include "checkurl.h"
#include "pagescan.h"

#include <cstdlib>
#include <string>

using namespace aracnide;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t nl = input.find('\n');
    const std::string page(input.substr(0, nl));
    const std::string link(nl == std::string_view::npos ? std::string_view() : input.substr(nl + 1));

    // SimplifyUrl only removes text, and what it leaves is already simplified.
    std::string simple = link;
    SimplifyUrl(simple);
    if (simple.size() > link.size())
        std::abort();
    std::string again = simple;
    SimplifyUrl(again);
    if (again != simple)
        std::abort();
    std::string file = link;
    UrlToFile(file);
    if (file != link)
        std::abort();

    // CrackUrl: the host holds no "/", the path is the URL's end and begins with "/".
    const UrlComponents c = CrackUrl(link);
    if (c.host.find('/') != std::string::npos || !link.ends_with(c.path) || (!c.path.empty() && c.path[0] != '/'))
        std::abort();
    (void)Origin(link);
    if (HostEnd(link) > link.size())
        std::abort();
    (void)ResolveLocation(page, link);

    // The link as found on the page: every entry it adds is simplified and refers to the page's entry.
    RunContext ctx(nullptr);
    ctx.CheckStatus = kRunning;
    ctx.settings.bCEL = true;
    ctx.curlig = 7;
    PageState st;
    st.bFile = IsLocal(page);
    st.szHtml = page;
    ctx.szBaseDom =
        st.bFile ? page.substr(0, page.rfind('/') + 1) : page.substr(0, std::min(page.size(), HostEnd(page) + 1));
    st.szTmpBHref = PageDirectory(page, ctx.szBaseDom);
    if (!link.empty())
        HandleLink(ctx, st, link);
    for (int i = 0; i < ctx.LB.GetCount(); ++i) {
        std::string e = ctx.model.At(i).text;
        const std::string kept = e;
        SimplifyUrl(e);
        if (e != kept || ctx.LB.GetReferrer(i) != 7)
            std::abort();
    }
    return 0;
}
