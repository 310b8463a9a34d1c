#pragma once

#include "PanelStates.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

namespace calamo {

class Prompts;

constexpr int kFramesetTemplates = 11;  // FrButton01 .. FrButton11

// The attributes of one FRAMESET line. Opens the colour picker when a border colour is asked for; a cancelled
// picker leaves out only this line's BORDERCOLOR.
QString FramesetAttributes(const FramesetPanel& panel, Prompts& prompts);
// The attributes of one FRAME line.
QString FrameAttributes(const FramesetPanel& panel);

// The head lines that every template page starts with.
QStringList FramesetHead();
// The lines of template `button` (1..11) after the head, then the NOFRAME tail. The attributes are computed as
// each line is produced, so colour pickers open once per FRAMESET line, top to bottom. Empty for another number.
QStringList FramesetBody(int button, const FramesetPanel& panel, Prompts& prompts);
// The whole page of template `button`: head and body.
QStringList FramesetPage(int button, const FramesetPanel& panel, Prompts& prompts);

// The frames of template `button` as rectangles of the unit square, in page order, for the button's picture.
// Sizes follow the template's ROWS and COLS on a 640 x 480 page ("*" takes what is left); frames that get no
// room are left out.
std::vector<QRectF> FramesetCells(int button);

}  // namespace calamo
