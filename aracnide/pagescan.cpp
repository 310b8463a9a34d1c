#include "pagescan.h"

#include "checkurl.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace aracnide {

namespace {

inline char Lower(char c)
{
    return AsciiLower(c);
}
inline bool IsSep(char c)
{
    return c == '/' || c == '\\';
}
constexpr std::array<bool, 256> kStops = [] {
    std::array<bool, 256> t{};
    for (const unsigned char c : {'<', '>', ';', '.'})
        t[c] = true;
    return t;
}();
inline bool IsStop(char c)
{
    return kStops[static_cast<unsigned char>(c)];
}
inline bool IsAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsAlnum(char c)
{
    return (c >= '0' && c <= '9') || IsAlpha(c);
}
// Characters that end a link text. Line breaks and tabs end it too: an unquoted value stops at them.
constexpr std::array<bool, 256> kEndsLink = [] {
    std::array<bool, 256> t{};
    for (const unsigned char c : {'"', '\'', '#', '>', ' ', '\r', '\n', '\t'})
        t[c] = true;
    return t;
}();
inline bool EndsLink(char c)
{
    return kEndsLink[static_cast<unsigned char>(c)];
}

// The searches below look at 16 bytes at a time and never read at or past `len`.

// Whether c, in any case, is the letter before the '=' of "href=" or "src=".
inline bool EndsMarkerName(char c)
{
    return (c | 0x20) == 'f' || (c | 0x20) == 'c';
}

// Four bytes as one word in memory order, each with 0x20 set: for an ASCII letter that is its lower
// case, and a byte becomes a lower-case letter only when it is that letter in either case.
inline uint32_t Folded4(const char* p)
{
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w | 0x20202020u;
}
constexpr uint32_t Word4(const char (&s)[5])
{
    uint32_t w = 0;
    for (int i = 0; i < 4; ++i)
        w |= uint32_t(uint8_t(s[i])) << (std::endian::native == std::endian::little ? 8 * i : 8 * (3 - i));
    return w;
}

// The first '-' in buf[from..len), or '=' that may end "href=" or "src=" (an '=' after any other byte
// cannot), or len. An '=' at `from` itself is always returned: the byte before it is not looked at.
size_t NextDashOrEquals(const char* buf, size_t from, size_t len)
{
    if (from < len && (buf[from] == '-' || buf[from] == '='))
        return from;
    ++from;
#if defined(__SSE2__)
    const __m128i dash = _mm_set1_epi8('-'), equals = _mm_set1_epi8('='), lower = _mm_set1_epi8(0x20);
    const __m128i f = _mm_set1_epi8('f'), c = _mm_set1_epi8('c');
    for (; from + 16 <= len; from += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + from));
        const __m128i before = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + from - 1)), lower);
        const __m128i marker = _mm_or_si128(_mm_cmpeq_epi8(before, f), _mm_cmpeq_epi8(before, c));
        const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, dash), _mm_and_si128(_mm_cmpeq_epi8(v, equals), marker));
        if (const auto hits = static_cast<unsigned>(_mm_movemask_epi8(hit)))
            return from + static_cast<size_t>(std::countr_zero(hits));
    }
#endif
    for (; from < len; ++from)
        if (buf[from] == '-' || (buf[from] == '=' && EndsMarkerName(buf[from - 1])))
            return from;
    return len;
}

// The first character in buf[from..len) that ends a link text, or len.
size_t NextLinkEnd(const char* buf, size_t from, size_t len)
{
#if defined(__SSE2__)
    // Each of them is '>' or at most '\'' (0x27): such bytes are found 16 at a time, then told apart.
    const __m128i top = _mm_set1_epi8(0x27), close = _mm_set1_epi8('>');
    for (; from + 16 <= len; from += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + from));
        const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(v, top), v);
        auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(low, _mm_cmpeq_epi8(v, close))));
        for (; hits != 0; hits &= hits - 1)
            if (const size_t at = from + static_cast<size_t>(std::countr_zero(hits)); EndsLink(buf[at]))
                return at;
    }
#endif
    while (from < len && !EndsLink(buf[from]))
        ++from;
    return from;
}

