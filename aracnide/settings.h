#pragma once
// The link checker's settings file "ARACNIDE.INI": where it lives, what the dialog reads from it when
// it starts, what a new run writes, and the history of locations.

#include "general.h"
#include "profile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace aracnide {

inline constexpr char kSettingsName[] = "ARACNIDE.INI";

// The settings file beside the program (`programDir` ends with "/"), or in `dataDir` when the
// program's folder is not writable (an installed program).
std::string SettingsPath(const std::string& programDir, const std::string& dataDir);

// The settings file with "szPass" as its secret: a file holding a password is its owner's only.
Profile SettingsProfile(const std::string& path);

// What the dialog shows when it starts.
struct DialogSettings {
    std::string szUser, szPass;
    std::string Timeout = "15";  // the field's text, as stored
    bool bRLS = true, bCEL = false, bCalcSize = false, bLogData = false;
    int ReportOpt = 0;
};
DialogSettings LoadDialogSettings(const Profile& ini);

// The most locations the history list holds: the newest ones, as many as a user scrolls through.
inline constexpr size_t kMaxHistory = 100;

// The history, newest first ("url" n down to "url1"), empty values left out, at most kMaxHistory.
std::vector<std::string> LoadHistory(const Profile& ini);

// Whether `location` is "found in the list": some item begins with it, ignoring ASCII case.
bool InHistoryList(const std::vector<std::string>& items, std::string_view location);

// Stores `location` as the next history key unless it is found in `items` (the location list as the
// dialog shows it). True when it was stored.
bool StoreHistory(Profile& ini, const std::vector<std::string>& items, const std::string& location);

// The time-out in seconds, from the dialog's field or the command line: the leading decimal number (a
// unit typed after it is left out), clamped to [1, kMaxTimeoutSeconds]. Nothing, with `error` set,
// when the text does not start with a number.
std::optional<int> ParseTimeout(std::string_view text, std::string& error);

// What a new run writes: the check boxes, the radio buttons, the time-out text and the credentials.
bool SaveRunSettings(Profile& ini, const RunSettings& s, std::string_view timeoutText);

// "MaxLevel", read at each start or resume of a run.
int LoadMaxLevel(const Profile& ini);

// "URL": the last location (written at program start from the command line, and by each new run).
bool SaveLastLocation(Profile& ini, std::string_view location);

}  // namespace aracnide
