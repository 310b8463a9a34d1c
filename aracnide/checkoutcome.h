#pragma once
// What the check of one entry found, before any of it is written: the answers that make report records,
// where each redirect led, the error that ended the check, and the size of the page or image.

#include "httpclient.h"

#include <cstdint>
#include <string>
#include <vector>

namespace aracnide {

inline constexpr uint32_t kStatusOk = 200;

struct CheckOutcome {
    // An answer other than 200, in the order received. `redirectTo` is the URL a followed redirect led
    // to, empty for any other answer; `askedAgain`: the URL was asked again with the credentials, so
    // the next answer's record goes on from this one's.
    struct Answer {
        uint32_t status = 0;
        std::string redirectTo;
        bool askedAgain = false;
    };
    std::vector<Answer> answers;
    ErrorInfo error;              // what ended the check early; code 0 when nothing did
    uint32_t status = 0;          // the last answer's status; 0 when none could be obtained
    uint32_t redirectStatus = 0;  // the status of the last redirect followed; 0 when none was
    uint32_t size = 0;            // bytes: the announced length, or what was read of a page of unknown length
    bool sizeAnnounced = true;    // the size came from the server or the file system

    // The check's result: for an image the byte size (0 when not known), otherwise the last redirect's
    // status when there was one, else the last status.
    uint32_t Result(bool image) const { return image ? size : (redirectStatus ? redirectStatus : status); }
    bool SizeKnown() const { return status == kStatusOk && (sizeAnnounced || size > 0); }
    // The error follows the last answer's status line, in the same record.
    bool ErrorAfterStatus() const { return error && !answers.empty() && answers.back().redirectTo.empty(); }
};

}  // namespace aracnide