// The last three characters in lower case, packed; 0 for a shorter text.
uint32_t Last3(std::string_view text)
{
    if (text.size() < 3)
        return 0;
    const char* e = text.data() + text.size() - 3;
    return uint32_t(uint8_t(Lower(e[0]))) << 16 | uint32_t(uint8_t(Lower(e[1]))) << 8 | uint8_t(Lower(e[2]));
}

constexpr uint32_t Pack(const char (&s)[4])
{
    return uint32_t(uint8_t(s[0])) << 16 | uint32_t(uint8_t(s[1])) << 8 | uint8_t(s[2]);
}

// Whether `rest`, the text after a letter up to the block end, is the beginning of `marker` cut short.
bool CutMarker(std::string_view rest, std::string_view marker)
{
    if (rest.size() >= marker.size())
        return false;
    for (size_t i = 0; i < rest.size(); ++i)
        if (Lower(rest[i]) != marker[i])
            return false;
    return true;
}

// The tag name after the '<' at buf[q]: whether it is "base" (any case) with no letter after it.
// buf[end] must be readable; letters past it are not known yet.
bool TagIsBase(const char* buf, size_t q, size_t end)
{
    return q + 5 <= end && IEquals(std::string_view(buf + q + 1, 4), "base") && !IsAlpha(buf[q + 5]);
}

// Whether the tag name after the '<' at buf[q] is cut by `end` while it may still become "base".
bool TagNameUndecided(const char* buf, size_t q, size_t end)
{
    if (end - (q + 1) > 4)
        return false;
    return IStartsWith("base", std::string_view(buf + q + 1, end - (q + 1)));
}

// A link that begins with "//" takes the scheme of the page it is on ("https:" + "//host/x").
std::string_view SchemeOf(std::string_view page)
{
    const size_t colon = page.find(':');
    return colon == std::string_view::npos ? std::string_view() : page.substr(0, colon + 1);
}

// The list text of a link as the scan would add it, in `r`: false when the link is left out.
bool ResolveLink(const RunContext& ctx, const PageState& st, std::string_view link, std::string& r)
{
    bool rel;
    if (link.starts_with("//")) {
        // Scheme-relative: another host (or the same one) under the page's own scheme. A local page has
        // none that could reach a host, so such a link on it is left out.
        const std::string_view scheme = SchemeOf(st.szHtml);
        if (st.bFile || scheme.empty())
            return false;
        rel = false;
        r.assign(scheme);
        r.append(link);
    } else if (link.find(':') == std::string_view::npos) {
        rel = true;
        if (link.front() == '/' && st.bFile) {
            // On a local page the domain is the file system: a root-relative link is the file's path,
            // kept relative to the base when it lies inside, as the page's other links are.
            r.clear();
            if (link.size() > ctx.szBaseDom.size() && link.starts_with(ctx.szBaseDom))
                link.remove_prefix(ctx.szBaseDom.size());
        } else if (link.front() == '/') {
            // The base (or a directory that holds a ':') without its final separator.
            const std::string_view from = st.szTmpBHref.find(':') != std::string::npos ? st.szTmpBHref : ctx.szBaseDom;
            r.assign(from.substr(0, from.empty() ? 0 : from.size() - 1));
        } else {
            r = st.szTmpBHref;
        }
        r.append(link);
        if (st.bFile)
            UrlToFile(r);
    } else {
        rel = false;
        r.assign(link);
    }
    if (ctx.settings.wholeSite && !ctx.siteOrigin.empty() && r.find(':') != std::string::npos &&
        Origin(r) == ctx.siteOrigin && Origin(ctx.szBaseDom) == ctx.siteOrigin) {
        // The whole site is local: a link to its host, in any form, is stored relative to the base.
        // An empty path is the site root: the start entry when the run started there, else "/".
        r.erase(0, std::min(HostEnd(r) + 1, r.size()));
        if (r.empty()) {
            if (ctx.LB.GetCount() > 0 && ctx.model.At(0).text.substr(0, ctx.model.At(0).text.find('\t')).empty())
                return false;
            r = "/";
        }
        rel = true;
    }
    const std::string_view base = ctx.szBaseDom, dir = st.szTmpBHref;
    if (r.size() >= base.size() + dir.size() && IEquals(std::string_view(r).substr(0, base.size()), base) &&
        IEquals(std::string_view(r).substr(base.size(), dir.size()), dir)) {
        rel = true;
        r.erase(0, base.size());
        if (r.empty())
            r = "/";
    }
    if (IStartsWith(r, "cgi"))
        return false;
    if (!rel && !ctx.settings.bCEL)
        return false;
    SimplifyUrl(r);
    return true;
}

