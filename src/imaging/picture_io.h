#pragma once

// Helpers shared by the decoders; not part of the imaging interface.

#include <QByteArray>
#include <QString>

#include <optional>

namespace corvant::imaging::detail {

// The whole file, or empty when it cannot be opened or read.
std::optional<QByteArray> readWholeFile(const QString& path);

}  // namespace corvant::imaging::detail
