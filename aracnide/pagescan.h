#pragma once
// Page scanning and the URL text rules: link attributes found block by block, filtered, resolved
// against the site base and appended to the check list.

#include "general.h"
#include "text.h"

#include <string>
#include <string_view>
#include <vector>

namespace aracnide {

// Folds "./" and "dir/../" (and their backslash forms) in place; only the text's first "." is looked at,
// so host names and file names stop the folding. Returns 1.
int SimplifyUrl(std::string& text);
// Local paths already use "/" on this system: the text is left as it is.
void UrlToFile(std::string& text);

struct UrlComponents {
    std::string host;  // a port written in the URL stays part of it
    std::string path;  // from the first "/" after the host, empty when there is none
};
UrlComponents CrackUrl(std::string_view url);

// Whether a check URL names a local file (an absolute path).
bool IsLocal(std::string_view url);
// The end of the scheme and host part of a URL: the index of the "/" after the host, or the length.
size_t HostEnd(std::string_view url);
// "scheme://host[:port]", lower case, with the scheme's port made explicit; empty for no host.
std::string Origin(std::string_view url);

// The page's directory relative to the site base, with its final "/"; empty when the page lies directly
// in the base or outside it.
std::string PageDirectory(std::string_view url, std::string_view base);

// Source of a page's bytes, read block by block.
class PageReader {
public:
    virtual ~PageReader() = default;
    // At most `size` bytes: the count, 0 at the end, -1 with `err` set.
    virtual long Read(char* buffer, size_t size, ErrorInfo& err) = 0;
};

struct PageState;

// What the scan of one page did with each link text it met, so that a text met again skips its
// resolution and its list lookup. Texts match byte for byte: on one page and under one base a text
// resolves alike, and an entry found in the list stays the first with its text while entries are only
// appended (ListModel::Changes() tells when anything else happened).
class LinkMemo {
public:
    // What a text came to: the index of its entry (>= 0) or one of these.
    static constexpr int kLeftOut = -1;  // filtered, or left out once resolved
    static constexpr int kListed = -2;   // in the list; which entry was not looked up
    static constexpr int kUnknown = -3;  // not recorded
    // The outcome recorded for `text`, whose HashText(text, false) is `hash`, or kUnknown.
    int Find(std::string_view text, uint64_t hash) const;
    // Records (or replaces) an outcome. Past a bound on the texts kept, new texts are not recorded.
    void Put(std::string_view text, uint64_t hash, int outcome);
    void Clear();

    uint64_t listChanges = 0;  // ListModel::Changes() when the outcomes were recorded

private:
    // A slot is 8 bytes, so the table of a link-dense page stays small; what it names lies in records_
    // as one run of words: the hash's low half (to place it again when the table grows), the outcome,
    // the text's size, then the text.
    static constexpr uint32_t kFree = UINT32_MAX;
    struct Slot {
        uint32_t check = 0;   // the hash's high half (the low bits place the slot)
        uint32_t at = kFree;  // the record's first word in records_
    };
    static constexpr size_t kHeader = 3;                       // words before a record's text
    size_t Probe(std::string_view text, uint64_t hash) const;  // the slot holding `text` or the free one
    std::vector<Slot> slots_;        // open addressing, a power of two in size, never more than half used
    std::vector<uint32_t> records_;  // the records, one after another
    size_t used_ = 0;
    size_t textBytes_ = 0;
};

// Where a scan's links go instead of the check list (a look-ahead scan collects them).
class LinkSink {
public:
    virtual ~LinkSink() = default;
    virtual void Link(PageState& st, std::string_view link) = 0;
};

// State of the scan of one page.
struct PageState {
    LinkSink* sink = nullptr;  // null: each link goes to HandleLink
    std::string szTmpBHref;    // page directory under the base
    std::string szHtml;        // the page's own URL
    bool bFile = false;        // the page is a local file
    bool bComment = false;
    bool bSrc = false;
    bool bBase = false;
    size_t decal = 0;               // bytes carried to the start of the buffer
    size_t blockSize = kScanBlock;  // new bytes a block is filled to before it is scanned (1..kScanBlock)
    uint64_t looked = 0;            // bytes handed to the block scan plus bytes walked back over: its cost
    char lastStop = 0;              // last of '<' '>' ';' '.' before the buffer start (0 for none)
    bool lastTagBase = false;       // lastStop is the '<' of a base tag
    char before[3] = {};            // the three characters before the buffer start, for the comment test
    std::string result;             // link being resolved; kept to reuse its storage
    LinkMemo memo;                  // outcomes of the link texts met on the page under its current base
};

enum class ScanEnd { Complete, ReadError, TooLong };

// Reads the page to its end (or until the run leaves the running state) and scans every block.
// `bSize` says whether `CurSize` came from the server; otherwise the bytes read are added to it.
ScanEnd ScanPage(RunContext& ctx, PageState& st, PageReader& reader, bool bSize, uint32_t& CurSize);
// Scans buf[0..len) (with buf[len] readable); returns where the carried tail starts, or len for none.
size_t ScanBlock(RunContext& ctx, PageState& st, char* buf, size_t len);
// Filters one link text and adds it to the check list, sizes it as an image, or takes it as the base.
void HandleLink(RunContext& ctx, PageState& st, std::string_view link);
// Scans a whole page held in memory with `buffer` as the scan's buffer (not the run's), for a sink.
void ScanText(RunContext& ctx, PageState& st, std::string_view text, std::vector<char>& buffer);
// The URL that a check of `link`, found on the page of `st`, would ask for if the scan added it now:
// empty when the scan would not add it (filtered, an image, a base) or its check asks for nothing
// (a local file, an external link left unchecked). `scratch` is reused.
std::string LookAheadUrl(const RunContext& ctx, const PageState& st, std::string_view link, std::string& scratch);
// The URL a check of entry `text` asks for; empty when it asks for none.
std::string RequestUrl(const RunContext& ctx, std::string_view text);
// A local entry on the site base ("/" does not double the base's final "/").
std::string OnBase(std::string_view base, std::string_view entry);

}  // namespace aracnide
