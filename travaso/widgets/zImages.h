#pragma once

#include <QIcon>
#include <QImage>

namespace travaso {

// The picture tiled behind the copier's window.
QImage CopierTile();
// The copier's icon, in every size its desktop entry has.
QIcon CopierIcon();

}  // namespace travaso
