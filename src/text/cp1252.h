#pragma once
// Game text is single-byte Windows-1252 inside the engine (std::string of bytes).
// These are the only conversions to and from Qt's Unicode strings.
#include <QString>
#include <string>
#include <string_view>

namespace corvant::text {

QString toQString(std::string_view cp1252);
// Characters with no Windows-1252 byte become '?'.
std::string fromQString(const QString& s);

}  // namespace corvant::text
