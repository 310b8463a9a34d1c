#pragma once
// The run: a new run set up from the location text, then breadth-first passes over the check list,
// suspended and resumed from the front end's Start command.

#include "general.h"

#include <ctime>
#include <string>

struct StartOutcome {
    enum Result { Started, Resumed, Suspended, ReportFailed, ListFileFailed, NotStarted } result;
    std::string message;   // for ReportFailed and ListFileFailed: the text to show the user
    std::string location;  // the location as it is to be stored as the last one (URL completed)
};

// The Start command in each state: a new run when idle, suspend when running, resume when suspended.
// A new run or a resumed one returns when the run ends or is suspended. `now` dates the report header.
StartOutcome Start(RunContext& ctx, const std::string& location, const std::tm* now = nullptr);

// Sets up a new run (empty list, time-outs, report and its header, start entry and base).
StartOutcome NewRun(RunContext& ctx, const std::string& location, const std::tm* now = nullptr);
// The passes over the list; returns the run state afterwards (idle at the end, or suspended).
int RunChecks(RunContext& ctx);
// Called while a run is in progress (from the yield hook): the run stops after the current entry.
void Suspend(RunContext& ctx);
// Clear list: shows the report of a suspended run, then empties the list and returns to idle.
void ClearRun(RunContext& ctx);
// Quit: shows the report of a suspended run.
void QuitRun(RunContext& ctx);

// Adds the fields of column `column` of a list file to the check list (fields end with ";"; column 0
// is the text before the first ";"). -1 with `error` set when the file cannot be read.
int ReadFile(RunContext& ctx, const std::string& name, int column, std::string& error);

// The run's result word for a check result: "\tSkipped", "\tOk" or "\t%d".
std::string ResultWord(uint32_t result);
