#include "run.h"

#include "checkurl.h"
#include "pagescan.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

// A local entry on the site base. The entry "/" (a link to the site root itself) does not double the base's
// final "/".
std::string OnBase(const std::string& base, const std::string& entry)
{
    if (!base.empty() && base.back() == '/' && !entry.empty() && entry.front() == '/')
        return base + entry.substr(1);
    return base + entry;
}

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
    ctx.fhLog->Close();
    ctx.fhLog.reset();
    if (size != 0 && !path.empty() && ctx.observer.showReport)
        ctx.observer.showReport(path);
}

StartOutcome NotStarted(RunContext& ctx, StartOutcome::Result r, std::string message = {})
{
    // The report made for a run that does not start holds only its header: closed, not shown.
    if (ctx.fhLog) {
        ctx.fhLog->Close();
        ctx.fhLog.reset();
    }
    return {r, std::move(message), {}};
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
    if (result == 100)
        return "\tSkipped";
    if (result == 200)
        return "\tOk";
    return "\t" + std::to_string(result);
}

StartOutcome NewRun(RunContext& ctx, const std::string& location, const std::tm* now)
{
    ctx.LB.ClearList();
    ctx.bLocalL1 = false;
    ctx.reflig = kNoReferrer;
    ctx.level = 0;
    ctx.curlig = 0;
    ctx.szCurPage.clear();  // a new run carries no referring page over from the last one
    InternetInit(ctx, ctx.settings.Timeout);

    std::string error;
    auto report = FileReport::Create(ctx.reportPath, error);
    if (!report)
        return {StartOutcome::ReportFailed, "Unable to create LOG file", {}};
    ctx.fhLog = std::move(report);
    const std::tm date = now ? *now : LocalNow();
    ctx.Log(RunHeaderText(ctx.szVersion, date));

    std::string loc = location;
    if (loc.empty())
        return NotStarted(ctx, StartOutcome::NotStarted);
    StartOutcome out{StartOutcome::Started, {}, {}};

    if (const size_t hash = loc.find('#'); hash != std::string::npos) {
        const std::string name = loc.substr(0, hash);
        const int column = std::atoi(loc.c_str() + hash + 1);
        if (ReadFile(ctx, name, column, error) < 0)
            return NotStarted(ctx, StartOutcome::ListFileFailed, name + ": " + error);
        ctx.settings.bRLS = false;
        ctx.settings.bCEL = true;
        ctx.authOrigin.clear();  // list entries may lie anywhere: no credentials are sent
        out.location = name;
        return out;
    }

    std::string start;
    if (loc.starts_with("file://"))
        loc.erase(0, 7);
    if (IsLocal(loc)) {
        const size_t slash = loc.rfind('/');
        ctx.szBaseDom = loc.substr(0, slash + 1);
        start = loc.substr(slash + 1);
        ctx.authOrigin.clear();
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
    }
    out.location = loc;
    if (ctx.observer.baseChanged)
        ctx.observer.baseChanged(ctx.szBaseDom);
    const int index = ctx.LB.AddString(start);
    ctx.LB.SetItemData(index, uint32_t{kNoReferrer} << 16);
    Progress(ctx, 0);
    Counter(ctx, 1, 1);
    ctx.Yield();
    return out;
}

int RunChecks(RunContext& ctx)
{
    SetState(ctx, kRunning);
    ctx.maxlevel = ctx.settings.MaxLevel;
    if (ctx.hOpen)
        ctx.hOpen->SetYield(ctx.observer.yield);  // the front end stays live while a server is slow
    do {
        ctx.bFin = true;
        ctx.maxlig = ctx.LB.GetCount();
        while (ctx.curlig < ctx.maxlig) {
            ctx.bFin = false;
            const int cur = ctx.curlig;
            ctx.LB.SetCaretIndex(cur);
            ctx.LB.SetSelIndex(cur);
            ctx.Yield();

            const uint16_t ref = static_cast<uint16_t>(ctx.LB.GetItemData(cur) >> 16);
            if (ref != ctx.reflig) {
                if (ref < ctx.LB.GetCount()) {
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
                absolute && !ctx.settings.bCEL ? 100 : CheckUrl(ctx, ctx.szCurUrl, cur, explore);

            ctx.LB.SetString(cur, text + ResultWord(result));
            ctx.LB.SetItemData(cur, (uint32_t{ref} << 16) + 1);
            ctx.curlig = cur + 1;
            const int count = ctx.LB.GetCount();
            Progress(ctx, ctx.curlig * 100 / count);
            Counter(ctx, ctx.curlig, count);
            if (ctx.fhLog)
                ctx.fhLog->Flush();
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

StartOutcome Start(RunContext& ctx, const std::string& location, const std::tm* now)
{
    switch (ctx.CheckStatus) {
    case kRunning:
        Suspend(ctx);
        return {StartOutcome::Suspended, {}, {}};
    case kSuspended:
        RunChecks(ctx);
        return {StartOutcome::Resumed, {}, {}};
    default: {
        StartOutcome out = NewRun(ctx, location, now);
        if (out.result == StartOutcome::Started)
            RunChecks(ctx);
        return out;
    }
    }
}

void ClearRun(RunContext& ctx)
{
    if (ctx.CheckStatus == kRunning)
        return;  // the list cannot be pulled away under a run
    if (ctx.CheckStatus == kSuspended)
        CloseAndShow(ctx);
    SetState(ctx, kIdle);
    Progress(ctx, 0);
    ctx.szBaseDom.clear();
    if (ctx.observer.baseChanged)
        ctx.observer.baseChanged(ctx.szBaseDom);
    ctx.LB.ClearList();
}

void QuitRun(RunContext& ctx)
{
    if (ctx.CheckStatus == kSuspended) {
        CloseAndShow(ctx);
        SetState(ctx, kIdle);
    }
}

int ReadFile(RunContext& ctx, const std::string& name, int column, std::string& error)
{
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return -1;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
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
        ctx.LB.SetItemData(index, uint32_t{kNoReferrer} << 16);
    }
    return 0;
}