// One more page that links to the entry (once per page).
void AddReferrer(RunContext& ctx, int entry)
{
    if (ctx.records.size() <= static_cast<size_t>(entry))
        ctx.records.resize(static_cast<size_t>(entry) + 1);
    std::vector<int>& refs = ctx.records[static_cast<size_t>(entry)].referrers;
    if (refs.empty() || refs.back() != ctx.curlig)
        refs.push_back(ctx.curlig);
}

// Adds the link to the list unless it is left out or already there; returns what it came to, as the
// page's memo records it (kAgain: not to be recorded).
constexpr int kAgain = -100;
int AddLink(RunContext& ctx, PageState& st, std::string_view link)
{
    std::string& r = st.result;
    if (!ResolveLink(ctx, st, link, r))
        return LinkMemo::kLeftOut;
    if (ctx.LB.Contains(r)) {
        if (!ctx.keepRecords)
            return LinkMemo::kListed;
        const int found = ctx.LB.FindString(r);
        if (found < 0)
            return kAgain;
        AddReferrer(ctx, found);
        return found;
    }
    const int index = ctx.LB.AddString(r);
    if (index < 0)
        return kAgain;
    if (ctx.keepRecords) {
        if (ctx.records.size() <= static_cast<size_t>(index))
            ctx.records.resize(static_cast<size_t>(index) + 1);
        ctx.records[static_cast<size_t>(index)].referrers.push_back(ctx.curlig);
    }
    ctx.LB.SetItemData(index, EntryData(ctx.curlig, false));
    ctx.LB.SetReferrer(index, ctx.curlig);
    const int count = ctx.LB.GetCount();
    if (ctx.observer.progress)
        ctx.observer.progress(static_cast<int>(int64_t{ctx.curlig} * 100 / count));
    if (ctx.observer.counter)
        ctx.observer.counter(ctx.curlig, count);
    return index;
}

void TakeBase(RunContext& ctx, PageState& st, std::string_view link)
{
    if (st.bFile || !IStartsWith(link, "http"))
        return;
    if (!IStartsWith(link, ctx.szBaseDom)) {
        const size_t end = HostEnd(link);
        ctx.szBaseDom.assign(link.substr(0, end));
        ctx.szBaseDom += '/';
        if (ctx.observer.baseChanged)
            ctx.observer.baseChanged(ctx.szBaseDom);
    }
    st.szTmpBHref = PageDirectory(link, ctx.szBaseDom);
    st.memo.Clear();  // the page's links now resolve against another base
}

// The URL with the "." and ".." segments of its path resolved, as a browser requests it; its query and
// fragment as they are. A ".." above the root stays at the root.
std::string WithoutDotSegments(std::string_view url)
{
    const size_t pathStart = IsLocal(url) ? 0 : HostEnd(url);
    const size_t pathEnd = std::min(url.find_first_of("?#", pathStart), url.size());
    std::string out(url.substr(0, pathStart));
    const size_t root = out.size();
    std::string_view path = url.substr(pathStart, pathEnd - pathStart);
    while (!path.empty()) {
        const size_t slash = path.find('/', 1);
        const std::string_view seg = path.substr(0, slash);  // with its leading "/", if any
        path.remove_prefix(seg.size());
        const std::string_view name = seg.starts_with('/') ? seg.substr(1) : seg;
        if (name == "." || name == "..") {
            if (name == ".." && out.size() > root)
                out.resize(std::max(out.rfind('/'), root));
            if (path.empty())
                out += '/';
            continue;
        }
        out.append(seg);
    }
    out.append(url.substr(pathEnd));
    return out;
}

