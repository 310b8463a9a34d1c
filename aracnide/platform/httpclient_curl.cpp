// The HTTP client on libcurl's multi interface. One multi handle keeps the connection pool, so checks of
// the same host reuse their connection; each request is one easy handle driven only while the caller waits.

#include "httpclient.h"
#include "text.h"

#include <curl/curl.h>
#include <poll.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace aracnide {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kHighWater = 64 * 1024;         // body bytes buffered before the transfer pauses
constexpr size_t kMaxHeaderBytes = 1024 * 1024;  // a response whose headers never end is refused
constexpr long kPollMs = 50;                     // longest wait between two calls of the yield hook

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
using MultiHandle = std::unique_ptr<CURLM, MultiDeleter>;

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
};

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

// The value of header `name` in a "\r\n"-separated header block.
std::optional<std::string> HeaderValue(const std::string& block, std::string_view name)
{
    size_t pos = 0;
    while (pos < block.size()) {
        size_t end = block.find("\r\n", pos);
        if (end == std::string::npos)
            end = block.size();
        std::string_view line(block.data() + pos, end - pos);
        size_t colon = line.find(':');
        if (colon != std::string_view::npos && IEquals(Trim(line.substr(0, colon)), name))
            return std::string(Trim(line.substr(colon + 1)));
        pos = end + 2;
    }
    return std::nullopt;
}

// "scheme://host:port" as written in the URL: what the per-host bound counts by.
std::string_view HostKey(std::string_view url)
{
    const size_t sep = url.find("://");
    const size_t end = url.find('/', sep == std::string_view::npos ? 0 : sep + 3);
    return url.substr(0, end);
}

// Every CURLcode becomes one of our error numbers here, and only here.
uint32_t MapCurlCode(CURLcode c)
{
    switch (c) {
    case CURLE_OPERATION_TIMEDOUT:
        return kErrTimeout;
    case CURLE_URL_MALFORMAT:
        return kErrInvalidUrl;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return kErrUnrecognizedScheme;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return kErrNameNotResolved;
    case CURLE_COULDNT_CONNECT:
        return kErrCannotConnect;
    case CURLE_PARTIAL_FILE:
        return kErrConnectionAborted;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return kErrConnectionReset;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_WRITE_ERROR:  // our header callback refused an endless header block
    case CURLE_BAD_CONTENT_ENCODING:
        return kErrInvalidServerResponse;
    case CURLE_PEER_FAILED_VERIFICATION:
        return kErrInvalidCa;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
        return kErrSecurityChannel;
    case CURLE_ABORTED_BY_CALLBACK:
        return kErrOperationCancelled;
    case CURLE_OUT_OF_MEMORY:
        return kErrOutOfHandles;
    default:
        return kErrInternal;
    }
}

}  // namespace

struct HttpRequest::Transfer {
    HttpClient::Impl* owner = nullptr;
    EasyHandle easy;
    bool attached = false;  // added to the multi handle
    bool done = false;
    CURLcode result = CURLE_OK;
    bool paused = false;
    bool headersDone = false;
    int status = 0;
    size_t headerBytes = 0;
    std::string headers;  // lines of the latest response, "\r\n"-separated
    std::string body;     // received and not yet read: body[bodyPos..]
    size_t bodyPos = 0;
    // The time bounds belong to the request and count from the moment it was sent, whoever drives the
    // network meanwhile and whenever a check takes the answer. Time the transfer spends paused because
    // its reader is behind is the reader's, not the server's: it moves the deadline on.
    Clock::time_point sentAt;
    Clock::time_point lastActivity;  // the last byte from the server (or the sending)
    Clock::time_point headersDue;    // the headers must be complete by then
    Clock::time_point deadline;      // the whole request, headers and body, ends by then
    Clock::time_point pausedAt;
    std::chrono::milliseconds receiveTimeout{15000};
    long deadlineMs = 60000;
    ErrorInfo failure;  // a bound the transfer broke; bytes received before it can still be read
    std::string url;

    size_t Available() const { return body.size() - bodyPos; }

    // Whether the server has broken a bound by `now` (set in `failure`): silent longer than the receive
    // time-out, headers not complete in time, or the request past its deadline.
    bool Expired(Clock::time_point now)
    {
        if (failure)
            return true;
        if (now >= deadline)
            failure = TransferCut(url, deadlineMs);
        else if (now - lastActivity > receiveTimeout || (!headersDone && now >= headersDue))
            failure = HttpError(kErrTimeout);
        return static_cast<bool>(failure);
    }
    // Takes a byte arrival at `now`: false (the transfer is then aborted) when it came too late. The
    // network callbacks run whenever any request is driven, so the time is the arrival's, within a poll.
    bool Arrived(Clock::time_point now)
    {
        if (Expired(now))
            return false;
        lastActivity = now;
        return true;
    }
};

