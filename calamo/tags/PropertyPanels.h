#pragma once

#include "Commands.h"
#include "PanelStates.h"

#include <QString>
#include <QStringList>

#include <array>
#include <initializer_list>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QToolButton;
class QWidget;

namespace calamo {

template <typename Panel>
struct Control;

// The eight property panels PGroup1..PGroup8 at the left of the main window, one visible at a time.
// The controls are children of the panels and carry their names; this class reads them into panel states.
class PropertyPanels final : public PanelSource {
public:
    PropertyPanels(QWidget* parent, const QStringList& fontFamilies);

    TestoPanel testo() const override;
    CarattPanel carattere() const override;
    CollegamentoPanel collegamento() const override;
    ElencoPanel elenco() const override;
    TabellaPanel tabella() const override;

    // A check box's state and a value control's text by the control's name. A name no panel holds is a
    // programming error and stops the program, so that a misspelt name cannot silently read a default.
    bool ticked(const char* name) const;
    QString value(const char* name) const;

    // A check box and the value control on its row (null when the value has a line of its own or none).
    struct CaptionRow {
        QCheckBox* check;
        QWidget* value;
    };

    // Shows panel n (1..8) and hides the others.
    void show(int n);
    // The visible panel, tested from 8 down to 1; 0 when none is.
    int visible() const;
    // Shows the next panel of the cycle.
    void Sfoglia1Click();

    QGroupBox* group(int n) const { return groups_.at(static_cast<std::size_t>(n - 1)); }
    QLabel* image() const { return image_; }
    // Panels take `height`; the picture of the first panel follows (its pixmap is the caller's).
    void setHeight(int height);
    // Handlers for the buttons that open other tools (form builder pages, frameset templates).
    QToolButton* button(const char* name) const;

private:
    template <typename Panel>
    Panel read(std::initializer_list<Control<Panel>> controls) const;

    // The font rule: the panels take the condensed face of the window's font at the largest size from 11 down to
    // 9 pixels at which every caption fits its box, leaving a value beside it room for a few characters; the
    // value then takes the room the caption leaves. The panels' place and the rows stay.
    void fitCaptions();

    QWidget* parent_;
    std::vector<CaptionRow> rows_;
    std::array<QGroupBox*, 8> groups_{};
    QLabel* image_ = nullptr;
};

}  // namespace calamo