void SizeImage(RunContext& ctx, PageState& st, std::string_view link)
{
    const size_t slash = link.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? link : link.substr(slash + 1);
    if (ctx.szImage.find(name) != std::string::npos || ctx.szImage.size() > kMaxImageList)
        return;
    ctx.szImage.append(name);
    ctx.szImage += ',';
    std::string url;
    if (link.find(':') != std::string_view::npos) {
        url = link;
    } else if (link.starts_with("//")) {
        if (st.bFile || SchemeOf(st.szHtml).empty())
            return;
        url.assign(SchemeOf(st.szHtml));
        url.append(link);
    } else if (link.front() == '/' && st.bFile) {
        url = link;  // a path from the file system's root
    } else if (link.front() == '/') {
        // Root-relative: the base without its final "/", as for links, so no "//" enters the path.
        url.assign(ctx.szBaseDom, 0, ctx.szBaseDom.empty() ? 0 : ctx.szBaseDom.size() - 1);
        url.append(link);
    } else {
        // The page's directory, relative to the base unless the page lies outside it.
        url = IsLocal(st.szTmpBHref) ? st.szTmpBHref : ctx.szBaseDom + st.szTmpBHref;
        url.append(link);
    }
    if (IsLocal(url))
        UrlToFile(url);
    url = WithoutDotSegments(url);  // "sub/../img/x.gif" is the image "img/x.gif"
    uint32_t size;
    if (!ctx.imageCache) {
        size = CheckUrl(ctx, url, -1, false);
    } else if (auto cached = ctx.imageChecks.find(url); cached != ctx.imageChecks.end()) {
        const RunContext::ImageCheck& c = cached->second;
        for (size_t i = 0; i < c.records.size(); ++i) {
            if (i > 0)
                Referrer(ctx);
            ctx.Log(c.records[i]);
        }
        size = c.size;
        if (c.broken >= 0) {
            std::vector<int>& refs = ctx.brokenImages[static_cast<size_t>(c.broken)].referrers;
            if (refs.empty() || refs.back() != ctx.curlig)
                refs.push_back(ctx.curlig);
        }
    } else {
        // Asked for once per run: the outcome and the records it wrote are kept for every later page.
        RunContext::ImageCheck c;
        c.records.emplace_back();
        CheckRecord outcome;
        outcome.url = url;
        {
            struct Capture {
                RunContext& ctx;
                ~Capture()
                {
                    ctx.logCapture = nullptr;
                    ctx.imageRecord = nullptr;
                }
            } capture{ctx};
            ctx.logCapture = &c.records;
            ctx.imageRecord = &outcome;
            c.size = size = CheckUrl(ctx, url, -1, false);
        }
        if (outcome.finalStatus != kStatusOk) {
            c.broken = static_cast<int>(ctx.brokenImages.size());
            outcome.referrers.push_back(ctx.curlig);
            ctx.brokenImages.push_back(std::move(outcome));
        }
        ctx.imageChecks.emplace(url, std::move(c));
    }
    if (ctx.settings.ReportOpt == 1)
        ctx.Log(SizeLine(size, link));
    ctx.UrlSize += size;
}

}  // namespace

int SimplifyUrl(std::string& t)
{
    for (;;) {
        const size_t i = t.find('.');
        if (i == std::string::npos)
            return 1;
        if (i + 1 < t.size() && IsSep(t[i + 1])) {
            t.erase(i, 2);
            continue;
        }
        if (i > 1 && IsSep(t[i - 1]) && i + 2 < t.size() && t[i + 1] == '.' && IsSep(t[i + 2])) {
            // Remove the directory name before "/../" together with it.
            size_t s = i - 1;
            while (s > 0 && !IsSep(t[s - 1]))
                --s;
            t.erase(s, i + 3 - s);
            continue;
        }
        return 1;
    }
}

void UrlToFile(std::string&) {}

UrlComponents CrackUrl(std::string_view url)
{
    const size_t colon = url.find(':');
    std::string_view rest = colon == std::string_view::npos ? url : url.substr(std::min(colon + 3, url.size()));
    const size_t slash = rest.find('/');
    UrlComponents c;
    c.host.assign(rest.substr(0, slash));
    if (slash != std::string_view::npos)
        c.path.assign(rest.substr(slash));
    return c;
}

