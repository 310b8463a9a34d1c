#include "settings.h"

#include "numbers.h"
#include "text.h"

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>

namespace aracnide {

namespace {
constexpr char kInit[] = "Init";
constexpr char kUrlList[] = "UrlList";
constexpr size_t kMaxValue = 250;  // values are read up to this length

}  // namespace

std::string SettingsPath(const std::string& programDir, const std::string& dataDir)
{
    const std::string beside = programDir + kSettingsName;
    const bool fileWritable = access(beside.c_str(), F_OK) != 0 || access(beside.c_str(), W_OK) == 0;
    if (access(programDir.c_str(), W_OK) == 0 && fileWritable)
        return beside;
    std::string dir = dataDir;
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir + kSettingsName;
}

Profile SettingsProfile(const std::string& path)
{
    return Profile(path, {{kInit, "szPass"}});
}

DialogSettings LoadDialogSettings(const Profile& ini)
{
    const ProfileText t = ini.Read();
    auto text = [&](const char* key, const char* def) {
        std::string v = t.Get(kInit, key).value_or(def);
        if (v.size() > kMaxValue)
            v.resize(kMaxValue);
        return v;
    };
    auto number = [&](const char* key, int def) {
        const auto v = t.Get(kInit, key);
        return v ? ProfileInt(*v) : def;
    };
    DialogSettings s;
    s.szUser = text("szUser", "");
    s.szPass = text("szPass", "");
    s.Timeout = text("Timeout", "15");
    s.bRLS = number("bRLS", 1) != 0;
    s.bCEL = number("bCEL", 0) != 0;
    s.bCalcSize = number("bCalcSize", 0) != 0;
    s.bLogData = number("bLogData", 0) != 0;
    s.ReportOpt = number("ReportOpt", 0) == 1 ? 1 : 0;
    return s;
}

std::vector<std::string> LoadHistory(const Profile& ini)
{
    // One reading of the file, whatever "UrlNumber" says: the keys url1..urlN present in the section,
    // newest first, the empty ones left out, at most kMaxHistory of them.
    const ProfileText t = ini.Read();
    const int n = ProfileInt(t.Get(kUrlList, "UrlNumber").value_or("0"));
    std::map<int, std::string, std::greater<>> keyed;  // the first key of a number wins, as when reading one
    for (auto& [key, value] : t.Entries(kUrlList)) {
        if (key.size() < 4 || !IStartsWith(key, "url"))
            continue;
        const std::string_view digits = std::string_view(key).substr(3);
        if (digits.front() == '0' || digits.find_first_not_of("0123456789") != std::string_view::npos ||
            digits.size() > 10)
            continue;  // "url%u" never writes a leading zero or anything but digits
        const long long k = WholeNumber(digits, 0, std::numeric_limits<int>::max()).value_or(0);
        if (k < 1 || k > n)
            continue;
        if (value.size() > kMaxValue)
            value.resize(kMaxValue);
        keyed.emplace(static_cast<int>(k), std::move(value));
    }
    std::vector<std::string> items;
    for (auto& e : keyed) {
        if (items.size() == kMaxHistory)
            break;
        if (!e.second.empty())
            items.push_back(std::move(e.second));
    }
    return items;
}

bool InHistoryList(const std::vector<std::string>& items, std::string_view location)
{
    for (const auto& item : items)
        if (IStartsWith(item, location))
            return true;
    return false;
}

bool StoreHistory(Profile& ini, const std::vector<std::string>& items, const std::string& location)
{
    if (InHistoryList(items, location))
        return false;
    const int last = ini.GetInt(kUrlList, "UrlNumber", 0);
    if (last == std::numeric_limits<int>::max())
        return false;  // no number is left for a new key: the history stays as it is
    const int n = std::max(last, 0) + 1;
    return ini.WriteValues(kUrlList, {{"url" + std::to_string(n), location}, {"UrlNumber", std::to_string(n)}});
}

bool SaveRunSettings(Profile& ini, const RunSettings& s, std::string_view timeoutText)
{
    return ini.WriteValues(kInit, {{"Timeout", std::string(timeoutText)},
                                   {"bRLS", s.bRLS ? "1" : "0"},
                                   {"bCEL", s.bCEL ? "1" : "0"},
                                   {"bCalcSize", s.bCalcSize ? "1" : "0"},
                                   {"ReportOpt", std::to_string(s.ReportOpt)},
                                   {"szUser", s.szUser},
                                   {"szPass", s.szPass}});
}

std::optional<int> ParseTimeout(std::string_view text, std::string& error)
{
    // -1 stands for "no number": a number is clamped to at least 1 before it is returned.
    const long long n = LeadingNumber(text, 0, kMaxTimeoutSeconds, -1);
    if (n < 0) {
        error = "not a number: " + std::string(text);
        return std::nullopt;
    }
    return std::max(1, static_cast<int>(n));
}

int LoadMaxLevel(const Profile& ini)
{
    return ini.GetInt(kInit, "MaxLevel", 0);
}

bool SaveLastLocation(Profile& ini, std::string_view location)
{
    return ini.WriteString(kInit, "URL", location);
}

}  // namespace aracnide
