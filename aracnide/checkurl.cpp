#include "checkurl.h"

#include "pagescan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace aracnide {

namespace {

// A local file, open for reading; closed with its error reported, or on destruction.
class LocalFile : public PageReader {
public:
    LocalFile() = default;
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    ~LocalFile() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    // Opens without waiting (a FIFO would block an ordinary open); 0 or errno.
    int Open(const std::string& path)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        return fd_ >= 0 ? 0 : errno;
    }
    int fd() const { return fd_; }
    long Read(char* buffer, size_t size, ErrorInfo& err) override
    {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0)
                return static_cast<long>(n);
            if (errno != EINTR) {
                err = SystemError(errno);
                return -1;
            }
        }
    }
    // 0 on success, else errno.
    int Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};

class RequestReader : public PageReader {
public:
    explicit RequestReader(HttpRequest& r) : r_(r) {}
    long Read(char* buffer, size_t size, ErrorInfo& err) override { return r_.Read(buffer, size, err); }

private:
    HttpRequest& r_;
};

void Referrer(RunContext& ctx)
{
    if (!ctx.szCurPage.empty())
        ctx.Log("> Link in " + ctx.szCurPage + "\r\n");
}

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

// An error that ends a check right after its status record: written under that record's page header
// and referrer, and closed by the blank line that ends every status.
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

void ErrorAfterStatus(RunContext& ctx, const ErrorInfo& e)
{
    RecordError(ctx, e);
    ctx.Log("> Error: " + std::string(std::string_view(e.text).substr(0, 250)));
    ctx.Log("\r\n");
    if (e.code == kErrTimeout)
        ctx.bTimeout = true;
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

// What a local path names that is not a regular file: never opened for reading.
ErrorInfo NotAFile(const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return SystemError(EISDIR);
    return ErrorInfo{kErrNotRegularFile, "Not a regular file (a device, FIFO or socket): it was not read\r\n"};
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

ErrorInfo SystemError(int errnum)
{
    const char* text = std::strerror(errnum);
    if (!text || std::strncmp(text, "Unknown error", 13) == 0)
        return ErrorInfo{static_cast<uint32_t>(errnum), std::to_string(errnum)};
    return ErrorInfo{static_cast<uint32_t>(errnum), std::string(text) + "\r\n"};
}

uint32_t ErrorOut(RunContext& ctx, const ErrorInfo& e)
{
    if (e.code == 0)
        return 0;
    if (ctx.settings.ReportOpt == 0)
        ctx.Log(PageHeaderText(ctx.szCurUrl));
    Referrer(ctx);
    ctx.Log("> Error: ");
    ctx.Log(std::string_view(e.text).substr(0, 250));
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
    std::string szUrl = url;
    ctx.szCurUrl = url;
    uint32_t dwCode = 0, dwCode2 = 0, CurSize = 0;
    bool bSize = true;
    auto result = [&] {
        const uint32_t r = line == -1 ? CurSize : (dwCode2 ? dwCode2 : dwCode);
        if (CheckRecord* rec = ctx.Recording()) {
            rec->result = r;
            rec->sizeKnown = dwCode == kStatusOk && (bSize || CurSize > 0);
            rec->size = CurSize;
        }
        return r;
    };

    if (line != -1 && ctx.settings.ReportOpt == 1)
        ctx.Log(PageHeaderText(url));
    st.szTmpBHref = PageDirectory(url, ctx.szBaseDom);
    ctx.YieldBriefly();

    if (st.bFile) {
        LocalFile file;
        const bool completed = szUrl.ends_with('/');
        const std::string dir = szUrl;
        if (completed)
            szUrl += "index.htm";
        int openError = file.Open(szUrl);
        for (const char* other : {"index.html", "default.htm"}) {
            if (openError == 0 || !completed)
                break;
            szUrl = dir + other;
            openError = file.Open(szUrl);
        }
        if (openError != 0) {
            ErrorOut(ctx, SystemError(openError));
            return 0;
        }
        struct stat info {};
        if (::fstat(file.fd(), &info) != 0) {
            ErrorOut(ctx, SystemError(errno));
            return 0;
        }
        if (!S_ISREG(info.st_mode)) {
            ErrorOut(ctx, NotAFile(info));
            return 0;
        }
        st.szHtml = szUrl;
        CurSize = static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(info.st_size), UINT32_MAX));
        dwCode = kStatusOk;
        ScanAndSize(ctx, st, file, explore, bSize, CurSize);
        if (const int e = file.Close()) {
            ErrorOut(ctx, SystemError(e));
            return 0;
        }
        return result();
    }

    if (!ctx.hOpen) {
        ErrorOut(ctx, HttpError(kErrInternal));
        return result();
    }
    const Clock::TimePoint t0 = ctx.clock->Now();
    std::unique_ptr<HttpRequest> req;
    int redirects = 0;
    bool retried = false;
    bool needOpen = true;
    for (;;) {
        if (needOpen) {
            ErrorInfo err;
            req = ctx.hOpen->OpenUrl(szUrl, err);
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
                req = ctx.hOpen->OpenUrl(szUrl, err);
            }
            if (!req) {
                ctx.bTimeout = false;
                ErrorOut(ctx, err);
                return result();
            }
            needOpen = false;
        }
        ctx.Yield();
        dwCode = static_cast<uint32_t>(req->Status());
        if (dwCode == kStatusOk)
            break;

        if (ctx.settings.ReportOpt == 0)
            ctx.Log(PageHeaderText(ctx.szCurUrl));
        Referrer(ctx);
        ctx.Log("> Status: " + std::to_string(dwCode) + " (" + StatusText(static_cast<int>(dwCode)) + ")\r\n");
        if (const ErrorInfo drained = Drain(ctx, *req)) {
            ErrorAfterStatus(ctx, drained);
            return result();
        }

        if (IsRedirect(dwCode)) {
            const std::optional<std::string> location = req->Location();
            req.reset();
            if (!location) {
                ctx.Log("\r\n");
                return result();
            }
            if (redirects == kMaxRedirects) {
                ErrorAfterStatus(ctx, HttpError(kErrRedirectFailed));
                return result();
            }
            ++redirects;
            szUrl = ResolveLocation(szUrl, *location);
            explore = false;  // a redirect target is never scanned
            ctx.Log("> Link to " + szUrl + "\r\n\r\n");
            if (CheckRecord* rec = ctx.Recording())
                rec->redirects.push_back(szUrl);
            dwCode2 = dwCode;
            needOpen = true;
            continue;
        }
        // The stored credentials go only to the start location's host and port.
        if ((dwCode == 401 || dwCode == 407) && !retried && !ctx.authOrigin.empty() &&
            Origin(szUrl) == ctx.authOrigin) {
            req.reset();
            retried = true;
            ErrorInfo err;
            req = ctx.hOpen->OpenAuthenticated(szUrl, ctx.settings.szUser, ctx.settings.szPass, ctx.szCurUrl, err);
            if (!req) {
                ErrorAfterStatus(ctx, err);
                return result();
            }
            continue;
        }
        ctx.Log("\r\n");
        return result();
    }

    // Status 200.
    if (ctx.settings.bLogData) {
        ctx.Log("> Header: \r\n");
        ctx.Log(req->RawHeaders());
    }
    if (const auto length = req->ContentLength())
        CurSize = static_cast<uint32_t>(std::min<uint64_t>(*length, UINT32_MAX));
    else
        bSize = false;
    RequestReader reader(*req);
    ScanAndSize(ctx, st, reader, explore, bSize, CurSize);
    return result();
}

}  // namespace aracnide
