#include "browser.h"

#include "pagescan.h"

#include <vector>

namespace aracnide {

namespace {
constexpr size_t kMaxWindows = 200;  // listeHw
constexpr size_t kMaxTitle = 250;    // szTitreHw
}  // namespace

bool IsBrowserTitle(std::string_view title)
{
    for (std::string_view name : {"Netscape", "Internet Explorer", "Opera", "Firefox", "Chromium", "Chrome"})
        if (title.find(name) != std::string_view::npos)
            return true;
    return false;
}

std::string EnumWindowsProc(WindowLister& windows)
{
    std::vector<uint32_t> listeHw;
    size_t curHw = 0;
    for (const WindowInfo& top : windows.TopLevel()) {
        if (top.title.empty() || !IsBrowserTitle(top.title))
            continue;
        listeHw.push_back(top.id);
        while (curHw < listeHw.size()) {
            for (WindowInfo& child : windows.Children(listeHw[curHw])) {
                std::string szTitreHw = child.title.substr(0, kMaxTitle);
                if (IStartsWith(szTitreHw, "http"))
                    return szTitreHw;
                if (listeHw.size() + 1 >= kMaxWindows)
                    return {};  // the table is full: the whole enumeration stops
                listeHw.push_back(child.id);
            }
            ++curHw;
        }
    }
    return {};
}

}  // namespace aracnide
