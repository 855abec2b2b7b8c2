#pragma once

#include <QString>

namespace ornvale {

enum class FolderAccess { Writable, CannotCreate, NotWritable };

// Whether files can be made in a folder: it is created when missing, then a file is made in it
// and removed at once. Permission bits do not tell: root ignores them, while a read-only mount
// or an immutable folder refuses even root.
FolderAccess folderAccess(const QString& folder);

} // namespace ornvale
