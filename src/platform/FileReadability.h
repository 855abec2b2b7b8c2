#pragma once

#include <QString>

namespace ornvale {

// Why a file cannot be read as a drawing, as the reason of a per-file message: missing, a
// folder, no regular file (a pipe or a device would block or never end), not readable, or
// empty. Empty when it is a regular file that opens for reading and holds something.
QString unreadableFileReason(const QString& path);

} // namespace ornvale
