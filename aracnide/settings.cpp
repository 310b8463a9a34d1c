#include "settings.h"

#include <unistd.h>

namespace {
constexpr char kInit[] = "Init";
constexpr char kUrlList[] = "UrlList";

bool IStartsWith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i]))
            return false;
    }
    return true;
}
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

Profile SettingsProfile(const std::string& path) { return Profile(path, {{kInit, "szPass"}}); }

DialogSettings LoadDialogSettings(const Profile& ini)
{
    DialogSettings s;
    s.szUser = ini.GetString(kInit, "szUser", "");
    s.szPass = ini.GetString(kInit, "szPass", "");
    s.Timeout = ini.GetString(kInit, "Timeout", "15");
    s.bRLS = ini.GetInt(kInit, "bRLS", 1) != 0;
    s.bCEL = ini.GetInt(kInit, "bCEL", 0) != 0;
    s.bCalcSize = ini.GetInt(kInit, "bCalcSize", 0) != 0;
    s.bLogData = ini.GetInt(kInit, "bLogData", 0) != 0;
    s.ReportOpt = ini.GetInt(kInit, "ReportOpt", 0) == 1 ? 1 : 0;
    return s;
}

std::vector<std::string> LoadHistory(const Profile& ini)
{
    std::vector<std::string> items;
    for (int k = ini.GetInt(kUrlList, "UrlNumber", 0); k >= 1; --k) {
        std::string url = ini.GetString(kUrlList, "url" + std::to_string(k), "");
        if (!url.empty())
            items.push_back(std::move(url));
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
    const int n = ini.GetInt(kUrlList, "UrlNumber", 0) + 1;
    return ini.WriteString(kUrlList, "url" + std::to_string(n), location) && ini.WriteInt(kUrlList, "UrlNumber", n);
}

bool SaveRunSettings(Profile& ini, const RunSettings& s, std::string_view timeoutText)
{
    return ini.WriteString(kInit, "Timeout", timeoutText) && ini.WriteInt(kInit, "bRLS", s.bRLS) &&
           ini.WriteInt(kInit, "bCEL", s.bCEL) && ini.WriteInt(kInit, "bCalcSize", s.bCalcSize) &&
           ini.WriteInt(kInit, "ReportOpt", s.ReportOpt) && ini.WriteString(kInit, "szUser", s.szUser) &&
           ini.WriteString(kInit, "szPass", s.szPass);
}

int LoadMaxLevel(const Profile& ini) { return ini.GetInt(kInit, "MaxLevel", 0); }

bool SaveLastLocation(Profile& ini, std::string_view location) { return ini.WriteString(kInit, "URL", location); }
