#pragma once
// What the command-line switches --help and --version print. They are answered before anything else starts: no
// window opens, the settings file is neither read nor written, and no running copy is asked anything. Any other
// command line is one path, or the debug switch.

#include <QString>

#include <optional>

namespace marvane {

// True when the whole command line (after the program's name) is one of the two switches.
bool IsInfoRequest(const QString& commandLine);

// The text to print for --help or --version (a Qt core application must exist, for the program's folder);
// std::nullopt for any other command line.
std::optional<QString> InfoText(const QString& commandLine);

}  // namespace marvane
