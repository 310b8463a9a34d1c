#pragma once
// The link checker keeps its texts (settings, check list, report) as single-byte Windows-1252.

#include <QString>

#include <string>
#include <string_view>

namespace aracnide {

QString FromCp1252(std::string_view bytes);
// Characters that Windows-1252 cannot hold become "?".
std::string ToCp1252(const QString& text);

// Locations and the texts made of them (paths, URLs, check-list entries) are the file system's bytes:
// UTF-8 when they are valid UTF-8, else Windows-1252 (what older settings files and pages hold).
QString FromBytes(std::string_view bytes);
std::string ToBytes(const QString& text);

}  // namespace aracnide