struct HttpClient::Impl {
    CurlGlobal global;
    // The sockets the requests wait on, with the poll events each wants, and when the multi handle's
    // timer runs out: kept from its callbacks (declared before it, so that they outlive its clean-up).
    // Only the sockets that have an event are handed to the multi handle, not every request in flight.
    std::unordered_map<curl_socket_t, short> watched;
    std::optional<Clock::time_point> timerDue;
    std::vector<pollfd> fds;
    MultiHandle multi{curl_multi_init()};
    std::vector<EasyHandle> spare;  // finished easy handles kept for reuse
    std::string agent;
    long connectTimeoutMs = 15000;
    long receiveTimeoutMs = 15000;
    long requestDeadlineMs = 60000;
    std::function<void()> yield;
    std::function<void()> idle;
    bool inIdle = false;
    // Requests ended, and headers completed, so far: the idle hook runs when this has moved (nothing else
    // frees a slot or shows a page or a redirect to follow), and after a wait that no event ended.
    uint64_t progress = 0, progressSeen = 0;
    size_t perHost = 1000000;
    HttpClient::PrefetchCounts counts;
    // Requests started ahead of the checker, by URL, until OpenUrl takes them.
    std::unordered_map<std::string, std::unique_ptr<HttpRequest::Transfer>> prefetched;
    // Hosts (see HostKey) whose last connection attempt was refused: no request is started ahead to
    // them, so that their checks ask them one at a time as with one job, until a connection is made.
    std::unordered_set<std::string> refusing;

    Impl()
    {
        curl_multi_setopt(multi.get(), CURLMOPT_SOCKETFUNCTION, OnSocket);
        curl_multi_setopt(multi.get(), CURLMOPT_SOCKETDATA, this);
        curl_multi_setopt(multi.get(), CURLMOPT_TIMERFUNCTION, OnTimer);
        curl_multi_setopt(multi.get(), CURLMOPT_TIMERDATA, this);
    }
    ~Impl() { DropPrefetches(); }

    static int OnSocket(CURL*, curl_socket_t s, int what, void* user, void*)
    {
        auto* d = static_cast<Impl*>(user);
        if (what == CURL_POLL_REMOVE)
            d->watched.erase(s);
        else
            d->watched[s] =
                static_cast<short>(((what & CURL_POLL_IN) ? POLLIN : 0) | ((what & CURL_POLL_OUT) ? POLLOUT : 0));
        return 0;
    }
    static int OnTimer(CURLM*, long ms, void* user)
    {
        auto* d = static_cast<Impl*>(user);
        if (ms < 0)
            d->timerDue.reset();
        else
            d->timerDue = Clock::now() + std::chrono::milliseconds(ms);
        return 0;
    }

    void DropPrefetches()
    {
        for (auto& [url, t] : prefetched)
            Detach(*t);
        prefetched.clear();
    }

    EasyHandle TakeEasy()
    {
        if (spare.empty())
            return EasyHandle(curl_easy_init());
        EasyHandle h = std::move(spare.back());
        spare.pop_back();
        return h;
    }

    void Detach(HttpRequest::Transfer& t)
    {
        if (t.attached) {
            curl_multi_remove_handle(multi.get(), t.easy.get());
            t.attached = false;
        }
        if (t.easy && spare.size() < 8) {
            curl_easy_reset(t.easy.get());  // drops the pointers into the finished transfer
            spare.push_back(std::move(t.easy));
        }
        t.easy.reset();
    }

    // A refused connection marks its host; an answer (some header came) clears the mark.
    void NoteConnection(const HttpRequest::Transfer& t)
    {
        if (t.result == CURLE_COULDNT_CONNECT)
            refusing.emplace(HostKey(t.url));
        else if (t.headerBytes > 0 && !refusing.empty())
            refusing.erase(std::string(HostKey(t.url)));
    }