bool IsLocal(std::string_view url)
{
    return !url.empty() && url.front() == '/';
}

size_t HostEnd(std::string_view url)
{
    const size_t sep = url.find("://");
    const size_t from = sep == std::string_view::npos ? std::min<size_t>(9, url.size()) : sep + 3;
    const size_t slash = url.find('/', from);
    return slash == std::string_view::npos ? url.size() : slash;
}

std::string Origin(std::string_view url)
{
    const size_t sep = url.find("://");
    if (sep == std::string_view::npos)
        return {};
    std::string scheme(url.substr(0, sep));
    std::string host = CrackUrl(url).host;
    for (char& c : scheme)
        c = Lower(c);
    for (char& c : host)
        c = Lower(c);
    if (const size_t at = host.rfind('@'); at != std::string::npos)
        host.erase(0, at + 1);
    const size_t colon = host.rfind(':');
    if (colon == std::string::npos || host.find(']', colon) != std::string::npos)
        host += scheme == "https" ? ":443" : ":80";
    return scheme + "://" + host;
}

std::string PageDirectory(std::string_view url, std::string_view base)
{
    if (!IStartsWith(url, base))
        return {};
    std::string_view rest = url.substr(base.size());
    const size_t last = rest.rfind('/');
    return last == std::string_view::npos ? std::string() : std::string(rest.substr(0, last + 1));
}

namespace {

enum class LinkKind { Dropped, Base, Image, Link };

// Whether a text whose last three letters, lower case and packed, are `last` names an image.
bool IsImage(uint32_t last)
{
    return last == Pack("gif") || last == Pack("jpg") || last == Pack("peg") || last == Pack("png");
}

// What HandleLink does with a link text (`base`: the scan found it in a base tag).
LinkKind Classify(bool base, std::string_view link)
{
    if (link.empty())
        return LinkKind::Dropped;
    if (base)
        return LinkKind::Base;
    // The last three letters, lower case, decide both an image and a file type that is left out.
    const uint32_t last = Last3(link);
    if (IsImage(last))
        return LinkKind::Image;
    switch (Lower(link.front())) {
    case 'm':
    case 'n':
    case 'j':
        if (IStartsWith(link, "mailto") || IStartsWith(link, "news") || IStartsWith(link, "java"))
            return LinkKind::Dropped;
        break;
    default:
        break;
    }
    switch (last) {
    case Pack("map"):
    case Pack("zip"):
    case Pack("arj"):
    case Pack("exe"):
    case Pack("xls"):
    case Pack("doc"):
    case Pack("ppt"):
        return LinkKind::Dropped;
    default:
        break;
    }
    if (link.find('@') != std::string_view::npos || link.front() == '#')
        return LinkKind::Dropped;
    return LinkKind::Link;
}

}  // namespace

int LinkMemo::Find(std::string_view text, uint64_t hash) const
{
    if (slots_.empty())
        return kUnknown;
    const Slot& s = slots_[Probe(text, hash)];
    return s.at == kFree ? kUnknown : static_cast<int>(records_[s.at + 1]);
}

size_t LinkMemo::Probe(std::string_view text, uint64_t hash) const
{
    const size_t mask = slots_.size() - 1;
    const auto check = static_cast<uint32_t>(hash >> 32);
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.at == kFree)
            return i;
        if (s.check != check)
            continue;
        const uint32_t* record = records_.data() + s.at;
        if (record[2] == text.size() &&
            TextEqual(std::string_view(reinterpret_cast<const char*>(record + kHeader), text.size()), text, false))
            return i;
    }
}

