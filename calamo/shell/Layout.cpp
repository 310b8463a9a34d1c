#include "Layout.h"

namespace calamo {

WindowLayout FormResize(QSize outer, bool findPanelVisible)
{
    const int w = outer.width();
    const int h = outer.height();
    WindowLayout layout{};
    layout.lingue = QRect(156, 64, w - 164, 29);
    layout.controlBarWidth = w - 13;
    layout.editors = QSize(w - 164, h - 162 - (findPanelVisible ? 70 : 0));
    layout.panelHeight = h - 126;
    layout.imageHeight = layout.panelHeight - 12;
    layout.edit2Top = h - 133;
    layout.button13Top = h - 134;
    layout.panel10Top = h - 102;
    layout.edit3Top = h - 91;
    layout.button24Top = h - 92;
    return layout;
}

}  // namespace calamo
