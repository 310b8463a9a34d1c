#pragma once
// The check of one entry: a local file or a URL, redirects followed here, one authentication retry.
// What it finds is a CheckOutcome, written to the report as CheckRecordsText cuts it, before the page
// scan of a page to be explored.

#include "general.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace aracnide {

// line: the entry's index, or -1 for an image-size check. Result: for -1 the byte size (0 when not
// known); otherwise the status of the last redirect when there was one, else the status (0 for none).
uint32_t CheckUrl(RunContext& ctx, const std::string& url, int line, bool explore);

// Writes the error record for `e` (none when its code is 0) and returns the code.
uint32_t ErrorOut(RunContext& ctx, const ErrorInfo& e);

// Retries and time-outs of the HTTP client, from the time-out field (seconds, at least 1).
void InternetInit(RunContext& ctx, int seconds);

// Writes the line that names the page whose link is being checked, when there is one.
void Referrer(RunContext& ctx);

// The file a browser opens for a local URL: the text before any "?" query, with "%XX" decoded.
std::string LocalPath(std::string_view url);

// The URL a Location header leads to from `current`.
std::string ResolveLocation(std::string_view current, std::string_view location);

}  // namespace aracnide