    // Waits at most `waitMs` for an event on a watched socket or for the timer, then moves on the
    // requests whose sockets have one, and those whose time has come. Returns how many sockets had one.
    int Step(long waitMs)
    {
        fds.clear();
        for (const auto& [s, events] : watched)
            fds.push_back({s, events, 0});
        if (timerDue) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*timerDue - Clock::now()).count();
            waitMs = std::clamp<long>(static_cast<long>(left), 0, waitMs);
        }
        const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(waitMs));
        int running = 0;
        for (const pollfd& p : fds) {
            if (p.revents == 0)
                continue;
            int ev = 0;
            if (p.revents & (POLLIN | POLLHUP))
                ev |= CURL_CSELECT_IN;
            if (p.revents & POLLOUT)
                ev |= CURL_CSELECT_OUT;
            if (p.revents & (POLLERR | POLLNVAL))
                ev |= CURL_CSELECT_ERR;
            curl_multi_socket_action(multi.get(), p.fd, ev, &running);
        }
        if (timerDue && Clock::now() >= *timerDue) {
            timerDue.reset();  // the action sets it again when more is due
            curl_multi_socket_action(multi.get(), CURL_SOCKET_TIMEOUT, 0, &running);
        }
        ReapMessages();
        return std::max(ready, 0);
    }

    // Moves every request on as far as the network allows now, without waiting.
    void Pump() { Step(0); }

    void ReapMessages()
    {
        int left = 0;
        while (CURLMsg* m = curl_multi_info_read(multi.get(), &left)) {
            if (m->msg != CURLMSG_DONE)
                continue;
            HttpRequest::Transfer* t = nullptr;
            curl_easy_getinfo(m->easy_handle, CURLINFO_PRIVATE, &t);
            ++progress;
            if (t) {
                t->done = true;
                t->result = m->data.result;
                NoteConnection(*t);
            }
        }
    }

    // Drives the network until `ready()` holds or the transfer ends. A transfer that broke one of its
    // bounds (see Transfer::Expired) fails with that error; bytes that came in time are ready first.
    template <class Ready>
    bool Drive(HttpRequest::Transfer& t, Ready ready, ErrorInfo& err)
    {
        bool quiet = true;   // the last wait ended without an event: the caller may have more to start
        bool moved = false;  // the network was moved on since the caller last looked
        for (;;) {
            if (!moved)
                Pump();
            moved = false;
            if (ready() || (t.done && !t.failure))
                return true;
            if (t.Expired(Clock::now())) {
                err = t.failure;
                return false;
            }
            if (t.done)
                return true;
            // Slots that the last answers freed are filled before the wait, not after the next event.
            if (idle && !inIdle && (progress != progressSeen || quiet)) {
                progressSeen = progress;
                inIdle = true;
                idle();
                inIdle = false;
            }
            quiet = Step(kPollMs) == 0;
            moved = true;
            if (yield)
                yield();
        }
    }

    std::unique_ptr<HttpRequest::Transfer> Start(const std::string& url, ErrorInfo& err);
    bool Attach(HttpRequest::Transfer& t, ErrorInfo& err);
    std::unique_ptr<HttpRequest> Finish(std::unique_ptr<HttpRequest::Transfer> t, ErrorInfo& err);
};

namespace {

size_t OnHeader(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<HttpRequest::Transfer*>(user);
    const size_t len = size * count;
    t->headerBytes += len;
    if (t->headerBytes > kMaxHeaderBytes) {
        t->failure = HttpError(kErrInvalidServerResponse);  // headers that never end cannot be read
        return 0;
    }
    if (!t->Arrived(Clock::now()))
        return 0;
    std::string_view line(data, len);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
        t->headers.clear();
        t->status = 0;
        size_t sp = line.find(' ');
        if (sp != std::string_view::npos) {
            std::string_view code = line.substr(sp + 1);
            std::from_chars(code.data(), code.data() + code.size(), t->status);
        }
    }
    t->headers.append(line);
    t->headers.append("\r\n");
    if (line.empty() && t->status >= 200) {
        t->headersDone = true;
        ++t->owner->progress;
    }
    return len;
}

size_t OnBody(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<HttpRequest::Transfer*>(user);
    if (t->Available() >= kHighWater) {
        t->paused = true;
        t->pausedAt = Clock::now();
        return CURL_WRITEFUNC_PAUSE;
    }
    if (t->bodyPos > 0 && t->bodyPos == t->body.size()) {
        t->body.clear();
        t->bodyPos = 0;
    }
    if (!t->Arrived(Clock::now()))
        return 0;
    t->body.append(data, size * count);
    return size * count;
}

}  // namespace

std::unique_ptr<HttpRequest::Transfer> HttpClient::Impl::Start(const std::string& url, ErrorInfo& err)
{
    auto t = std::make_unique<HttpRequest::Transfer>();
    t->owner = this;
    t->url = url;
    t->easy = TakeEasy();
    if (!t->easy || !multi) {
        err = HttpError(kErrOutOfHandles);
        return nullptr;
    }
    CURL* h = t->easy.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, t.get());
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, t.get());
    curl_easy_setopt(h, CURLOPT_PRIVATE, t.get());
    return t;
}

