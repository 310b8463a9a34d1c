#pragma once

#include <QRect>
#include <QSize>

namespace calamo {

// Where the main window's controls go for a window size, in the coordinates of the area below the menu bar.
struct MainLayout {
    QRect lingue;  // the tab strip
    int controlBarWidth = 0;
    QRect editors;        // every editor control, while at least one tab is open
    int panelHeight = 0;  // the eight property panels (the picture in the first one is 12 pixels shorter)
    // Tops of the find panel's controls.
    int edit2Top = 0;
    int buttons1And3Top = 0;
    int panel10Top = 0;
    int edit3Top = 0;
    int buttons2And4Top = 0;
};

// The outer size the design's rule is written for: the client area plus the design frame, title bar and menu bar.
QSize outerSize(QSize client);

// The layout rule for an outer window size W x H. The find panel, while shown, takes 70 pixels from the editors.
MainLayout FormLayout(QSize outer, bool findPanelVisible);

// Left and width of the find panel's controls; the design's fixed columns.
inline constexpr int kFindEditLeft = 158;
inline constexpr int kFindEditWidth = 163;
inline constexpr int kFindButtonWidth = 75;
inline constexpr int kFindFirstButtonLeft = 330;
inline constexpr int kFindSecondButtonLeft = 410;
inline constexpr int kFindPanelShrink = 70;

}  // namespace calamo
