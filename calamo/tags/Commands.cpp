#include "Commands.h"

#include <array>

namespace calamo {

namespace {

// Toolbar button run by each shortcut entry from 10 to 34.
constexpr std::array<int, 25> kShortcutButtons = {1,  2,  3,  47, 4,  13, 20, 5,  6,  9,  8,  7, 10,
                                                  11, 12, 14, 15, 16, 21, 22, 24, 17, 18, 19, 32};

}  // namespace

std::optional<Insertion> SpeedTag(int button, const PanelSource& panels, Prompts& prompts)
{
    switch (button) {
    case 1:
        return Speed01Tag(panels.testo());
    case 12:
        return Speed12Tag(prompts);
    case 13:
        return Speed13Tag(panels.testo(), prompts);
    case 14:
        return Speed14Tag(panels.elenco());
    case 15:
        return Speed15Tag(panels.elenco());
    case 16:
        return Speed16Tag(panels.elenco());
    case 17:
        return Speed17Tag(panels.collegamento(), prompts);
    case 18:
        return Speed18Tag(prompts);
    case 19:
        return Speed19Tag(panels.collegamento(), prompts);
    case 20:
        return Speed20Tag(panels.carattere(), prompts);
    case 21:
        return Speed21Tag(panels.tabella(), prompts);
    case 24:
        return Speed24Tag(panels.tabella());
    case 32:
        return Speed32Tag(prompts);
    default:
        return fixedTag(button);
    }
}

void runShortcutEntry(int entry, CommandTarget& target)
{
    if (entry >= 10 && entry <= 34) {
        target.SpeedClick(kShortcutButtons[static_cast<std::size_t>(entry - 10)]);
        return;
    }
    switch (entry) {
    case 1:
        target.NuovoClick();
        break;
    case 2:
        target.ApriClick();
        break;
    case 3:
        target.SalvaClick();
        break;
    case 4:
        target.Speed46Click();
        break;
    case 5:
        target.StampaClick();
        break;
    case 6:
        target.TagliaClick();
        break;
    case 7:
        target.CopiaClick();
        break;
    case 8:
        target.IncollaClick();
        break;
    case 9:
        target.Speed23Click();
        break;
    case 35:
        target.Speed33Click();
        break;
    case 36:
        target.Speed44Click();
        break;
    case 37:
        target.Speed45Click();
        break;
    default:
        break;  // 38 to 50 are bound to nothing
    }
}

}  // namespace calamo