bool HttpClient::Impl::Attach(HttpRequest::Transfer& t, ErrorInfo& err)
{
    // Sent now: every bound of the request counts from here. A server that sends its headers a byte
    // at a time gets twice the longer time-out for all of them.
    t.sentAt = t.lastActivity = Clock::now();
    t.receiveTimeout = std::chrono::milliseconds(receiveTimeoutMs);
    t.deadlineMs = requestDeadlineMs;
    t.deadline = t.sentAt + std::chrono::milliseconds(requestDeadlineMs);
    t.headersDue = t.sentAt + 2 * std::chrono::milliseconds(std::max(connectTimeoutMs, receiveTimeoutMs));
    if (curl_multi_add_handle(multi.get(), t.easy.get()) != CURLM_OK) {
        err = HttpError(kErrInternal);
        Detach(t);
        return false;
    }
    t.attached = true;
    return true;
}

std::unique_ptr<HttpRequest> HttpClient::Impl::Finish(std::unique_ptr<HttpRequest::Transfer> t, ErrorInfo& err)
{
    if (!t->attached && !Attach(*t, err))
        return nullptr;
    HttpRequest::Transfer& tr = *t;
    bool ok = Drive(
        tr, [&] { return tr.headersDone; }, err);
    if (ok && !tr.headersDone) {
        if (tr.result != CURLE_OK)
            err = HttpError(MapCurlCode(tr.result));
        else if (tr.status >= 200)
            tr.headersDone = true;  // finished without a final empty line
        else
            err = HttpError(kErrInvalidServerResponse);
        ok = tr.headersDone;
    }
    if (!ok) {
        Detach(tr);
        return nullptr;
    }
    return std::unique_ptr<HttpRequest>(new HttpRequest(std::move(t)));
}

HttpRequest::HttpRequest(std::unique_ptr<Transfer> t) : t_(std::move(t)) {}

HttpRequest::~HttpRequest()
{
    if (t_ && t_->owner)
        t_->owner->Detach(*t_);
}

int HttpRequest::Status() const
{
    return t_->status;
}

const std::string& HttpRequest::RawHeaders() const
{
    return t_->headers;
}

std::optional<std::string> HttpRequest::Location() const
{
    return HeaderValue(t_->headers, "Location");
}

