#pragma once

#include <QFont>

class QWidget;

namespace calamo {

// The fixed-pitch font of the utility dialogs' lists, whose rows line up in columns: "Liberation Mono" (the
// metrics of the classic typewriter face), else the desktop's fixed-pitch font.
QFont listFont();

// Brings the main window `window` to the front when a utility dialog closes.
void bringToFront(QWidget* window);

}  // namespace calamo
