#include "checkurl.h"

#include "pagescan.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace aracnide {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(c | 0x20);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A local file as the page scan reads it.
class FileReader : public PageReader {
public:
    explicit FileReader(InputFile& f) : f_(f) {}
    long Read(char* buffer, size_t size, ErrorInfo& err) override { return f_.Read(buffer, size, err); }

private:
    InputFile& f_;
};

class RequestReader : public PageReader {
public:
    explicit RequestReader(HttpRequest& r) : r_(r) {}
    long Read(char* buffer, size_t size, ErrorInfo& err) override { return r_.Read(buffer, size, err); }

private:
    HttpRequest& r_;
};

bool HasScheme(std::string_view s)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ':')
            return i > 0;
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
              (i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))))
            return false;
    }
    return false;
}

void RecordError(RunContext& ctx, const ErrorInfo& e)
{
    CheckRecord* rec = ctx.Recording();
    if (rec && rec->error.empty()) {
        std::string_view text = e.text;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.remove_suffix(1);
        rec->error = text;
    }
}

// Writes records cut by CheckRecordsText, with the line that names the referring page between pieces.
void WriteRecords(RunContext& ctx, const std::vector<std::string>& pieces)
{
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            Referrer(ctx);
        ctx.Log(pieces[i]);
    }
}

// Reads a response body away, block by block. It stops early, leaving the request to be closed, when
// the run is suspended; when the body runs past its bound or a read fails, with the error returned.
ErrorInfo Drain(RunContext& ctx, HttpRequest& req)
{
    uint64_t total = 0;
    for (;;) {
        ErrorInfo err;
        const long n = req.Read(ctx.drainBuf.data(), kDrainBlock, err);
        if (n < 0)
            return err;
        if (n == 0)
            return {};
        total += static_cast<uint64_t>(n);
        if (total > kMaxDrain)
            return ErrorInfo{kErrConnectionAborted,
                             "The response body is longer than 1 MiB; the request was closed\r\n"};
        if (ctx.CheckStatus != kRunning)
            return {};
    }
}

bool IsRedirect(uint32_t status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Page scan and size records, shared by local files and URLs (steps after the page is open).
void ScanAndSize(RunContext& ctx, PageState& st, PageReader& reader, bool explore, bool bSize, uint32_t& CurSize)
{
    if (!explore || CurSize > kMaxScannedSize)
        return;
    if (ScanPage(ctx, st, reader, bSize, CurSize) == ScanEnd::TooLong)
        return;
    if (ctx.settings.bLogData)
        ctx.Log("\r\n");
    if (ctx.settings.bCalcSize) {
        ctx.UrlSize += CurSize;
        if (ctx.settings.ReportOpt == 1) {
            ctx.Log(SizeLine(CurSize, st.szHtml));
            ctx.Log(TotalLine(ctx.UrlSize));
        }
    }
}

}  // namespace

void Referrer(RunContext& ctx)
{
    if (ctx.logCapture) {  // the line itself is not kept: a replay writes the page of its own time
        std::vector<std::string>* capture = std::exchange(ctx.logCapture, nullptr);
        Referrer(ctx);
        capture->emplace_back();
        ctx.logCapture = capture;
        return;
    }
    if (!ctx.szCurPage.empty())
        ctx.Log("> Link in " + ctx.szCurPage + "\r\n");
}

std::string LocalPath(std::string_view url)
{
    url = url.substr(0, url.find('?'));
    std::string path;
    path.reserve(url.size());
    for (size_t i = 0; i < url.size(); ++i) {
        int high, low;
        if (url[i] == '%' && i + 2 < url.size() && (high = HexDigit(url[i + 1])) >= 0 &&
            (low = HexDigit(url[i + 2])) >= 0) {
            path += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            path += url[i];
        }
    }
    return path;
}

uint32_t ErrorOut(RunContext& ctx, const ErrorInfo& e)
{
    if (e.code == 0)
        return 0;
    CheckOutcome out;
    out.error = e;
    WriteRecords(ctx, CheckRecordsText(ctx.szCurUrl, out, false, ctx.settings.ReportOpt == 0));
    if (e.code == kErrTimeout)
        ctx.bTimeout = true;
    RecordError(ctx, e);
    return e.code;
}

void InternetInit(RunContext& ctx, int seconds)
{
    // A zero or negative time-out would either never end a wait or end every wait at once.
    const long ms = std::clamp(seconds, 1, kMaxTimeoutSeconds) * 1000L;
    if (ctx.hOpen)
        ctx.hOpen->SetOptions(ms, ms, kRequestDeadlineFactor * ms);
}