std::optional<std::chrono::seconds> HttpRequest::RetryAfter() const
{
    const auto v = HeaderValue(t_->headers, "Retry-After");
    if (!v || v->empty())
        return std::nullopt;
    long long n = 0;
    if (auto [p, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
        ec == std::errc() && p == v->data() + v->size())
        return std::chrono::seconds(std::max(0LL, n));
    const time_t when = curl_getdate(v->c_str(), nullptr);
    if (when < 0)
        return std::nullopt;
    return std::chrono::seconds(std::max<long long>(0, static_cast<long long>(when - std::time(nullptr))));
}

std::optional<uint64_t> HttpRequest::ContentLength() const
{
    if (auto te = HeaderValue(t_->headers, "Transfer-Encoding"); te && !IEquals(*te, "identity"))
        return std::nullopt;
    auto v = HeaderValue(t_->headers, "Content-Length");
    if (!v)
        return std::nullopt;
    uint64_t n = 0;
    auto [p, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
    if (ec != std::errc() || p != v->data() + v->size())
        return std::nullopt;
    return n;
}

long HttpRequest::Read(char* buffer, size_t size, ErrorInfo& err)
{
    Transfer& t = *t_;
    if (t.Available() == 0 && !t.done && t.attached) {
        if (t.paused) {
            const Clock::time_point now = Clock::now();
            t.deadline += now - t.pausedAt;
            t.lastActivity = now;
            t.paused = false;
            curl_easy_pause(t.easy.get(), CURLPAUSE_CONT);
        }
        if (!t.owner->Drive(
                t, [&] { return t.Available() > 0; }, err)) {
            t.owner->Detach(t);
            return -1;
        }
    }
    if (t.Available() > 0) {
        const size_t n = std::min(size, t.Available());
        std::memcpy(buffer, t.body.data() + t.bodyPos, n);
        t.bodyPos += n;
        if (t.bodyPos == t.body.size()) {
            t.body.clear();
            t.bodyPos = 0;
        } else if (t.bodyPos >= kHighWater) {
            t.body.erase(0, t.bodyPos);
            t.bodyPos = 0;
        }
        return static_cast<long>(n);
    }
    if (t.failure) {
        err = t.failure;
        return -1;
    }
    if (t.done && t.result != CURLE_OK) {
        err = HttpError(MapCurlCode(t.result));
        return -1;
    }
    return 0;
}

HttpClient::HttpClient(std::string agent) : d_(std::make_unique<Impl>())
{
    d_->agent = std::move(agent);
}

HttpClient::~HttpClient() = default;

void HttpClient::SetOptions(long connectTimeoutMs, long receiveTimeoutMs, long requestDeadlineMs)
{
    d_->connectTimeoutMs = connectTimeoutMs;
    d_->receiveTimeoutMs = receiveTimeoutMs;
    d_->requestDeadlineMs = requestDeadlineMs;
}

void HttpClient::SetYield(std::function<void()> yield)
{
    d_->yield = std::move(yield);
}

std::unique_ptr<HttpRequest> HttpClient::OpenUrl(const std::string& url, ErrorInfo& err)
{
    if (auto it = d_->prefetched.find(url); it != d_->prefetched.end()) {
        // Started ahead: its time-outs and its deadline count from when it was sent.
        std::unique_ptr<HttpRequest::Transfer> t = std::move(it->second);
        d_->prefetched.erase(it);
        ++d_->counts.taken;
        return d_->Finish(std::move(t), err);
    }
    auto t = d_->Start(url, err);
    if (!t)
        return nullptr;
    return d_->Finish(std::move(t), err);
}

bool HttpClient::Prefetch(const std::string& url)
{
    if (d_->prefetched.count(url))
        return true;
    const std::string_view host = HostKey(url);
    if (d_->refusing.count(std::string(host)))
        return true;  // not started: the check asks, as with one job
    size_t sameHost = 0;
    for (const auto& [u, t] : d_->prefetched)
        sameHost += !t->done && HostKey(u) == host;
    if (sameHost >= d_->perHost)
        return false;
    ErrorInfo err;
    auto t = d_->Start(url, err);
    if (!t || !d_->Attach(*t, err))
        return true;  // the later OpenUrl tries again and reports what fails
    ++d_->counts.started;
    d_->prefetched.emplace(url, std::move(t));  // sent by the next move of the network, with the others
    return true;
}

size_t HttpClient::Prefetches() const
{
    return d_->prefetched.size();
}

size_t HttpClient::InFlight() const
{
    size_t n = 0;
    for (const auto& [u, t] : d_->prefetched)
        n += !t->done;
    return n;
}

void HttpClient::Pump()
{
    d_->Pump();
}

void HttpClient::SetPerHost(int count)
{
    d_->perHost = static_cast<size_t>(std::max(1, count));
}

std::optional<std::string_view> HttpClient::PrefetchedPage(const std::string& url) const
{
    const auto it = d_->prefetched.find(url);
    if (it == d_->prefetched.end())
        return std::nullopt;
    const HttpRequest::Transfer& t = *it->second;
    if (!t.done || t.result != CURLE_OK || t.failure || t.status != 200 || !t.headersDone || t.bodyPos != 0)
        return std::nullopt;
    return std::string_view(t.body);
}

std::optional<std::string> HttpClient::PrefetchedLocation(const std::string& url) const
{
    const auto it = d_->prefetched.find(url);
    if (it == d_->prefetched.end() || !it->second->headersDone || it->second->failure)
        return std::nullopt;
    const int status = it->second->status;
    if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
        return std::nullopt;
    return HeaderValue(it->second->headers, "Location");
}

HttpClient::PrefetchCounts HttpClient::Counts() const
{
    return d_->counts;
}

void HttpClient::SetIdle(std::function<void()> idle)
{
    d_->idle = std::move(idle);
}

bool HttpClient::IsPrefetched(const std::string& url) const
{
    return d_->prefetched.count(url) != 0;
}

void HttpClient::DropPrefetches()
{
    d_->DropPrefetches();
}

void HttpClient::DropPrefetch(const std::string& url)
{
    if (auto it = d_->prefetched.find(url); it != d_->prefetched.end()) {
        d_->Detach(*it->second);
        d_->prefetched.erase(it);
    }
}

std::unique_ptr<HttpRequest> HttpClient::OpenAuthenticated(const std::string& url, const std::string& user,
                                                           const std::string& password, const std::string& referrer,
                                                           ErrorInfo& err)
{
    auto t = d_->Start(url, err);
    if (!t)
        return nullptr;
    CURL* h = t->easy.get();
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(h, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(h, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, password.c_str());
    curl_easy_setopt(h, CURLOPT_REFERER, referrer.c_str());
    return d_->Finish(std::move(t), err);
}

}  // namespace aracnide