void LinkMemo::Put(std::string_view text, uint64_t hash, int outcome)
{
    // A page of many distinct links gains little from the memo: its memory stays bounded.
    constexpr size_t kMaxTexts = 256 * 1024, kMaxLinks = 8192;
    if (!slots_.empty()) {
        if (const Slot& s = slots_[Probe(text, hash)]; s.at != kFree) {
            records_[s.at + 1] = static_cast<uint32_t>(outcome);
            return;
        }
    }
    if (textBytes_ + text.size() > kMaxTexts || used_ >= kMaxLinks)
        return;
    if (2 * (used_ + 1) > slots_.size()) {
        std::vector<Slot> old(std::max<size_t>(64, 2 * slots_.size()));
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const Slot& s : old) {
            if (s.at == kFree)
                continue;
            size_t i = records_[s.at] & mask;  // the hash's low half places it
            while (slots_[i].at != kFree)
                i = (i + 1) & mask;
            slots_[i] = s;
        }
    }
    const auto at = static_cast<uint32_t>(records_.size());
    slots_[Probe(text, hash)] = {static_cast<uint32_t>(hash >> 32), at};
    records_.resize(at + kHeader + (text.size() + 3) / 4);
    records_[at] = static_cast<uint32_t>(hash);
    records_[at + 1] = static_cast<uint32_t>(outcome);
    records_[at + 2] = static_cast<uint32_t>(text.size());
    std::memcpy(records_.data() + at + kHeader, text.data(), text.size());
    textBytes_ += text.size();
    ++used_;
}

void LinkMemo::Clear()
{
    if (used_ == 0)
        return;
    std::fill(slots_.begin(), slots_.end(), Slot{});
    records_.clear();
    used_ = 0;
    textBytes_ = 0;
}

void HandleLink(RunContext& ctx, PageState& st, std::string_view link)
{
    // Empty texts, base values and images are told from the text alone (as Classify tells them), and
    // nothing resolves them.
    if (link.empty())
        return;
    if (st.bBase) {
        st.bBase = false;
        TakeBase(ctx, st, link);
        return;
    }
    if (IsImage(Last3(link))) {
        if (ctx.settings.bCalcSize && st.bSrc)
            SizeImage(ctx, st, link);
        return;
    }
    // Any other text met before on the page does what it did then, without being filtered, resolved or
    // looked up again.
    LinkMemo& memo = st.memo;
    if (memo.listChanges != ctx.model.Changes()) {
        memo.Clear();
        memo.listChanges = ctx.model.Changes();
    }
    const uint64_t hash = HashText(link, false);
    if (const int known = memo.Find(link, hash); known != LinkMemo::kUnknown) {
        if (known >= 0) {
            if (ctx.keepRecords)
                AddReferrer(ctx, known);
            return;
        }
        if (known == LinkMemo::kLeftOut || !ctx.keepRecords)
            return;
        // Listed, but which entry was not looked up: records need it, found below.
    }
    const int outcome = Classify(false, link) == LinkKind::Link ? AddLink(ctx, st, link) : LinkMemo::kLeftOut;
    // An outcome is kept only while the list has seen nothing but appends since it was found.
    if (outcome != kAgain && memo.listChanges == ctx.model.Changes())
        memo.Put(link, hash, outcome);
}

std::string OnBase(std::string_view base, std::string_view entry)
{
    if (IsLocal(base) && IsLocal(entry))  // a file named from the file system's root
        return std::string(entry);
    if (!base.empty() && base.back() == '/' && !entry.empty() && entry.front() == '/')
        return std::string(base) + std::string(entry.substr(1));
    return std::string(base) + std::string(entry);
}

std::string RequestUrl(const RunContext& ctx, std::string_view text)
{
    if (text.find(':') != std::string_view::npos)
        return ctx.settings.bCEL && !IsLocal(text) ? std::string(text) : std::string();
    std::string url = OnBase(ctx.szBaseDom, text);
    return IsLocal(url) ? std::string() : url;
}

std::string LookAheadUrl(const RunContext& ctx, const PageState& st, std::string_view link, std::string& scratch)
{
    if (Classify(st.bBase, link) != LinkKind::Link || !ResolveLink(ctx, st, link, scratch))
        return {};
    return RequestUrl(ctx, scratch);
}

