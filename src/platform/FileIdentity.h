#pragma once

#include <QString>

namespace ornvale {

// The name the file system knows a path by: links resolved, and letter case folded where the
// file system ignores it. A file that does not exist yet is named by its folder's name. Two paths
// with the same key name the same file.
QString fileIdentityKey(const QString& path);

} // namespace ornvale
