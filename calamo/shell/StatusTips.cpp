#include "StatusTips.h"

namespace calamo {

namespace {

constexpr const char* kMaintainerMail = "calamo@example.org";
constexpr const char* kProjectSite = "https://calamo.example.org";

}  // namespace

const std::array<QString, kTipCount>& statusTips()
{
    static const std::array<QString, kTipCount> tips = {
        QStringLiteral("I tuoi consigli sono preziosi: riporta suggerimenti e bug all'email \"") +
            QLatin1String(kMaintainerMail) + QStringLiteral("\". Aggiornerò subito il programma. Grazie!!!"),
        QStringLiteral("Calamo cambierà anche secondo le vostre segnalazioni: verranno realizzate nuove versioni in "
                       "base alle indicazioni pervenute."),
        QStringLiteral("Ogni suggerimento verrà preso in considerazione e contribuirà a rendere Calamo migliore."),
        QStringLiteral(
            "Se vuoi collaborare anche tu o vuoi scaricare l'ultima versione del programma, visita il sito ") +
            QLatin1String(kProjectSite) + QStringLiteral(" !!"),
        QStringLiteral("LO SAPEVI?? Prova a cliccare col tasto destro sui bottoncini della toolbar..."),
    };
    return tips;
}

}  // namespace calamo
