#pragma once
// HTTP client used by the link checker: one shared connection pool, requests driven only as far as the
// caller needs (status and headers first, then the body block by block), and errors carried as the
// client's 12000-range numbers. libcurl stays behind this header.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace aracnide {

// A failure as the checker reports it: a number and its text (the text carries its own line end,
// except a bare number for an error the system has no message for).
struct ErrorInfo {
    uint32_t code = 0;
    std::string text;
    explicit operator bool() const { return code != 0; }
};

// Error numbers of the HTTP client (the texts live in one table, see HttpErrorText).
enum : uint32_t {
    kErrOutOfHandles = 12001,
    kErrTimeout = 12002,
    kErrInternal = 12004,
    kErrInvalidUrl = 12005,
    kErrUnrecognizedScheme = 12006,
    kErrNameNotResolved = 12007,
    kErrOperationCancelled = 12017,
    kErrCannotConnect = 12029,
    kErrConnectionAborted = 12030,
    kErrConnectionReset = 12031,
    kErrInvalidCa = 12045,
    kErrInvalidServerResponse = 12152,
    kErrRedirectFailed = 12156,
    kErrSecurityChannel = 12157,
    kErrNotRegularFile = 0x20000001,  // a local path that names a device, FIFO or socket (our own number)
};

// The message for an HTTP client error number, ending in "\r\n"; the number alone when unknown.
std::string HttpErrorText(uint32_t code);
ErrorInfo HttpError(uint32_t code);
// A transfer cut at its deadline: a time-out whose text names the URL and the time it was given.
ErrorInfo TransferCut(const std::string& url, long deadlineMs);

class HttpClient;

// One response. Must not outlive its client. Destroying it before the body's end aborts the transfer.
class HttpRequest {
public:
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    int Status() const;
    // The header lines of the final response, each ended by "\r\n", then an empty line.
    const std::string& RawHeaders() const;
    std::optional<std::string> Location() const;
    // The wait a Retry-After header asks for (seconds, or an HTTP date from now); empty without one.
    std::optional<std::chrono::seconds> RetryAfter() const;
    // Body size announced by the server; empty when it gave none.
    std::optional<uint64_t> ContentLength() const;
    // Reads at most `size` bytes of the body: the count, 0 at its end, or -1 with `err` set.
    long Read(char* buffer, size_t size, ErrorInfo& err);

    struct Transfer;

private:
    friend class HttpClient;
    explicit HttpRequest(std::unique_ptr<Transfer> t);
    std::unique_ptr<Transfer> t_;
};

class HttpClient {
public:
    explicit HttpClient(std::string agent);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Connect time-out, the longest wait for a response byte, and the time within which a whole request
    // (headers and body) must end, in milliseconds. A connection is attempted once per request.
    void SetOptions(long connectTimeoutMs, long receiveTimeoutMs, long requestDeadlineMs);
    // Called at least every 50 ms while a request waits for the network.
    void SetYield(std::function<void()> yield);

    // GET without credentials; returns once the status and headers are in. Redirects are not followed.
    // A request started by Prefetch for the same URL is taken instead of a new one.
    std::unique_ptr<HttpRequest> OpenUrl(const std::string& url, ErrorInfo& err);

    // Starts a GET of `url` now, to go on while the caller does other things, for a later OpenUrl of
    // the same URL. Its body is buffered only up to a bound (the transfer pauses there). False when it
    // was not started: its host already has its bound of requests started ahead in flight. True without
    // a request when its host refused the last connection attempt: the later OpenUrl asks.
    bool Prefetch(const std::string& url);
    // Moves the requests in flight on as far as the network allows, without waiting: answers that
    // have come free their slots.
    void Pump();
    // Requests started ahead and not taken: all of them, and those still waiting for their answer.
    size_t Prefetches() const;
    size_t InFlight() const;
    // The most requests started ahead that may wait for an answer from one host (scheme, host, port).
    void SetPerHost(int count);
    // The body of the request started ahead for `url` when it has ended with status 200 and its body
    // is held whole; nothing otherwise. Valid until the client is next used.
    std::optional<std::string_view> PrefetchedPage(const std::string& url) const;
    // Where the request started ahead for `url` is redirected (its Location header) once its headers
    // are in; nothing for another answer or before.
    std::optional<std::string> PrefetchedLocation(const std::string& url) const;
    // How many requests were started ahead, and how many of them an OpenUrl took.
    struct PrefetchCounts {
        uint64_t started = 0, taken = 0;
    };
    PrefetchCounts Counts() const;
    // Called in each wait for the network, after the yield hook: the caller may start more requests.
    void SetIdle(std::function<void()> idle);
    bool IsPrefetched(const std::string& url) const;
    // Ends the request started ahead for `url`, if no OpenUrl took it.
    void DropPrefetch(const std::string& url);
    // Ends every request started ahead that no OpenUrl took.
    void DropPrefetches();
    // HTTP/1.0 GET with basic credentials and a referrer, for the one authentication retry.
    std::unique_ptr<HttpRequest> OpenAuthenticated(const std::string& url, const std::string& user,
                                                   const std::string& password, const std::string& referrer,
                                                   ErrorInfo& err);

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

}  // namespace aracnide
