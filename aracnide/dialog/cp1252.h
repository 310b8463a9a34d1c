#pragma once
// The link checker keeps its texts (settings, check list, report) as single-byte Windows-1252.

#include <QString>

#include <string>
#include <string_view>

QString FromCp1252(std::string_view bytes);
// Characters that Windows-1252 cannot hold become "?".
std::string ToCp1252(const QString& text);
