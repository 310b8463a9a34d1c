#pragma once

#include "TextSearch.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

namespace calamo {

// A special character that the editor writes as an HTML character entity.
struct EntityRow {
    QStringView entity;       // "&agrave;"; ASCII only
    char16_t symbol;          // the character it stands for, as Unicode; always above U+007F
    QStringView description;  // "(a minuscola, accento grave)"
};

inline constexpr int kEntityRows = 96;

// The rows of "Lista conversioni", in their order. Each symbol belongs to one row.
const std::array<EntityRow, kEntityRows>& entityRows();

// A row as the list shows it: the entity padded with blanks to 13 characters, the symbol, six blanks and the
// description.
QString entityRowText(const EntityRow& row);
QStringList entityRowTexts();

// The entity at the start of a row's text: up to and including its first ";". Empty when it has none.
QString entityOfRowText(QStringView rowText);

// The entity of a character, or an empty view for a character outside the table.
QStringView entityOf(char16_t c);

// The edits that turn every listed character of `text` into its entity. Entities hold no listed character, so
// text that a conversion puts in is never converted again.
std::vector<TextReplacement> entityReplacements(QStringView text);

}  // namespace calamo