std::string ResolveLocation(std::string_view current, std::string_view location)
{
    if (HasScheme(location))
        return std::string(location);
    if (location.starts_with("//")) {
        const size_t colon = current.find(':');
        return std::string(current.substr(0, colon == std::string_view::npos ? 0 : colon + 1)) + std::string(location);
    }
    const size_t hostEnd = HostEnd(current);
    if (location.starts_with('/'))
        return std::string(current.substr(0, hostEnd)) + std::string(location);
    // Relative to the directory of the current path (its query and fragment left out).
    std::string_view path = current.substr(hostEnd);
    path = path.substr(0, path.find_first_of("?#"));
    const size_t last = path.rfind('/');
    std::string out(current.substr(0, hostEnd));
    if (last == std::string_view::npos)
        out += '/';
    else
        out.append(path.substr(0, last + 1));
    out.append(location);
    return out;
}

namespace {

// Opens a local page: a folder's index is looked for under its usual names. `path` is the file opened.
CheckOutcome OpenLocal(RunContext& ctx, const std::string& url, std::unique_ptr<InputFile>& file, std::string& path)
{
    CheckOutcome out;
    path = LocalPath(url);
    const bool completed = path.ends_with('/');
    const std::string dir = path;
    if (completed)
        path += "index.htm";
    ErrorInfo openError;
    file = ctx.files->Open(path, openError);
    // The next name is tried only when nothing is there: a folder index that is a FIFO is reported.
    for (const char* other : {"index.html", "default.htm"}) {
        if (file || !completed || openError.code == kErrNotRegularFile || openError.code == EISDIR)
            break;
        path = dir + other;
        openError = {};
        file = ctx.files->Open(path, openError);
    }
    if (!file) {
        out.error = openError;
        return out;
    }
    out.status = kStatusOk;
    out.size = static_cast<uint32_t>(std::min<uint64_t>(file->Size(), UINT32_MAX));
    return out;
}

// Asks the server for `url`, following redirects, asking a busy server once more and retrying once with
// the stored credentials. A page answered 200 is left open in `page` for its body.
CheckOutcome AskServer(RunContext& ctx, std::string url, std::unique_ptr<HttpRequest>& page)
{
    CheckOutcome out;
    const Clock::TimePoint t0 = ctx.clock->Now();
    std::unique_ptr<HttpRequest> req;
    int redirects = 0;
    bool retried = false;
    bool retriedAfter = false;
    bool needOpen = true;
    for (;;) {
        if (needOpen) {
            ErrorInfo err;
            req = ctx.hOpen->OpenUrl(url, err);
            // After a time-out, a failed open is repeated until ten seconds have passed since the
            // check's first open: at growing intervals, a bounded number of times, with the front end
            // kept live in between, and not once the run has been suspended.
            std::chrono::milliseconds wait = kRetryFirstWait;
            for (int retry = 0; !req && ctx.bTimeout && retry < kMaxOpenRetries && ctx.CheckStatus == kRunning;
                 ++retry) {
                const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(ctx.clock->Now() - t0);
                if (elapsed >= ctx.timeoutWindow)
                    break;
                ctx.clock->Wait(std::min(wait, ctx.timeoutWindow - elapsed), ctx.observer.yield);
                wait *= 2;
                err = {};
                req = ctx.hOpen->OpenUrl(url, err);
            }
            if (!req) {
                ctx.bTimeout = false;  // set again when this error is again a time-out
                out.error = err;
                return out;
            }
            needOpen = false;
        }
        ctx.Yield();
        out.status = static_cast<uint32_t>(req->Status());
        if (out.status == kStatusOk)
            break;
        // A server that is busy (429, 503) and says when to come back is asked once more then, when
        // that is soon and within the request's deadline; the first answer leaves no record.
        if ((out.status == 429 || out.status == 503) && !retriedAfter) {
            const auto after = req->RetryAfter();
            const auto deadline = std::chrono::seconds(kRequestDeadlineFactor * ctx.settings.Timeout);
            if (after && *after <= kMaxRetryAfter && ctx.clock->Now() - t0 + *after < deadline) {
                req.reset();
                retriedAfter = true;
                ctx.clock->Wait(*after, ctx.observer.yield);
                needOpen = true;
                continue;
            }
        }

        out.answers.push_back({out.status, {}, false});
        if (ErrorInfo drained = Drain(ctx, *req)) {
            out.error = std::move(drained);
            return out;
        }
        if (IsRedirect(out.status)) {
            const std::optional<std::string> location = req->Location();
            req.reset();
            if (!location)
                return out;
            if (redirects == kMaxRedirects) {
                out.error = HttpError(kErrRedirectFailed);
                return out;
            }
            ++redirects;
            url = ResolveLocation(url, *location);
            out.answers.back().redirectTo = url;
            out.redirectStatus = out.status;
            needOpen = true;
            continue;
        }
        // The stored credentials go only to the start location's host and port.
        if ((out.status == 401 || out.status == 407) && !retried && !ctx.authOrigin.empty() &&
            Origin(url) == ctx.authOrigin) {
            req.reset();
            retried = true;
            out.answers.back().askedAgain = true;
            ErrorInfo err;
            req = ctx.hOpen->OpenAuthenticated(url, ctx.settings.szUser, ctx.settings.szPass, ctx.szCurUrl, err);
            if (!req) {
                out.error = std::move(err);
                return out;
            }
            continue;
        }
        return out;
    }

    if (const auto length = req->ContentLength())
        out.size = static_cast<uint32_t>(std::min<uint64_t>(*length, UINT32_MAX));
    else
        out.sizeAnnounced = false;
    page = std::move(req);
    return out;
}

// Keeps what the check found in the entry's record (or the image's), and returns the check's result.
uint32_t Record(RunContext& ctx, const CheckOutcome& out, bool image)
{
    const uint32_t result = out.Result(image);
    if (out.error)
        RecordError(ctx, out.error);
    if (CheckRecord* rec = ctx.Recording()) {
        for (const CheckOutcome::Answer& a : out.answers)
            if (!a.redirectTo.empty())
                rec->redirects.push_back(a.redirectTo);
        rec->result = result;
        rec->finalStatus = out.status;
        rec->sizeKnown = out.SizeKnown();
        rec->size = out.size;
    }
    return result;
}

}  // namespace

