#pragma once
// The desktop's windows as the browser detection sees them: top-level windows, their children and
// their titles. On X11 they come from the X server; without a display the list is empty.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace aracnide {

struct WindowInfo {
    uint32_t id = 0;
    std::string title;  // UTF-8
};

class WindowLister {
public:
    virtual ~WindowLister() = default;
    virtual std::vector<WindowInfo> TopLevel() = 0;
    virtual std::vector<WindowInfo> Children(uint32_t window) = 0;
};

// A lister for the X display named by DISPLAY, or one that finds no windows when there is none.
std::unique_ptr<WindowLister> OpenWindowLister();

}  // namespace aracnide
