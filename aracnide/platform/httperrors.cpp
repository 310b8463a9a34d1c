#include "httpclient.h"
#include "redirects.h"

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
    ErrorText{kErrOutOfHandles, "No more handles could be generated at this time"},
    ErrorText{kErrTimeout, "The operation timed out"},
    ErrorText{kErrInternal, "An internal error occurred in the HTTP client"},
    ErrorText{kErrInvalidUrl, "The URL is invalid"},
    ErrorText{kErrUnrecognizedScheme, "The URL does not use a recognised protocol"},
    ErrorText{kErrNameNotResolved, "The server name could not be resolved"},
    ErrorText{kErrOperationCancelled, "The operation was cancelled"},
    ErrorText{kErrCannotConnect, "The attempt to connect to the server failed"},
    ErrorText{kErrConnectionAborted, "The connection with the server has been terminated"},
    ErrorText{kErrConnectionReset, "The connection with the server has been reset"},
    ErrorText{kErrInvalidCa, "The certificate authority is invalid or incorrect"},
    ErrorText{kErrInvalidServerResponse, "The server response could not be parsed"},
    ErrorText{kErrSecurityChannel, "An error occurred in the secure channel"},
};

}  // namespace

std::string HttpErrorText(uint32_t code)
{
    if (code == kErrRedirectFailed)
        return "The redirection failed: more than " + std::to_string(kMaxRedirects) + " redirects in one check\r\n";
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
