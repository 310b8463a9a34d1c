#pragma once

#include "Frameset.h"

#include <QIcon>

class QGroupBox;
class QWidget;

namespace calamo {

// Fills the "Frameset" panel PGroup8: the template buttons FrButton01..FrButton11 in two columns with a
// picture of each layout, then the "Cornice" and "Frame" option groups.
void buildFramesetPanel(QGroupBox* panel);

// The options as the panel's controls hold them.
FramesetPanel readFramesetPanel(const QWidget* panel);

// The picture of template `button`: the page with its frames, drawn at 1x and 2x.
QIcon framesetIcon(int button, QSize size);

}  // namespace calamo
