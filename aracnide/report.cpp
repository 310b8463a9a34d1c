#include "report.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace aracnide {

std::unique_ptr<FileReport> FileReport::Create(const std::string& path, std::string& error)
{
    // Written in place, record by record, so a viewer sees the run as it goes: a link keeps being a
    // link, the file keeps its owner and links. A pipe without a reader is an error, not a wait.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        error = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileReport>(new FileReport(f, path));
}

FileReport::~FileReport()
{
    Close();
}

void FileReport::Write(std::string_view bytes)
{
    if (!f_ || bytes.empty())
        return;
    // Each write is one record or part of one, and goes to the file at once: a run that is killed
    // leaves every record written so far.
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size() || std::fflush(f_) != 0)
        Fail();
    size_ += bytes.size();
}

void FileReport::Flush()
{
    if (f_ && std::fflush(f_) != 0)
        Fail();
}

bool FileReport::Close()
{
    if (f_) {
        if (std::fclose(f_) != 0)
            Fail();
        f_ = nullptr;
    }
    return !failed_;
}

std::string FileReport::Error() const
{
    return failed_ ? std::strerror(errno_) : std::string();
}

std::string RunHeaderText(std::string_view version, const std::tm& t)
{
    static constexpr std::array<const char*, 7> days{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char date[64];
    std::snprintf(date, sizeof date, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", days[(t.tm_wday % 7 + 7) % 7],
                  months[(t.tm_mon % 12 + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 1900 + t.tm_year);
    std::string s = "Aracnide ";
    s.append(version);
    s += " report, ";
    s += date;
    s += "\r\n\r\n";
    return s;
}

std::string PageHeaderText(std::string_view url)
{
    const std::string rule(std::min<size_t>(url.size() + 7, 79), '=');
    std::string s;
    s.reserve(2 * rule.size() + url.size() + 24);
    s += "\r\n> ";
    s += rule;
    s += "\r\n> Page ";
    s.append(url);
    s += " :\r\n> ";
    s += rule;
    s += "\r\n";
    return s;
}

const char* StatusText(int code)
{
    static constexpr std::pair<int, const char*> texts[] = {
        {201, "Object created (new URL)"},
        {202, "Async completion (TBS)"},
        {203, "Partial completion"},
        {204, "No info to return"},
        {301, "Moved permanently"},
        {302, "Moved temporarily"},
        {303, "See other"},
        {304, "Not modified"},
        {307, "Temporary redirect"},
        {308, "Permanent redirect"},
        {400, "Bad request"},
        {401, "Access denied"},
        {402, "Payment required"},
        {403, "Forbidden"},
        {404, "Not found"},
        {405, "Method is not allowed"},
        {406, "No response acceptable to client found"},
        {407, "Proxy authentication required"},
        {408, "Server timed out waiting for request"},
        {409, "User should resubmit with more info"},
        {410, "The resource is no longer available"},
        {411, "Couldn't authorize client"},
        {500, "Internal server error"},
        {501, "Not implemented"},
        {502, "Bad gateway"},
        {503, "Service unavailable"},
    };
    for (const auto& [c, text] : texts)
        if (c == code)
            return text;
    return "Unknown";
}

uint32_t Kb(uint32_t bytes)
{
    return static_cast<uint32_t>((uint64_t{bytes} + 512) / 1024);
}

std::string SizeLine(uint32_t bytes, std::string_view name)
{
    char num[16];
    std::snprintf(num, sizeof num, "%5u", Kb(bytes));
    std::string s = num;
    s += " Kb for ";
    s.append(name);
    s += "\r\n";
    return s;
}

std::string TotalLine(uint32_t bytes)
{
    char line[80];
    std::snprintf(line, sizeof line, "%5u Kb Total size (%u s)\r\n\r\n", Kb(bytes),
                  static_cast<uint32_t>((uint64_t{bytes} + 512) / 3000));
    return line;
}

std::string ErrorRecordText(const ErrorInfo& e)
{
    return "> Error: " + std::string(std::string_view(e.text).substr(0, 250));
}

std::vector<std::string> CheckRecordsText(std::string_view url, const CheckOutcome& out, bool pageHeader,
                                          bool headerPerRecord)
{
    std::vector<std::string> pieces(1);
    if (pageHeader)
        pieces[0] = PageHeaderText(url);
    const auto record = [&](std::string body) {
        if (headerPerRecord)
            pieces.back() += PageHeaderText(url);
        pieces.push_back(std::move(body));
    };
    for (size_t i = 0; i < out.answers.size(); ++i) {
        const CheckOutcome::Answer& a = out.answers[i];
        std::string body =
            "> Status: " + std::to_string(a.status) + " (" + StatusText(static_cast<int>(a.status)) + ")\r\n";
        if (!a.redirectTo.empty())
            body += "> Link to " + a.redirectTo + "\r\n\r\n";
        else if (i + 1 == out.answers.size() && out.ErrorAfterStatus())
            body += ErrorRecordText(out.error) + "\r\n";
        else if (!a.askedAgain)
            body += "\r\n";
        record(std::move(body));
    }
    if (out.error && !out.ErrorAfterStatus())
        record(ErrorRecordText(out.error));
    return pieces;
}

}  // namespace aracnide
