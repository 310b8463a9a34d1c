#include "cli.h"

#include "httpclient.h"
#include "numbers.h"
#include "run.h"
#include "settings.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <ostream>

namespace aracnide {

namespace {

// A flag's number: the whole value, clamped to [low, high].
bool ParseInt(const std::string& text, int low, int high, int& value)
{
    const auto n = WholeNumber(text, low, high);
    if (n)
        value = static_cast<int>(*n);
    return n.has_value();
}

bool EndsWith(std::string_view s, std::string_view suffix)
{
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// A location that names an existing file by a relative path is taken from the current folder.
std::string Absolute(const std::string& location)
{
    if (location.empty() || location[0] == '/' || location.find("://") != std::string::npos ||
        location.find('#') != std::string::npos)
        return location;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(location, ec))
        return location;
    return std::filesystem::absolute(location, ec).lexically_normal().string();
}

}  // namespace

bool WantsCommandLine(const std::vector<std::string>& args)
{
    for (const auto& a : args)
        if (a.starts_with("--"))
            return true;
    return false;
}

std::string CliUsage()
{
    return "Usage: aracnide --check LOCATION [options]\n"
           "       aracnide [LOCATION]      (the dialog; LOCATION becomes the last location)\n"
           "\n"
           "LOCATION is a URL (host.dom stands for http://host.dom/), a local HTML file, or a list file\n"
           "of URLs written NAME#COLUMN (the fields of a line end with \";\").\n"
           "\n"
           "  --check LOCATION      check the links found from LOCATION, without a window\n"
           "  --external            check external links too\n"
           "  --no-local            explore the start page only\n"
           "  --sizes               report the sizes of pages and images\n"
           "  --all                 report every link, not only the errors\n"
           "  --timeout S           connect and receive time-out in seconds (default 15)\n"
           "  --max-level N         passes during which absolute URLs are explored (default 0)\n"
           "  --user NAME           user name for a server that asks for one\n"
           "  --password-file FILE  the password, on the first line of FILE\n"
           "  --report FILE         the report file (default ARACNIDE.LOG in the current folder)\n"
           "  --jobs N              requests in flight at once (default 64; 1 asks one at a time): pages\n"
           "                        that answer before their turn are scanned ahead and their links asked\n"
           "                        for; the report is the same whatever N\n"
           "  --per-host N          requests started ahead in flight to one host at most (default 64)\n"
           "  --whole-site          links to the start location's host (absolute, root-relative or\n"
           "                        relative) are all local: explored and checked once\n"
           "  --json FILE           also write FILE: a JSON array with one object per checked URL (url,\n"
           "                        result, redirects, size, referrers); - writes it to standard output\n"
           "                        (the summary then goes to standard error)\n"
           "  --help                this text\n"
           "  --version             the version\n"
           "\n"
           "Exit status: 0 no broken link, 1 some broken links, 2 the run could not start, or the report\n"
           "or the JSON file could not be written whole.\n";
}

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error)
{
    CliOptions o;
    bool haveCheck = false;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string flag = args[i];
        std::optional<std::string> inlineValue;
        if (const size_t eq = flag.find('='); flag.starts_with("--") && eq != std::string::npos) {
            inlineValue = flag.substr(eq + 1);
            flag.resize(eq);
        }
        auto value = [&](std::string& into) {
            if (inlineValue) {
                into = *inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = flag + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        auto number = [&](int low, int high, int& into) {
            std::string text;
            if (!value(text))
                return false;
            if (!ParseInt(text, low, high, into)) {
                error = flag + ": not a number: " + text;
                return false;
            }
            return true;
        };
        // A setting the dialog shares, read by its own parser; its error follows the flag's name.
        auto setting = [&](auto parse, int& into) {
            std::string text, why;
            if (!value(text))
                return false;
            const std::optional<int> parsed = parse(text, why);
            if (!parsed) {
                error = flag + ": " + why;
                return false;
            }
            into = *parsed;
            return true;
        };
        auto noValue = [&] {
            if (inlineValue)
                error = flag + " takes no value";
            return !inlineValue;
        };

        auto on = [&](auto& field, auto v) {
            if (!noValue())
                return false;
            field = v;
            return true;
        };

        bool ok = true;
        if (flag == "--help")
            ok = on(o.help, true);
        else if (flag == "--version")
            ok = on(o.version, true);
        else if (flag == "--check")
            ok = value(o.location) && (haveCheck = true);
        else if (flag == "--external")
            ok = on(o.settings.bCEL, true);
        else if (flag == "--no-local")
            ok = on(o.settings.bRLS, false);
        else if (flag == "--sizes")
            ok = on(o.settings.bCalcSize, true);
        else if (flag == "--all")
            ok = on(o.settings.ReportOpt, 1);
        else if (flag == "--timeout")
            ok = setting(ParseTimeout, o.settings.Timeout);
        else if (flag == "--max-level")
            ok = number(0, std::numeric_limits<int>::max(), o.settings.MaxLevel);
        else if (flag == "--user")
            ok = value(o.settings.szUser);
        else if (flag == "--password-file")
            ok = value(o.passwordFile);
        else if (flag == "--report")
            ok = value(o.report);
        else if (flag == "--jobs")
            ok = number(1, kMaxJobs, o.settings.jobs);
        else if (flag == "--per-host")
            ok = number(1, kMaxJobs, o.settings.perHost);
        else if (flag == "--whole-site")
            ok = on(o.settings.wholeSite, true);
        else if (flag == "--json")
            ok = value(o.json);
        else {
            error = flag.starts_with("--") ? "unknown flag: " + flag : "unexpected argument: " + flag;
            ok = false;
        }
        if (!ok)
            return std::nullopt;
    }
    if (!o.help && !o.version && !haveCheck) {
        error = "--check LOCATION is missing";
        return std::nullopt;
    }
    if (haveCheck && o.location.empty()) {
        error = "--check: the location is empty";
        return std::nullopt;
    }
    return o;
}

RunSummary Summarize(const ListModel& list)
{
    RunSummary s;
    for (int i = 0; i < list.Count(); ++i) {
        const std::string& text = list.At(i).text;
        const size_t tab = text.rfind('\t');
        if (tab == std::string::npos)
            continue;  // not checked (a suspended run)
        ++s.checked;
        if (EndsWith(text, "\tSkipped"))
            ++s.skipped;
        else if (!EndsWith(text, "\tOk"))
            ++s.broken;
    }
    return s;
}

std::string SummaryLine(const RunSummary& s)
{
    return std::to_string(s.checked) + " checked, " + std::to_string(s.broken) + " broken, " +
           std::to_string(s.skipped) + " skipped";
}

namespace {

bool IsBroken(const std::string& text)
{
    const size_t tab = text.rfind('\t');
    return tab != std::string::npos && !EndsWith(text, "\tSkipped") && !EndsWith(text, "\tOk");
}

const CheckRecord* RecordOf(const RunContext& ctx, int i)
{
    return static_cast<size_t>(i) < ctx.records.size() ? &ctx.records[static_cast<size_t>(i)] : nullptr;
}

// A redirect chain that ended in a good answer: the entry shows the redirect's status, but the link works.
bool RedirectedToGood(const CheckRecord* r)
{
    return r && !r->redirects.empty() && r->finalStatus == kStatusOk;
}

bool IsBroken(const RunContext& ctx, int i)
{
    return IsBroken(ctx.model.At(i).text) && !RedirectedToGood(RecordOf(ctx, i));
}

// The length of the UTF-8 sequence at s[i], 0 when the bytes there are not one.
size_t Utf8Length(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80)
        return 1;
    size_t n;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
    else
        return 0;
    if (i + n > s.size() || b(i + 1) < low || b(i + 1) > high)
        return 0;
    for (size_t k = 2; k < n; ++k)
        if (b(i + k) < 0x80 || b(i + k) > 0xBF)
            return 0;
    return n;
}

}  // namespace

