#include "LayoutRule.h"

namespace calamo {

QSize outerSize(QSize client)
{
    return {client.width() + 7, client.height() + 45};
}

MainLayout FormLayout(QSize outer, bool findPanelVisible)
{
    const int w = outer.width();
    const int h = outer.height();
    MainLayout layout;
    layout.lingue = QRect(156, 64, w - 164, 29);
    layout.controlBarWidth = w - 13;
    layout.editors = QRect(156, 96, w - 164, h - 162 - (findPanelVisible ? kFindPanelShrink : 0));
    layout.panelHeight = h - 126;
    layout.edit2Top = h - 133;
    layout.buttons1And3Top = h - 134;
    layout.panel10Top = h - 102;
    layout.edit3Top = h - 91;
    layout.buttons2And4Top = h - 92;
    return layout;
}

}  // namespace calamo
