#pragma once

#include "Inserters.h"
#include "PanelStates.h"

#include <optional>

namespace calamo {

class Prompts;

// The property panels' controls, read when an inserter runs.
class PanelSource {
public:
    virtual ~PanelSource() = default;
    virtual TestoPanel testo() const = 0;
    virtual CarattPanel carattere() const = 0;
    virtual CollegamentoPanel collegamento() const = 0;
    virtual ElencoPanel elenco() const = 0;
    virtual TabellaPanel tabella() const = 0;
};

// The inserter of toolbar button SpeedNN: the texts it puts around the selection. Empty when it inserts
// nothing (No to the blinking question) or when the button has no inserter.
std::optional<Insertion> SpeedTag(int button, const PanelSource& panels, Prompts& prompts);

// The main window's handlers that shortcut entries run.
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual void NuovoClick() = 0;
    virtual void ApriClick() = 0;
    virtual void SalvaClick() = 0;
    virtual void Speed46Click() = 0;  // save all
    virtual void StampaClick() = 0;
    virtual void TagliaClick() = 0;
    virtual void CopiaClick() = 0;
    virtual void IncollaClick() = 0;
    virtual void Speed23Click() = 0;          // the find panel
    virtual void Speed33Click() = 0;          // the form builder
    virtual void Speed44Click() = 0;          // preview in browser 1
    virtual void Speed45Click() = 0;          // preview in browser 2
    virtual void SpeedClick(int button) = 0;  // the toolbar inserter of SpeedNN
};

// Runs the command bound to shortcut entry `entry` (1..50); entries 38 to 50 run nothing.
void runShortcutEntry(int entry, CommandTarget& target);

}  // namespace calamo
