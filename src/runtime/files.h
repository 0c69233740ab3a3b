#pragma once
// Every file lookup of a game goes through here. Games are written on systems
// whose file names ignore case and use "\" between folders; a game folder
// copied from such a system must just work.
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvant::files {

// "\" becomes "/"; when the exact path does not exist, each component is
// matched without regard to case, folder by folder. A path that matches
// nothing comes back normalised, so it can be created.
QString resolve(const QString& path);
// folder (native, ending in "/" or empty) + a Windows-1252 name from a game.
QString join(const QString& folder, std::string_view name);
bool exists(const QString& path);

// Reads a whole text file as lines (CR, LF or CR LF); nullopt when it cannot
// be read.
std::optional<std::vector<std::string>> readLines(const QString& path);
std::optional<std::string> readBytes(const QString& path);

// Writes lines with CR LF through a temporary file that replaces the old one
// only when everything was written. Returns an error text, empty on success.
std::string writeLines(const QString& path, const std::vector<std::string>& lines);
// Appends one line (CR LF) to a text file, creating it when missing.
std::string appendLine(const QString& path, std::string_view line);
bool remove(const QString& path);

// A path for messages shown to people, as Windows-1252 text.
std::string display(const QString& path);

}  // namespace corvant::files
