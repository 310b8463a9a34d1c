#pragma once

#include <QRect>
#include <QSize>

namespace calamo {

// Where the layout rule puts the main window's controls, in the coordinates below the menu bar.
struct WindowLayout {
    QRect lingue;          // the tab strip
    int controlBarWidth;   // the toolbar band
    QSize editors;         // every editor control, at 156, 96; meaningful only while a tab is open
    int panelHeight;       // the eight property panels
    int imageHeight;       // the picture of the first panel
    // Tops of the find panel's controls.
    int edit2Top;
    int button13Top;       // Button1 and Button3
    int panel10Top;
    int edit3Top;
    int button24Top;       // Button2 and Button4
};

// The rule, on the window's outer size (frame, title bar and menu bar included: the client width + 7 and the
// client height + 45). The find panel takes 70 pixels from the editors while it is shown.
WindowLayout FormResize(QSize outer, bool findPanelVisible);

// Outer size of a client area, with the design's frame.
inline QSize outerSize(QSize client)
{
    return {client.width() + 7, client.height() + 45};
}

}  // namespace calamo