uint32_t CheckUrl(RunContext& ctx, const std::string& url, int line, bool explore)
{
    // An image check during a page scan must leave the page's URL for the page's later records.
    struct RestoreCurUrl {
        RunContext& ctx;
        std::string saved;
        bool active;
        ~RestoreCurUrl()
        {
            if (active)
                ctx.szCurUrl = std::move(saved);
        }
    } restore{ctx, line < 0 ? ctx.szCurUrl : std::string(), line < 0};

    // What the check finds goes to the entry's record (image checks have none of their own).
    struct Recording {
        RunContext& ctx;
        int saved;
        ~Recording() { ctx.recordIndex = saved; }
    } recording{ctx, ctx.recordIndex};
    ctx.recordIndex = -1;
    if (line >= 0 && ctx.keepRecords) {
        if (ctx.records.size() <= static_cast<size_t>(line))
            ctx.records.resize(static_cast<size_t>(line) + 1);
        CheckRecord& r = ctx.records[static_cast<size_t>(line)];
        r.checked = true;
        r.url = url;
        ctx.recordIndex = line;
    }

    PageState st;
    st.bFile = IsLocal(url);
    st.szHtml = url;
    ctx.szCurUrl = url;
    st.szTmpBHref = PageDirectory(url, ctx.szBaseDom);
    if (st.bFile && !IStartsWith(url, ctx.szBaseDom))  // a local page outside the site's folder
        st.szTmpBHref.assign(url, 0, url.rfind('/') + 1);
    ctx.YieldBriefly();

    std::unique_ptr<InputFile> file;
    std::unique_ptr<HttpRequest> page;
    CheckOutcome out;
    if (st.bFile)
        out = OpenLocal(ctx, url, file, st.szHtml);
    else if (ctx.hOpen)
        out = AskServer(ctx, url, page);
    else
        out.error = HttpError(kErrInternal);

    const bool image = line == -1;
    WriteRecords(ctx, CheckRecordsText(url, out, !image && ctx.settings.ReportOpt == 1, ctx.settings.ReportOpt == 0));
    if (out.error.code == kErrTimeout)
        ctx.bTimeout = true;

    if (file) {
        // A file reached again by another path (a folder link, "a/../") is the same page: scanned
        // once, under the path that reached it first, so links that loop through folders end.
        if (explore && !ctx.scannedFiles.insert(file->Id()).second)
            explore = false;
        FileReader reader(*file);
        ScanAndSize(ctx, st, reader, explore, out.sizeAnnounced, out.size);
        if (const ErrorInfo closed = file->Close()) {
            ErrorOut(ctx, closed);
            return 0;
        }
    } else if (page) {
        if (ctx.settings.bLogData) {
            ctx.Log("> Header: \r\n");
            ctx.Log(page->RawHeaders());
        }
        RequestReader reader(*page);
        // A redirect target is never scanned.
        ScanAndSize(ctx, st, reader, explore && out.redirectStatus == 0, out.sizeAnnounced, out.size);
    }
    return Record(ctx, out, image);
}

}  // namespace aracnide
