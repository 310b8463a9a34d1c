#pragma once
// State shared by the page scan, the link checks and the run: the run context, its settings and the
// hooks through which a front end (a dialog or a command line) follows the run.

#include "checkoutcome.h"
#include "httpclient.h"
#include "listbox.h"
#include "localfile.h"
#include "redirects.h"
#include "report.h"
#include "version.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace aracnide {

// Sizes of the reads and of the safety bounds, in bytes.
inline constexpr size_t kScanBlock = 8092;                        // one read of a page being scanned
inline constexpr size_t kDrainBlock = 8192;                       // one read of a body that is thrown away
inline constexpr size_t kMaxCarry = 4096;                         // longest text carried from one block to the next
inline constexpr uint32_t kMaxScannedSize = 200000;               // larger pages of known length are not scanned
inline constexpr uint64_t kMaxUnknownPage = 10000000;             // a page of unknown length stops here
inline constexpr uint64_t kMaxDrain = 1024 * 1024;                // a non-200 body is thrown away up to here
inline constexpr int kRequestDeadlineFactor = 4;                  // a request ends within this many time-outs
inline constexpr int kMaxOpenRetries = 8;                         // repeated opens after a time-out, at most
inline constexpr std::chrono::milliseconds kRetryFirstWait{100};  // doubled before each further repeat
inline constexpr std::chrono::milliseconds kBriefYieldGap{5};     // see RunContext::YieldBriefly
inline constexpr std::chrono::seconds kMaxRetryAfter{60};         // a longer Retry-After is not waited for
inline constexpr size_t kMaxImageList = 492;                      // szImage grows no further past this length
inline constexpr int kMaxTimeoutSeconds = 24 * 3600;              // longer time-outs are taken as this
inline constexpr int kMaxJobs = 1000;                             // requests in flight at most
// Requests in flight by default, in all and to one host: about what concurrent checkers use.
inline constexpr int kDefaultJobs = 64;
inline constexpr int kDefaultPerHost = 64;  // as many as in all: one slow site can use every slot
inline constexpr int kMaxColumn = 1 << 20;  // list-file columns past this are this

// Entry data: the high 16 bits hold the referring entry's index (kNoReferrer for none; larger indexes
// keep their low 16 bits, the full index lives beside the data), the low 16 bits 0 or kChecked.
inline constexpr uint16_t kNoReferrer = 0xFFFF;
inline constexpr uint32_t kChecked = 1;
constexpr uint32_t EntryData(int referrer, bool checked)
{
    const uint32_t ref = referrer < 0 ? kNoReferrer : static_cast<uint32_t>(referrer) & 0xFFFF;
    return ref << 16 | (checked ? kChecked : 0);
}

// Results of a check as the run records them: a status (kStatusOk and the others), kSkipped for an
// external link left unchecked, 0 when no status could be obtained.
inline constexpr uint32_t kSkipped = 100;

// Time as the run sees it: handed to the engine so that tests can drive the waits.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
    // Waits `span`, calling `yield` (when set) at least every 50 ms.
    virtual void Wait(std::chrono::milliseconds span, const std::function<void()>& yield) = 0;
};

// The machine's monotonic clock.
class SystemClock : public Clock {
public:
    TimePoint Now() const override;
    void Wait(std::chrono::milliseconds span, const std::function<void()>& yield) override;
    static SystemClock& Instance();
};

// Run states.
enum CheckStatusValue { kIdle = 0, kRunning = 1, kSuspended = 2 };

// How a front end follows a run. Every hook is optional.
struct StartOutcome;

struct RunObserver {
    std::function<void()> yield;                       // process pending user events; never waits
    std::function<void(int percent)> progress;         // 0..100
    std::function<void(int done, int count)> counter;  // shown as "%d / %d"
    std::function<void(const std::string& base)> baseChanged;
    std::function<void(int status)> stateChanged;               // CheckStatus after a change
    std::function<void(const std::string& path)> showReport;    // a finished, non-empty report file
    std::function<void(const StartOutcome&)> runSetUp;          // a new run is set up; its passes begin
    std::function<void(const std::string& text)> reportFailed;  // a write or the close of the report failed
};

// The settings a run is made with (the dialog's fields and check boxes).
struct RunSettings {
    bool bRLS = true;        // explore every local page
    bool bCEL = false;       // check external links
    bool bCalcSize = false;  // size images and pages
    bool bLogData = false;   // copy headers and page data into the report
    int ReportOpt = 0;       // 0 errors only, 1 everything
    int MaxLevel = 0;        // passes during which absolute entries are explored
    int Timeout = 15;        // seconds, connect and receive
    int jobs = 1;            // requests in flight at once (the entries ahead of the one being checked)
    int perHost = 0;         // requests started ahead in flight to one host at most; 0: as many as jobs
    bool wholeSite = false;  // links to the start location's scheme, host and port are all local
    std::string szUser, szPass;
};

// What one entry's check found, kept for the command line's JSON output and summary.
struct CheckRecord {
    bool checked = false;
    std::string url;                     // the URL or path as checked
    uint32_t result = 0;                 // the check's result (see CheckUrl)
    uint32_t finalStatus = 0;            // the status of the last answer, after any redirects; 0 for none
    std::string error;                   // the first error record's text, without its line end
    std::vector<std::string> redirects;  // the URLs the redirects led to, in order
    bool sizeKnown = false;
    uint32_t size = 0;           // bytes of the page, when known
    std::vector<int> referrers;  // the entries whose pages link to it, in the order found
};

