#pragma once
// The command line for scripts: one whole run without a window and without the settings file.

#include "general.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace aracnide {

struct CliOptions {
    bool help = false;
    bool version = false;
    std::string location;  // --check
    RunSettings settings;  // the flags that stand for the dialog's fields
    std::string passwordFile;
    std::string report = "ARACNIDE.LOG";
    std::string json;  // --json: the file for one object per checked URL; empty for none
    CliOptions()
    {
        settings.jobs = kDefaultJobs;
        settings.perHost = kDefaultPerHost;
    }
};

// Exit statuses.
enum CliStatus { kCliClean = 0, kCliBroken = 1, kCliNotStarted = 2 };

// Whether the arguments (without the program name) ask for the command line mode at all.
bool WantsCommandLine(const std::vector<std::string>& args);

// The options, or nothing with `error` set for an unknown flag or a bad value.
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args, std::string& error);

// The text of --help.
std::string CliUsage();

// Entries checked, broken (a result other than Ok or Skipped) and skipped.
struct RunSummary {
    int checked = 0, broken = 0, skipped = 0;
};
RunSummary Summarize(const ListModel& list);
// The same, with the run's records: a redirect chain that ends in a good answer is not broken.
RunSummary Summarize(const RunContext& ctx);
std::string SummaryLine(const RunSummary& s);
// After the counts: each broken URL, then every page that links to it ("  URL" and "    linked from
// PAGE" lines).
std::string BrokenLinks(const RunContext& ctx);
// Pages answered 200 whose body could not be read whole ("warning: URL: ERROR; ..." lines).
std::string PartialPages(const RunContext& ctx);
// A text as it goes into the JSON: bytes that are not UTF-8 percent-encoded, so that no two URLs merge.
std::string JsonText(std::string_view text);
// One JSON array, one object per checked URL in list order: url, result (the status, or the error
// text when there is none), redirects, size when known, referrers.
std::string JsonReport(const RunContext& ctx);

// Parses and runs; the progress line goes to `err` when `progressLine` is set. Returns the exit status.
int RunCommandLine(const std::vector<std::string>& args, const std::string& version, std::ostream& out,
                   std::ostream& err, bool progressLine);

}  // namespace aracnide
