// The page scan over hostile pages: whatever the bytes and wherever the blocks end, the scan never
// fails, and a page cut into small blocks gives the same check list and base as the page in one block.
// Input: the page, then (at its end, as the data provider takes them) the read size, the block size and a
// byte of options.

#include "pagescan.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace aracnide;

namespace {

class Reader : public PageReader {
public:
    Reader(std::string_view text, size_t step) : text_(text), step_(step) {}
    long Read(char* buffer, size_t size, ErrorInfo&) override
    {
        const size_t n = std::min({size, step_, text_.size() - pos_});
        std::copy_n(text_.data() + pos_, n, buffer);
        pos_ += n;
        return static_cast<long>(n);
    }

private:
    std::string_view text_;
    size_t step_;
    size_t pos_ = 0;
};

struct Outcome {
    std::vector<std::string> entries;
    std::string base;
};

Outcome Scan(std::string_view page, uint8_t options, size_t block, size_t step)
{
    RunContext ctx(nullptr);
    const bool local = options & 1;
    const std::string url =
        local ? "/site/dir/p.htm" : (options & 2 ? "https://h.dom/dir/p.htm" : "http://h.dom/p.htm");
    ctx.szBaseDom = local ? "/site/" : url.substr(0, url.find('/', 8) + 1);
    ctx.settings.bCEL = options & 4;
    ctx.CheckStatus = kRunning;
    ctx.curlig = options & 8 ? 70000 : 3;
    ctx.LB.AddString(local ? "dir/p.htm\tOk" : "\tOk");  // the start entry, as a run has it
    PageState st;
    st.bFile = local;
    st.szHtml = url;
    st.szTmpBHref = PageDirectory(url, ctx.szBaseDom);
    st.blockSize = block;
    Reader reader(page, step);
    uint32_t size = 0;
    ScanPage(ctx, st, reader, options & 16, size);
    if (st.decal > kMaxCarry)
        std::abort();
    Outcome out;
    for (int i = 1; i < ctx.LB.GetCount(); ++i) {
        const std::string& e = ctx.model.At(i).text;
        // Resolution never empties a link text.
        if (e.empty())
            std::abort();
        if (ctx.LB.GetReferrer(i) != ctx.curlig || ctx.model.At(i).data != EntryData(ctx.curlig, false))
            std::abort();
        out.entries.push_back(e);
    }
    out.base = ctx.szBaseDom;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const uint8_t options = in.ConsumeIntegral<uint8_t>();
    size_t block = 1 + in.ConsumeIntegral<uint8_t>() % 64;
    const size_t step = 1 + in.ConsumeIntegral<uint8_t>() % 16;
    const std::string page = in.ConsumeRemainingBytesAsString();
    // Tiny blocks scan a carried text again for each of them: on longer pages, blocks grow with the page
    // so that a run stays fast enough to explore.
    block *= 1 + page.size() / 512;

    const Outcome whole = Scan(page, options, kScanBlock, kScanBlock);
    // A link longer than the carry bound is dropped when a block end cuts it; shorter pages never have one.
    if (page.size() <= kMaxCarry) {
        const Outcome split = Scan(page, options, block, step);
        if (split.entries != whole.entries || split.base != whole.base)
            std::abort();
    }
    return 0;
}