RunSummary Summarize(const RunContext& ctx)
{
    RunSummary s = Summarize(ctx.model);
    for (int i = 0; i < ctx.model.Count(); ++i)
        if (IsBroken(ctx.model.At(i).text) && RedirectedToGood(RecordOf(ctx, i)))
            --s.broken;
    s.broken += static_cast<int>(ctx.brokenImages.size());  // images that --sizes found missing
    return s;
}

std::string BrokenLinks(const RunContext& ctx)
{
    std::string out;
    for (int i = 0; i < ctx.model.Count(); ++i) {
        const CheckRecord* r = RecordOf(ctx, i);
        if (!r || !IsBroken(ctx, i))
            continue;
        out += "  " + r->url;
        if (!r->redirects.empty())  // named by where the chain ended and what was found there
            out += " -> " + r->redirects.back() + " (" + std::to_string(r->finalStatus) + ")";
        out += "\n";
        for (const int ref : r->referrers)
            if (const CheckRecord* page = RecordOf(ctx, ref); ref >= 0 && page)
                out += "    linked from " + page->url + "\n";
    }
    for (const CheckRecord& image : ctx.brokenImages) {
        out += "  " + image.url + " (image)\n";
        for (const int ref : image.referrers)
            if (const CheckRecord* page = RecordOf(ctx, ref); ref >= 0 && page)
                out += "    shown in " + page->url + "\n";
    }
    return out;
}

std::string PartialPages(const RunContext& ctx)
{
    std::string out;
    for (const CheckRecord& r : ctx.records)
        if (r.checked && r.result == kStatusOk && !r.error.empty())
            out += "warning: " + r.url + ": " + r.error + "; its links may be incomplete\n";
    return out;
}