void ScanText(RunContext& ctx, PageState& st, std::string_view text, std::vector<char>& buffer)
{
    buffer.resize(kMaxCarry + kScanBlock + 8);
    char* buf = buffer.data();
    st.decal = 0;
    st.bComment = false;
    st.lastStop = 0;
    st.lastTagBase = false;
    std::fill_n(st.before, 3, '\0');
    st.memo.Clear();
    // Blocks as ScanPage makes them: what a scan finds does not depend on where they split.
    for (size_t pos = 0; pos < text.size();) {
        const size_t n = std::min(kScanBlock, text.size() - pos);
        std::memcpy(buf + st.decal, text.data() + pos, n);
        pos += n;
        const size_t len = st.decal + n;
        buf[len] = 0;
        st.decal = 0;
        const size_t from = ScanBlock(ctx, st, buf, len);
        if (from < len) {
            std::memmove(buf, buf + from, len - from);
            st.decal = len - from;
        }
    }
}

size_t ScanBlock(RunContext& ctx, PageState& st, char* buf, size_t len)
{
    // The tag test needs the last '<' '>' ';' '.' before an attribute's letter. It is kept as the scan
    // moves on: `stop`/`stopBase` describe buf[0..known) (with what lay before the buffer start), and
    // only the text between `known` and the letter is looked at, so no byte is walked twice.
    char stop = st.lastStop;
    bool stopBase = st.lastTagBase;
    size_t known = 0;
    st.looked += len;
    auto advance = [&](size_t to) {
        for (size_t q = to; q > known; --q) {
            ++st.looked;
            if (IsStop(buf[q - 1])) {
                stop = buf[q - 1];
                stopBase = stop == '<' && TagIsBase(buf, q - 1, len);
                break;
            }
        }
        known = std::max(known, to);
    };
    // A text cut by the block end is carried to the start of the next block. What lay before it is
    // remembered: the tag state for the tag test, the three characters before it for the comment test.
    auto carry = [&](size_t from) {
        if (len - from > kMaxCarry)
            from = len;  // too long to be a link: dropped
        // A tag name cut by the block end ("<ba") cannot yet say whether it opens a base tag: the tag
        // goes to the next block with the rest.
        for (size_t q = std::min(from, len); q > known && q + 6 > from; --q) {
            if (buf[q - 1] == '<' && TagNameUndecided(buf, q - 1, from)) {
                if (len - (q - 1) <= kMaxCarry)
                    from = q - 1;
                break;
            }
            if (!IsAlpha(buf[q - 1]))
                break;
        }
        advance(from);
        st.lastStop = stop;
        st.lastTagBase = stopBase;
        char keep[3];
        for (int i = 0; i < 3; ++i) {
            const ptrdiff_t at = static_cast<ptrdiff_t>(from) - 3 + i;
            keep[i] = at >= 0 ? buf[at] : st.before[3 + at];
        }
        std::copy_n(keep, 3, st.before);
        return from;
    };
    auto at = [&](size_t p, size_t back) { return p >= back ? buf[p - back] : st.before[3 + p - back]; };
    auto isLetter = [](char c) { return Lower(c) == 'h' || Lower(c) == 's'; };

    // Only two characters matter: '-' (in "<!-", which opens a comment, and "->", which closes it)
    // and '=' (which ends an attribute marker "href=" or "src=" whose letter lies four or three
    // characters before it). `p` is where the scan resumes; nothing before it is looked at again.
    size_t p = 0;
    for (;;) {
        const size_t e = NextDashOrEquals(buf, p, len);
        if (e >= len)
            break;
        if (buf[e] == '-') {
            if (at(e, 2) == '<' && at(e, 1) == '!')
                st.bComment = true;
            if (e + 1 >= len) {
                if (st.bComment)
                    return carry(e);
                break;
            }
            if (buf[e + 1] == '>')
                st.bComment = false;
            p = e + 1;
            continue;
        }
        if (st.bComment) {
            p = e + 1;
            continue;
        }
        // "href=" or "src=", in any case, where either may begin with 'h' or 's'.
        size_t c;
        if (const uint32_t w = e >= p + 4 ? Folded4(buf + e - 4) : 0; w == Word4("href") || w == Word4("sref"))
            c = e - 4;
        else if (const uint32_t v = e >= p + 3 ? Folded4(buf + e - 3) : 0; v == Word4("src=") || v == Word4("hrc="))
            c = e - 3;
        else {
            p = e + 1;
            continue;
        }
        // Tag test: the nearest '<' '>' ';' '.' before the letter must be a '<'.
        advance(c);
        if (stop != '<') {
            p = e + 1;
            continue;
        }
        st.bSrc = Lower(buf[c]) == 's';
        st.bBase = stopBase;  // only an attribute of a base tag sets the base
        size_t v = e + 1;
        if (v >= len)
            return carry(c);
        if (buf[v] == '#') {
            p = v;
            continue;
        }
        if (buf[v] == '"') {
            if (v + 1 >= len)
                return carry(c);
            if (buf[v + 1] == '#') {
                p = v + 1;
                continue;
            }
        }
        while (v < len &&
               !(IsAlnum(buf[v]) || buf[v] == '"' || buf[v] == '#' || buf[v] == '<' || buf[v] == '/' || buf[v] == '.'))
            ++v;
        if (v >= len)
            return carry(c);
        if (buf[v] == '"' && ++v >= len)
            return carry(c);
        if (buf[v] == '"' || buf[v] == '<') {
            p = v;
            continue;
        }
        const size_t end = NextLinkEnd(buf, v + 1, len);
        if (end >= len)
            return carry(c);
        if (st.sink) {
            st.sink->Link(st, std::string_view(buf + v, end - v));
        } else {
            HandleLink(ctx, st, std::string_view(buf + v, end - v));
            ctx.YieldBriefly();
        }
        p = end;
    }
    // A marker cut by the block end ("hr", "sr" ...) is carried so that the next block completes it.
    if (!st.bComment) {
        for (size_t c = std::max(p, len >= 4 ? len - 4 : 0); c < len; ++c) {
            if (!isLetter(buf[c]))
                continue;
            const std::string_view rest(buf + c + 1, len - c - 1);
            if (CutMarker(rest, "ref=") || CutMarker(rest, "rc="))
                return carry(c);
        }
    }
    return carry(len);
}

