#pragma once

#include <QByteArray>
#include <QString>

namespace travaso {

// One byte of Windows-1252 as its character.
QChar Cp1252Char(unsigned char byte);
// Windows-1252: every byte maps to one character (the five unassigned bytes to the C1 control of that number).
QString DecodeCp1252(const QByteArray& bytes);
// UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252.
QString DecodeText(const QByteArray& bytes);

}  // namespace travaso
