#include "run.h"

#include "checkurl.h"
#include "numbers.h"
#include "pagescan.h"
#include "settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace aracnide {

namespace {

void SetState(RunContext& ctx, int status)
{
    ctx.CheckStatus = status;
    if (ctx.observer.stateChanged)
        ctx.observer.stateChanged(status);
}

void Progress(RunContext& ctx, int percent)
{
    if (ctx.observer.progress)
        ctx.observer.progress(percent);
}

void Counter(RunContext& ctx, int done, int count)
{
    if (ctx.observer.counter)
        ctx.observer.counter(done, count);
}

// Closes the report and hands a non-empty report file to the viewer.
void CloseAndShow(RunContext& ctx)
{
    if (!ctx.fhLog)
        return;
    const uint64_t size = ctx.fhLog->Size();
    const std::string path = ctx.fhLog->Path();
    if (!ctx.fhLog->Close()) {
        ctx.reportError = "The report " + path + " could not be written whole: " + ctx.fhLog->Error();
        if (ctx.observer.reportFailed)
            ctx.observer.reportFailed(ctx.reportError);
    }
    ctx.fhLog.reset();
    if (size != 0 && !path.empty() && ctx.observer.showReport)
        ctx.observer.showReport(path);
}

// The links of a page scanned ahead of its check: the URLs their checks would ask for, in the order
// found, without those the list already holds or the look-ahead already knows.
class AheadSink : public LinkSink {
public:
    explicit AheadSink(RunContext& ctx) : ctx_(ctx) {}
    void Link(PageState& st, std::string_view link) override
    {
        if (st.bBase)
            based_ = true;  // later links resolve against another base: not guessed
        if (based_)
            return;
        std::string url = LookAheadUrl(ctx_, st, link, scratch_);
        if (url.empty() || ctx_.LB.Contains(scratch_) || !ctx_.aheadSeen.insert(url).second)
            return;
        ctx_.ahead.push_back({std::move(url), scratch_});
    }

private:
    RunContext& ctx_;
    std::string scratch_;
    bool based_ = false;
};

// The most answers held for later checks, whether they came or are still coming: a memory bound of
// this many bodies of at most the client's buffer each.
size_t MaxHeld(int jobs)
{
    return 4 * static_cast<size_t>(jobs);
}

// With several jobs, requests start before their checks: first those of the entries ahead in the list,
// then, crawling ahead, those of the links on pages that have answered before their checks (the scan is
// a pure function of the page and the base; its links are only guessed here and are added to the list
// by the page's own check). Every check still runs in list order and takes its request from the client,
// so the report is the report of one job. Runs between checks and in every wait for the network.
void CrawlAhead(RunContext& ctx)
{
    if (ctx.settings.jobs <= 1 || !ctx.hOpen || ctx.CheckStatus != kRunning)
        return;
    HttpClient& client = *ctx.hOpen;
    const size_t jobs = static_cast<size_t>(ctx.settings.jobs);
    auto slotFree = [&] { return client.InFlight() + 1 < jobs && client.Prefetches() < MaxHeld(ctx.settings.jobs); };
    auto scanLater = [&](const std::string& url) {
        if (ctx.aheadScanned.insert(url).second)
            ctx.scanAhead.push_back(url);
    };
    // The entries ahead in the list: each will be checked.
    const int count = ctx.LB.GetCount();
    while (ctx.prefetchNext < count) {
        const int k = ctx.prefetchNext;
        const std::string& text = ctx.model.At(k).text;
        const bool explorable = text.find(':') == std::string::npos;
        const std::string url = text.find('\t') != std::string::npos ? std::string() : RequestUrl(ctx, text);
        if (!url.empty() && !client.IsPrefetched(url)) {
            if (!slotFree() || !client.Prefetch(url))
                break;
        }
        ++ctx.prefetchNext;
        if (url.empty())
            continue;
        ctx.prefetched.emplace_back(k, url);
        ctx.redirectsAhead.push_back(url);
        if (explorable)
            scanLater(url);
    }
    // Redirected answers: the check follows the Location, so its request starts now (a chain, hop by hop).
    for (size_t i = 0; i < ctx.redirectsAhead.size();) {
        const std::string& url = ctx.redirectsAhead[i];
        if (client.IsPrefetched(url) && !client.PrefetchedLocation(url) && !client.PrefetchedPage(url)) {
            ++i;  // no headers yet
            continue;
        }
        if (const auto location = client.PrefetchedLocation(url)) {
            std::string target = ResolveLocation(url, *location);
            if (!client.IsPrefetched(target)) {
                if (!slotFree() || !client.Prefetch(target)) {
                    ++i;
                    continue;
                }
            }
            ctx.redirectsAhead.push_back(std::move(target));
        }
        ctx.redirectsAhead.erase(ctx.redirectsAhead.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (!ctx.settings.bRLS)
        return;  // only the start page is explored: nothing to guess from
    // Pages answered whole before their checks: their links go to the look-ahead queue.
    for (size_t i = 0; i < ctx.scanAhead.size();) {
        const std::string& url = ctx.scanAhead[i];
        const std::optional<std::string_view> page = client.PrefetchedPage(url);
        if (!page && client.IsPrefetched(url)) {
            ++i;  // not answered yet
            continue;
        }
        if (page) {
            AheadSink sink(ctx);
            PageState st;
            st.sink = &sink;
            st.szHtml = url;
            st.szTmpBHref = PageDirectory(url, ctx.szBaseDom);
            ScanText(ctx, st, *page, ctx.aheadBuf);
        }
        ctx.scanAhead.erase(ctx.scanAhead.begin() + static_cast<std::ptrdiff_t>(i));  // list order kept
    }
    // Answers held for guesses (those not yet entries of the list) are at most half of all, so that the
    // entries next in the list always find room: their checks come first. Answers held for entries do not
    // count here: they go as their checks take them, and guesses that become entries move over.
    auto guessesHeld = [&] {
        const size_t held = client.Prefetches(), forEntries = ctx.prefetched.size();
        return held > forEntries ? held - forEntries : 0;
    };
    while (!ctx.ahead.empty() && slotFree() && guessesHeld() < MaxHeld(ctx.settings.jobs) / 2) {
        const RunContext::Guess& guess = ctx.ahead.front();
        // A guess that has become an entry meanwhile is the list's: started above, or already checked.
        if (!ctx.LB.Contains(guess.text)) {
            if (!client.IsPrefetched(guess.url) && !client.Prefetch(guess.url))
                break;
            ctx.redirectsAhead.push_back(guess.url);
            if (guess.text.find(':') == std::string::npos)
                scanLater(guess.url);
        }
        ctx.ahead.pop_front();
    }
}

// Before the check of entry `cur`: requests no check took are ended once their entries are passed,
// and more start.
void PrefetchAhead(RunContext& ctx, int cur)
{
    if (ctx.settings.jobs <= 1 || !ctx.hOpen)
        return;
    while (!ctx.prefetched.empty() && ctx.prefetched.front().first <= cur) {
        if (ctx.prefetched.front().first < cur)
            ctx.hOpen->DropPrefetch(ctx.prefetched.front().second);
        ctx.prefetched.pop_front();
    }
    ctx.prefetchNext = std::max(ctx.prefetchNext, cur + 1);
    ctx.hOpen->Pump();  // answers that came while the checks read held ones free their slots now
    CrawlAhead(ctx);
}

void EndPrefetches(RunContext& ctx)
{
    if (ctx.hOpen) {
        const HttpClient::PrefetchCounts counts = ctx.hOpen->Counts();
        ctx.requestsAhead = counts.started;
        ctx.requestsAheadUnused = counts.started - counts.taken;
        ctx.hOpen->DropPrefetches();
    }
    ctx.prefetched.clear();
    ctx.ahead.clear();
    ctx.scanAhead.clear();
    ctx.redirectsAhead.clear();
    ctx.aheadSeen.clear();
    ctx.aheadScanned.clear();
    ctx.prefetchNext = 0;
}

StartOutcome NotStarted(RunContext& ctx, StartOutcome::Result r, std::string message = {})
{
    // The report made for a run that does not start holds only its header: closed, not shown.
    if (ctx.fhLog) {
        ctx.fhLog->Close();
        ctx.fhLog.reset();
    }
    return {r, std::move(message), {}, {}, false, {}};
}

std::tm LocalNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

}  // namespace

std::string ResultWord(uint32_t result)
{
    if (result == kSkipped)
        return "\tSkipped";
    if (result == kStatusOk)
        return "\tOk";
    return "\t" + std::to_string(result);
}

StartOutcome NewRun(RunContext& ctx, const RunRequest& request, Profile* ini, const std::tm* now)
{
    StartOutcome out{StartOutcome::Started, {}, {}, {}, false, {}};
    auto stored = [&](bool ok) {
        if (!ok && out.settingsError.empty() && ini)
            out.settingsError = ini->LastError();
    };
    ctx.LB.ClearList();
    ctx.bLocalL1 = false;
    ctx.reflig = -1;
    ctx.level = 0;
    ctx.curlig = 0;
    ctx.szCurPage.clear();  // a new run carries no referring page over from the last one
    ctx.reportError.clear();
    EndPrefetches(ctx);
    ctx.records.clear();
    ctx.imageChecks.clear();
    ctx.brokenImages.clear();
    ctx.scannedFiles.clear();
    ctx.settings = request.settings;
    if (ini)
        stored(ini->WriteString("Init", "Timeout", request.timeoutText));
    InternetInit(ctx, ctx.settings.Timeout);

    std::string error;
    auto report = FileReport::Create(ctx.reportPath, error);
    if (!report) {
        out.result = StartOutcome::ReportFailed;
        out.message = "Unable to create LOG file";
        return out;
    }
    ctx.fhLog = std::move(report);
    const std::tm date = now ? *now : LocalNow();
    ctx.Log(RunHeaderText(ctx.szVersion, date));

    std::string loc = request.location;
    if (loc.empty())
        return NotStarted(ctx, StartOutcome::NotStarted);

    std::string start;
    if (const size_t hash = loc.find('#'); hash != std::string::npos) {
        const std::string name = loc.substr(0, hash);
        const int column = static_cast<int>(LeadingNumber(std::string_view(loc).substr(hash + 1), 0, kMaxColumn, 0));
        if (ReadFile(ctx, name, column, error) < 0) {
            StartOutcome failed = NotStarted(ctx, StartOutcome::ListFileFailed, error);
            failed.fileName = name;
            return failed;
        }
        ctx.settings.bRLS = false;
        ctx.settings.bCEL = true;
        ctx.authOrigin.clear();  // list entries may lie anywhere: no credentials are sent
        ctx.siteOrigin.clear();
        out.listFile = true;
        out.location = name;
    } else {
        if (loc.starts_with("file://"))
            loc.erase(0, 7);
        if (IsLocal(loc)) {
            const size_t slash = loc.rfind('/');
            ctx.szBaseDom = loc.substr(0, slash + 1);
            start = loc.substr(slash + 1);
            ctx.authOrigin.clear();
            ctx.siteOrigin.clear();
        } else {
            const size_t first = loc.find('/');
            if (first == std::string::npos || first + 1 >= loc.size() || loc[first + 1] != '/')
                loc.insert(0, "http://");
            if (loc.rfind('/') == loc.find("//") + 1)
                loc += '/';
            const size_t end = HostEnd(loc);
            ctx.szBaseDom = loc.substr(0, end + 1);
            start = end + 1 < loc.size() ? loc.substr(end + 1) : std::string();
            ctx.authOrigin = Origin(loc);
            ctx.siteOrigin = ctx.authOrigin;
        }
        out.location = loc;
        if (ctx.observer.baseChanged)
            ctx.observer.baseChanged(ctx.szBaseDom);
        const int index = ctx.LB.AddString(start);
        ctx.LB.SetItemData(index, EntryData(-1, false));
        Progress(ctx, 0);
        Counter(ctx, 1, 1);
    }
    if (ini)
        stored(SaveLastLocation(*ini, out.location));
    ctx.Yield();
    if (ini) {
        stored(SaveRunSettings(*ini, ctx.settings, request.timeoutText));
        // The history holds what the location field shows: the completed URL, or the list file's
        // "name#column" as typed.
        std::string shown = out.listFile ? request.location : out.location;
        if (!InHistoryList(request.history, shown))
            stored(StoreHistory(*ini, request.history, shown));
    }
    return out;
}

int RunChecks(RunContext& ctx, const Profile* ini)
{
    struct InPasses {
        RunContext& ctx;
        explicit InPasses(RunContext& c) : ctx(c) { ctx.inPasses = true; }
        ~InPasses()
        {
            ctx.inPasses = false;
            EndPrefetches(ctx);  // a suspended run starts its requests again when it resumes
            if (ctx.hOpen)
                ctx.hOpen->SetIdle(nullptr);
        }
    } inPasses(ctx);
    SetState(ctx, kRunning);
    if (ini)
        ctx.settings.MaxLevel = LoadMaxLevel(*ini);
    ctx.maxlevel = ctx.settings.MaxLevel;
    if (ctx.hOpen) {
        ctx.hOpen->SetYield(ctx.observer.yield);  // the front end stays live while a server is slow
        ctx.hOpen->SetPerHost(ctx.settings.perHost > 0 ? ctx.settings.perHost : ctx.settings.jobs);
        ctx.hOpen->SetIdle([&ctx] { CrawlAhead(ctx); });
    }
    do {
        ctx.bFin = true;
        ctx.maxlig = ctx.LB.GetCount();
        while (ctx.curlig < ctx.maxlig) {
            ctx.bFin = false;
            const int cur = ctx.curlig;
            ctx.LB.SetCaretIndex(cur);
            ctx.LB.SetSelIndex(cur);
            PrefetchAhead(ctx, cur);
            ctx.YieldBriefly();  // the full yield comes after the entry, where a Suspend is looked for

            const int ref = ctx.LB.GetReferrer(cur);
            if (ref != ctx.reflig) {
                if (ref >= 0 && ref < ctx.LB.GetCount()) {
                    std::string text = ctx.LB.GetString(ref);
                    text = text.substr(0, text.find('\t'));
                    ctx.szCurPage = text.find(':') == std::string::npos ? OnBase(ctx.szBaseDom, text) : text;
                } else {
                    ctx.szCurPage.clear();
                }
                ctx.reflig = ref;
            }

            ctx.UrlSize = 0;
            ctx.szImage.clear();
            bool explore = ctx.maxlevel != 0 && ctx.level < ctx.maxlevel;
            const std::string text = ctx.LB.GetString(cur);
            const bool absolute = text.find(':') != std::string::npos;
            if (!absolute) {
                ctx.szCurUrl = OnBase(ctx.szBaseDom, text);
                explore = !ctx.bLocalL1;
            } else {
                ctx.szCurUrl = text;
            }
            const uint32_t result =
                absolute && !ctx.settings.bCEL ? kSkipped : CheckUrl(ctx, ctx.szCurUrl, cur, explore);

            ctx.LB.SetString(cur, text + ResultWord(result));
            ctx.LB.SetItemData(cur, EntryData(ref, true));
            ctx.curlig = cur + 1;
            const int count = ctx.LB.GetCount();
            Progress(ctx, static_cast<int>(int64_t{ctx.curlig} * 100 / count));
            Counter(ctx, ctx.curlig, count);
            ctx.Yield();

            if (ctx.CheckStatus == kSuspended)
                return kSuspended;
            if (!ctx.bLocalL1 && !ctx.settings.bRLS)
                ctx.bLocalL1 = true;  // with Local links off only the start entry is explored
            if (!ctx.settings.bRLS && ctx.settings.bCalcSize)
                ctx.bFin = true;
        }
        ++ctx.level;
    } while (!ctx.bFin);

    Progress(ctx, 100);
    SetState(ctx, kIdle);
    CloseAndShow(ctx);
    return kIdle;
}

void Suspend(RunContext& ctx)
{
    if (ctx.CheckStatus == kRunning)
        SetState(ctx, kSuspended);
}

bool Busy(const RunContext& ctx)
{
    return ctx.CheckStatus == kRunning || ctx.inPasses || ctx.settingUp;
}

StartOutcome Start(RunContext& ctx, const RunRequest& request, Profile* ini, const std::tm* now)
{
    switch (ctx.CheckStatus) {
    case kRunning:
        Suspend(ctx);
        return {StartOutcome::Suspended, {}, {}, {}, false, {}};
    case kSuspended:
        if (ctx.inPasses) {
            // Suspended from a yield of a pass loop that has not stopped yet: it simply goes on.
            SetState(ctx, kRunning);
            return {StartOutcome::Continued, {}, {}, {}, false, {}};
        }
        RunChecks(ctx, ini);
        return {StartOutcome::Resumed, {}, {}, {}, false, {}};
    default: {
        // A Start that arrives while a new run is being set up (from its yield) would start a second
        // run inside the first one.
        if (ctx.settingUp)
            return {StartOutcome::Ignored, {}, {}, {}, false, {}};
        ctx.settingUp = true;
        StartOutcome out = NewRun(ctx, request, ini, now);
        ctx.settingUp = false;
        if (out.result == StartOutcome::Started) {
            if (ctx.observer.runSetUp)
                ctx.observer.runSetUp(out);
            RunChecks(ctx, ini);
        }
        return out;
    }
    }
}

bool ClearRun(RunContext& ctx)
{
    if (Busy(ctx))
        return false;  // the list cannot be pulled away under a run
    if (ctx.CheckStatus == kSuspended)
        CloseAndShow(ctx);
    SetState(ctx, kIdle);
    Progress(ctx, 0);
    ctx.szBaseDom.clear();
    if (ctx.observer.baseChanged)
        ctx.observer.baseChanged(ctx.szBaseDom);
    ctx.LB.ClearList();
    return true;
}

bool QuitRun(RunContext& ctx)
{
    if (Busy(ctx))
        return false;
    if (ctx.CheckStatus == kSuspended) {
        CloseAndShow(ctx);
        SetState(ctx, kIdle);
    }
    return true;
}

int ReadFile(RunContext& ctx, const std::string& name, int column, std::string& error)
{
    std::vector<std::string> lines;
    ErrorInfo err;
    if (!ReadTextLines(*ctx.files, name, lines, err)) {
        error = err.text.substr(0, err.text.find_first_of("\r\n"));
        return -1;
    }
    for (const std::string& line : lines) {
        size_t from = 0;  // first character of the field
        if (column > 0) {
            size_t p = 0;
            bool found = true;
            for (int k = 0; k < column && found; ++k) {
                const size_t next = line.find(';', p + 1);
                found = next != std::string::npos;
                p = next;
            }
            if (!found)
                continue;
            from = p + 1;
        }
        const size_t end = line.find(';', from);
        if (column > 0 && end == std::string::npos)
            continue;
        const std::string field = line.substr(from, end == std::string::npos ? std::string::npos : end - from);
        if (field.empty())
            continue;
        const int index = ctx.LB.AddString(field);
        ctx.LB.SetItemData(index, EntryData(-1, false));
    }
    return 0;
}

}  // namespace aracnide
