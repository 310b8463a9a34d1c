#pragma once

#include <QString>

namespace calamo {

// Attribute fragments of the tag builders. Each appends only when its box is ticked; values go in exactly as
// typed, with no trimming or escaping.

// " NAME= " + value, no quotes.
inline void bare(QString& tag, bool ticked, const char* fragment, const QString& value)
{
    if (ticked)
        tag += QLatin1String(fragment) + value;
}

// `fragment` ends in an opening quote: fragment + value + "\"".
inline void quoted(QString& tag, bool ticked, const char* fragment, const QString& value)
{
    if (ticked)
        tag += QLatin1String(fragment) + value + u'"';
}

// A fixed word with its leading blank (" NOWRAP").
inline void flag(QString& tag, bool ticked, const char* word)
{
    if (ticked)
        tag += QLatin1String(word);
}

}  // namespace calamo