std::string JsonText(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (const size_t n = Utf8Length(text, i)) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            const auto c = static_cast<unsigned char>(text[i++]);
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string JsonReport(const RunContext& ctx)
{
    nlohmann::json all = nlohmann::json::array();
    for (size_t i = 0; i < ctx.records.size(); ++i) {
        const CheckRecord& r = ctx.records[i];
        if (!r.checked)
            continue;
        nlohmann::json o;
        o["url"] = JsonText(r.url);
        if (r.result != 0 || r.error.empty())
            o["result"] = r.result;
        else
            o["result"] = JsonText(r.error);
        if (r.result == kStatusOk && !r.error.empty())
            o["error"] = JsonText(r.error);  // the body failed: the page's links may be incomplete
        nlohmann::json redirects = nlohmann::json::array();
        for (const std::string& to : r.redirects)
            redirects.push_back(JsonText(to));
        o["redirects"] = std::move(redirects);
        if (r.sizeKnown)
            o["size"] = r.size;
        nlohmann::json refs = nlohmann::json::array();
        for (const int ref : r.referrers)
            if (ref >= 0 && static_cast<size_t>(ref) < ctx.records.size())
                refs.push_back(JsonText(ctx.records[static_cast<size_t>(ref)].url));
        o["referrers"] = std::move(refs);
        all.push_back(std::move(o));
    }
    return all.dump(2) + "\n";
}

int RunCommandLine(const std::vector<std::string>& args, const std::string& version, std::ostream& out,
                   std::ostream& err, bool progressLine)
{
    std::string error;
    const auto parsed = ParseCommandLine(args, error);
    if (!parsed) {
        err << "aracnide: " << error << "\n(aracnide --help lists the flags)\n";
        return kCliNotStarted;
    }
    CliOptions o = *parsed;
    if (o.help) {
        out << CliUsage();
        return kCliClean;
    }
    if (o.version) {
        out << "aracnide " << version << "\n";
        return kCliClean;
    }
    if (!o.passwordFile.empty()) {
        std::vector<std::string> lines;
        ErrorInfo why;
        if (!ReadTextLines(PosixFileSystem::Instance(), o.passwordFile, lines, why)) {
            err << "aracnide: cannot read the password file " << o.passwordFile << ": "
                << why.text.substr(0, why.text.find_first_of("\r\n")) << "\n";
            return kCliNotStarted;
        }
        o.settings.szPass = lines.empty() ? std::string() : lines.front();
    }

    HttpClient client("Aracnide");
    RunContext ctx(&client);
    ctx.szVersion = version;
    ctx.keepRecords = true;
    ctx.imageCache = true;
    ctx.reportPath = o.report;
    bool lineShown = false;
    if (progressLine) {
        ctx.observer.counter = [&](int done, int count) {
            std::string line = std::to_string(done) + " / " + std::to_string(count) + "  " + ctx.szCurUrl;
            if (line.size() > 79)
                line.resize(79);
            err << "\r" << line << "\033[K" << std::flush;
            lineShown = true;
        };
    }

    RunRequest request;
    request.location = Absolute(o.location);
    request.settings = o.settings;
    const StartOutcome start = NewRun(ctx, request);
    switch (start.result) {
    case StartOutcome::Started:
        break;
    case StartOutcome::ReportFailed:
        err << "aracnide: " << start.message << ": " << o.report << "\n";
        return kCliNotStarted;
    case StartOutcome::ListFileFailed:
        err << "aracnide: cannot read the list file " << start.fileName << ": " << start.message << "\n";
        return kCliNotStarted;
    default:
        err << "aracnide: the run cannot start from " << o.location << "\n";
        return kCliNotStarted;
    }
    RunChecks(ctx);
    if (lineShown)
        err << "\r\033[K" << std::flush;
    const RunSummary s = Summarize(ctx);
    // With the JSON on standard output, the summary goes to standard error so the output stays JSON.
    const bool jsonOut = o.json == "-";
    (jsonOut ? err : out) << SummaryLine(s) << "\n" << BrokenLinks(ctx) << PartialPages(ctx);
    if (jsonOut) {
        out << JsonReport(ctx) << std::flush;
        if (!out) {
            err << "aracnide: cannot write the JSON to standard output\n";
            return kCliNotStarted;
        }
    } else if (!o.json.empty()) {
        std::string why;
        if (!ReplaceFile(o.json, JsonReport(ctx), false, why)) {
            err << "aracnide: cannot write " << o.json << ": " << why << "\n";
            return kCliNotStarted;
        }
    }
    if (!ctx.reportError.empty()) {
        err << "aracnide: " << ctx.reportError << "\n";
        return kCliNotStarted;
    }
    return s.broken > 0 ? kCliBroken : kCliClean;
}

}  // namespace aracnide
