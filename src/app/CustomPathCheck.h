#pragma once

#include <QString>

#include <optional>

namespace ornvale {

class FileSystemProbe;

// The test a typed AutoCAD executable path must pass before it is taken over: with trailing
// blanks removed it must name an existing file. Returns the message to show when it fails.
std::optional<QString> customPathRefusal(const QString& typed, FileSystemProbe& files);

} // namespace ornvale