ScanEnd ScanPage(RunContext& ctx, PageState& st, PageReader& reader, bool bSize, uint32_t& CurSize)
{
    char* buf = ctx.fBuf.data();
    st.decal = 0;
    st.bComment = false;
    st.lastStop = 0;
    st.lastTagBase = false;
    st.looked = 0;
    std::fill_n(st.before, 3, '\0');
    st.memo.Clear();
    uint64_t total = 0;
    for (;;) {
        // A block is filled by as many reads as it takes: a server that sends a few bytes at a time
        // does not make the carried text be scanned again for each of them.
        const size_t block = std::clamp<size_t>(st.blockSize, 1, kScanBlock);
        size_t len = st.decal;
        bool ended = false;
        ErrorInfo err;
        while (len - st.decal < block) {
            const long n = reader.Read(buf + len, block - (len - st.decal), err);
            if (n <= 0) {
                ended = true;
                break;
            }
            if (ctx.settings.bLogData)
                ctx.Log(std::string_view(buf + len, static_cast<size_t>(n)));
            total += static_cast<uint64_t>(n);
            if (!bSize) {
                CurSize += static_cast<uint32_t>(n);
                if (total > kMaxUnknownPage) {
                    ErrorOut(ctx, ErrorInfo{kErrConnectionAborted,
                                            "The page is longer than 10 MB and was not read further\r\n"});
                    return ScanEnd::TooLong;
                }
            }
            len += static_cast<size_t>(n);
            if (ctx.CheckStatus != kRunning)
                break;  // suspended: what has come is scanned, and the page ends there
        }
        if (len > st.decal) {
            buf[len] = 0;
            st.decal = 0;
            const size_t from = ScanBlock(ctx, st, buf, len);
            if (from < len) {
                std::memmove(buf, buf + from, len - from);
                st.decal = len - from;
            }
        }
        if (err) {
            ErrorOut(ctx, err);
            return ScanEnd::ReadError;
        }
        if (ended || ctx.CheckStatus != kRunning)
            return ScanEnd::Complete;
    }
}

}  // namespace aracnide
