#pragma once

class QObject;
class QWidget;

namespace travaso {

// The form a non-visual component belongs to: the window of the nearest widget among owner and its
// parents; null when there is none.
QWidget* OwningForm(QObject* owner);

}  // namespace travaso
