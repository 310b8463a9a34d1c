#pragma once

#include <QDialog>

namespace calamo {

// "Informazioni su" window: three centred lines, a scrolling notice and a close button.
class AboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace calamo
