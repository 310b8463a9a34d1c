#include "httpclient.h"

#include <array>
#include <utility>

namespace aracnide {

namespace {

struct ErrorText {
    uint32_t code;
    const char* text;
};

// Our own English texts for the HTTP client's error numbers.
constexpr std::array kTexts{
    ErrorText{12001, "No more handles could be generated at this time"},
    ErrorText{12002, "The operation timed out"},
    ErrorText{12004, "An internal error occurred in the HTTP client"},
    ErrorText{12005, "The URL is invalid"},
    ErrorText{12006, "The URL does not use a recognised protocol"},
    ErrorText{12007, "The server name could not be resolved"},
    ErrorText{12017, "The operation was cancelled"},
    ErrorText{12029, "The attempt to connect to the server failed"},
    ErrorText{12030, "The connection with the server has been terminated"},
    ErrorText{12031, "The connection with the server has been reset"},
    ErrorText{12045, "The certificate authority is invalid or incorrect"},
    ErrorText{12152, "The server response could not be parsed"},
    ErrorText{12156, "The redirection failed: more than 10 redirects in one check"},
    ErrorText{12157, "An error occurred in the secure channel"},
};

}  // namespace

std::string HttpErrorText(uint32_t code)
{
    for (const auto& e : kTexts)
        if (e.code == code)
            return std::string(e.text) + "\r\n";
    return std::to_string(code);
}

ErrorInfo TransferCut(const std::string& url, long deadlineMs)
{
    return ErrorInfo{kErrTimeout, "The transfer of " + url + " did not end within " +
                                      std::to_string(deadlineMs / 1000) + " s and was cut\r\n"};
}

ErrorInfo HttpError(uint32_t code)
{
    return ErrorInfo{code, HttpErrorText(code)};
}

}  // namespace aracnide
