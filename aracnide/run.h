#pragma once
// The run: a new run set up from the location text, then breadth-first passes over the check list,
// suspended and resumed from the front end's Start command.

#include "general.h"

#include <ctime>
#include <string>
#include <vector>

namespace aracnide {

class Profile;

// What the front end hands a new run: the location and the dialog's fields as the user left them.
struct RunRequest {
    std::string location;              // the file system's bytes, cut to 250
    RunSettings settings;              // check boxes, report option, credentials, time-out
    std::string timeoutText;           // the time-out field as typed, stored as it is
    std::vector<std::string> history;  // the location list as the dialog shows it
};

struct StartOutcome {
    enum Result {
        Started,         // a new run was set up and has ended or been suspended
        Resumed,         // a suspended run went on and has ended or been suspended again
        Continued,       // a suspension that the run had not yet noticed was taken back
        Suspended,       // the run in progress stops after its current entry
        Ignored,         // a new run is being set up: nothing happens
        ReportFailed,    // the report could not be created: `message` says so
        ListFileFailed,  // the list file `fileName` could not be read: `message` is the reason
        NotStarted,      // no start entry (an empty location)
    } result;
    std::string message;
    std::string fileName;
    std::string location;       // the location as stored as the last one (URL completed; list: its name)
    bool listFile = false;      // a list file: Local links are now off and External links on
    std::string settingsError;  // the first settings write that failed during the set-up (empty: none)
};

// The Start command in each state: a new run when idle, suspend when running, resume when suspended.
// A new run or a resumed one returns when the run ends or is suspended. `ini` (null for none) receives
// what a new run stores and gives "MaxLevel" at each start or resume; `now` dates the report header.
StartOutcome Start(RunContext& ctx, const RunRequest& request, Profile* ini = nullptr, const std::tm* now = nullptr);

// Sets up a new run (empty list, time-outs, report and its header, start entry and base, settings).
StartOutcome NewRun(RunContext& ctx, const RunRequest& request, Profile* ini = nullptr, const std::tm* now = nullptr);
// The passes over the list; returns the run state afterwards (idle at the end, or suspended).
int RunChecks(RunContext& ctx, const Profile* ini = nullptr);
// Called while a run is in progress (from the yield hook): the run stops after the current entry.
void Suspend(RunContext& ctx);
// Whether the run's list and report are in use: running, being set up, or suspended while its pass
// loop has not yet stopped. Clear list and Quit wait for this to end.
bool Busy(const RunContext& ctx);
// Clear list: shows the report of a suspended run, then empties the list and returns to idle. False
// (nothing done) while the run is busy.
bool ClearRun(RunContext& ctx);
// Quit: shows the report of a suspended run. False (the dialog stays) while the run is busy.
bool QuitRun(RunContext& ctx);

// Adds the fields of column `column` of a list file to the check list (fields end with ";"; column 0
// is the text before the first ";"). -1 with `error` set when the file cannot be read.
int ReadFile(RunContext& ctx, const std::string& name, int column, std::string& error);

// The run's result word for a check result: "\tSkipped", "\tOk" or "\t%d".
std::string ResultWord(uint32_t result);

}  // namespace aracnide
