#pragma once
// The report "ARACNIDE.LOG": where its bytes go, and the text of each of its records
// (single-byte text, every line ended by "\r\n").

#include "checkoutcome.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace aracnide {

class Report {
public:
    virtual ~Report() = default;
    virtual void Write(std::string_view bytes) = 0;
    virtual void Flush() {}
    virtual uint64_t Size() const = 0;
    // Ends the report; false when a write or the close failed.
    virtual bool Close() { return true; }
    // The file that holds the report, empty when it is kept in memory.
    virtual std::string Path() const { return {}; }
    // The reason of the first failed write or close (strerror text); empty when none failed.
    virtual std::string Error() const { return {}; }
};

// The report kept in memory (tests, or a front end that shows it itself).
class StringReport : public Report {
public:
    void Write(std::string_view bytes) override { text.append(bytes); }
    uint64_t Size() const override { return text.size(); }
    std::string text;
};

// The report file, created (or replaced) when a run starts and held open until it ends.
class FileReport : public Report {
public:
    // Creates the file; null with `error` set (strerror text) when it cannot be created.
    static std::unique_ptr<FileReport> Create(const std::string& path, std::string& error);
    ~FileReport() override;
    void Write(std::string_view bytes) override;
    void Flush() override;
    uint64_t Size() const override { return size_; }
    std::string Path() const override { return path_; }
    bool Close() override;
    std::string Error() const override;

private:
    void Fail()
    {
        if (!failed_)
            errno_ = errno;
        failed_ = true;
    }
    FileReport(std::FILE* f, std::string path) : f_(f), path_(std::move(path)) {}
    std::FILE* f_;
    std::string path_;
    uint64_t size_ = 0;
    bool failed_ = false;
    int errno_ = 0;
};

// "Aracnide 1.20 report, Tue Dec  8 03:19:01 2026\r\n\r\n": the date in the asctime layout, in English.
std::string RunHeaderText(std::string_view version, const std::tm& local);
// The framed page header; its rules are the URL's length plus 7, at most 79 "=".
std::string PageHeaderText(std::string_view url);
// The English text of an HTTP status, "Unknown" for codes not in the table.
const char* StatusText(int code);
// Bytes rounded to the nearest kilobyte: (bytes + 512) / 1024.
uint32_t Kb(uint32_t bytes);
// "%5d Kb for %s\r\n"
std::string SizeLine(uint32_t bytes, std::string_view name);
// "%5d Kb Total size (%d s)\r\n\r\n": the seconds at 3000 bytes a second.
std::string TotalLine(uint32_t bytes);
// "> Error: " and at most 250 characters of the error's text (which brings its own line end).
std::string ErrorRecordText(const ErrorInfo& e);
// The records of one check of `url`, cut where the line naming the page that links to the entry goes:
// that line, when there is one, comes between each two pieces. `pageHeader`: the records open with the
// page header (everything reported); `headerPerRecord`: each record opens with it (errors only).
std::vector<std::string> CheckRecordsText(std::string_view url, const CheckOutcome& out, bool pageHeader,
                                          bool headerPerRecord);

}  // namespace aracnide
