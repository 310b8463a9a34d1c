#pragma once

#include "PanelStates.h"

#include <QString>

#include <optional>

namespace calamo {

class Prompts;

// Texts that an inserter puts before and after the selection.
struct Insertion {
    QString open;
    QString close;
    friend bool operator==(const Insertion&, const Insertion&) = default;
};

// Buttons with fixed texts: 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 22, 47. Empty for any other number.
std::optional<Insertion> fixedTag(int speedButton);

// Blinking text, after a warning question; empty when the user says No.
std::optional<Insertion> Speed12Tag(Prompts& prompts);

// Inserters that read a panel. Colour fragments open the colour picker and are left out when it is cancelled;
// URL, name and address come from input boxes whose Cancel gives an empty value.
Insertion Speed01Tag(const TestoPanel& panel);
Insertion Speed13Tag(const TestoPanel& panel, Prompts& prompts);
Insertion Speed20Tag(const CarattPanel& panel, Prompts& prompts);
Insertion Speed14Tag(const ElencoPanel& panel);
Insertion Speed15Tag(const ElencoPanel& panel);
Insertion Speed16Tag(const ElencoPanel& panel);
Insertion Speed17Tag(const CollegamentoPanel& panel, Prompts& prompts);
Insertion Speed18Tag(Prompts& prompts);
Insertion Speed32Tag(Prompts& prompts);
Insertion Speed19Tag(const CollegamentoPanel& panel, Prompts& prompts);
Insertion Speed21Tag(const TabellaPanel& panel, Prompts& prompts);
Insertion Speed24Tag(const TabellaPanel& panel);

}  // namespace calamo
