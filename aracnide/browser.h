#pragma once
// Browser detection: the address shown by a running web browser, read from the desktop's windows.

#include "windowlist.h"

#include <string>
#include <string_view>

namespace aracnide {

// Whether a window title names a browser ("Netscape", "Internet Explorer", "Opera", "Firefox",
// "Chromium", "Chrome", exact case, anywhere in the title).
bool IsBrowserTitle(std::string_view title);

// Walks the top-level windows; for each browser window, its descendants breadth-first (at most 200
// windows in the table) until one whose text begins with "http" (either case). Returns that text, or
// an empty text when no browser shows an address.
std::string EnumWindowsProc(WindowLister& windows);

}  // namespace aracnide