// Everything one run shares between the scan, the checks and the pass loop.
struct RunContext {
    explicit RunContext(HttpClient* client) : hOpen(client), LB(model) {}
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    HttpClient* hOpen;  // may be null for local sites only
    Clock* clock = &SystemClock::Instance();
    FileSystem* files = &PosixFileSystem::Instance();
    ListModel model;
    ListBox LB;
    RunObserver observer;
    RunSettings settings;
    std::string szVersion = kVersion;
    std::string reportPath = "ARACNIDE.LOG";
    std::string reportError;  // why the report of the last run could not be written whole; empty: it was

    // Site and current entry.
    std::string szBaseDom;   // scheme://host/ or the local start directory, with its final "/"
    std::string authOrigin;  // scheme://host:port of the start location: the only one given credentials
    std::string siteOrigin;  // the same for the whole-site rule (empty for a local site or a list file)
    std::string szCurUrl;    // URL of the check in progress
    std::string szCurPage;   // page on which the entry being checked was found
    std::string szImage;     // image names already sized for this entry, each followed by ","
    uint32_t UrlSize = 0;    // bytes of the page and its images

    // Pass loop.
    int CheckStatus = kIdle;
    bool settingUp = false;  // a new run is being set up (its yields may bring a second Start)
    bool inPasses = false;   // the pass loop is on the stack (it may not yet have noticed a suspension)
    int curlig = 0;
    int level = 0;
    int maxlevel = 0;
    int maxlig = 0;
    bool bFin = false;
    bool bLocalL1 = false;
    int reflig = -1;  // full index of the entry whose page szCurPage names; -1 none

    // Lives as long as the program: after a time-out, failed opens are repeated for this long.
    bool bTimeout = false;
    std::chrono::milliseconds timeoutWindow{10000};

    // Entries whose requests were started ahead (index, URL), in list order; the next index to look at.
    std::deque<std::pair<int, std::string>> prefetched;
    int prefetchNext = 0;
    // Crawling ahead: URLs guessed from pages answered before their checks, waiting for a request slot
    // (with whether their pages will be explored); pages started ahead whose answers are to be scanned;
    // every URL guessed and every page scanned ahead in this run; the look-ahead scan's buffer.
    struct Guess {
        std::string url, text;  // the request's URL and the entry's text as the scan would add it
    };
    std::deque<Guess> ahead;
    std::vector<std::string> scanAhead;
    std::vector<std::string> redirectsAhead;  // requests started ahead whose answers may be redirects
    std::unordered_set<std::string> aheadSeen, aheadScanned;
    std::vector<char> aheadBuf;
    // Of the last run: requests started ahead, and those no check took (guesses the run never needed).
    uint64_t requestsAhead = 0, requestsAheadUnused = 0;

    // Filled only when `keepRecords` is set: one record per entry, by index.
    bool keepRecords = false;
    std::vector<CheckRecord> records;
    int recordIndex = -1;  // the entry whose check is in progress (not an image check); -1 none
    // The record of the entry check in progress, or null. Found again on each use: the records grow
    // while a page is scanned.
    CheckRecord* Recording()
    {
        if (recordIndex < 0)
            return imageRecord;
        return static_cast<size_t>(recordIndex) < records.size() ? &records[recordIndex] : nullptr;
    }
    CheckRecord* imageRecord = nullptr;  // while an image is checked for the cache: where its outcome goes
    // The local files whose pages this run has scanned.
    std::unordered_set<FileId, FileIdHash> scannedFiles;
    // For `imageCache` runs, each image is asked for once: its check's outcome by resolved URL, with the
    // report records it wrote, replayed on every later page that shows it as a fresh check would write
    // them. The records are cut where a referrer line goes, as that line names the page being checked.
    struct ImageCheck {
        uint32_t size = 0;
        std::vector<std::string> records;
        int broken = -1;  // index in brokenImages, -1 when the image was found
    };
    bool imageCache = false;
    std::unordered_map<std::string, ImageCheck> imageChecks;
    // Images the cache found missing or failing, in the order found, each with the pages that show it.
    std::vector<CheckRecord> brokenImages;
    std::vector<std::string>* logCapture = nullptr;  // when set, report bytes are copied to its last piece

    std::unique_ptr<Report> fhLog;
    std::vector<char> fBuf = std::vector<char>(kMaxCarry + kScanBlock + 8);
    std::vector<char> drainBuf = std::vector<char>(kDrainBlock);

    void Yield()
    {
        if (observer.yield) {
            lastYield = clock->Now();
            observer.yield();
        }
    }
    // Between the links of a page and before a check's first step: a yield when the last one is
    // kBriefYieldGap old. Thousands of links a second need no more to keep the front end live, and
    // each yield costs microseconds.
    void YieldBriefly()
    {
        if (!observer.yield)
            return;
        const Clock::TimePoint now = clock->Now();
        if (now - lastYield >= kBriefYieldGap) {
            lastYield = now;
            observer.yield();
        }
    }
    Clock::TimePoint lastYield{};
    void Log(std::string_view bytes) const
    {
        if (fhLog)
            fhLog->Write(bytes);
        if (logCapture)
            logCapture->back().append(bytes);
    }
};

}  // namespace aracnide
