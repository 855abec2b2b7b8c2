#include "FileSystemProbe.h"

#include <QFile>

#include <sys/stat.h>

namespace ornvale {

namespace {

bool statPath(const QString& path, struct stat& info) {
    if (path.isEmpty())
        return false;
    const QByteArray encoded = QFile::encodeName(path);
    return ::stat(encoded.constData(), &info) == 0;
}

} // namespace

bool SystemFileSystemProbe::exists(const QString& path) {
    struct stat info {};
    return statPath(path, info);
}

// Read-only is judged by the permission bits alone, not by access(2): to root every file is
// writable, yet a file nobody may write is what Windows calls read-only.
std::optional<int> SystemFileSystemProbe::attributeValue(const QString& path) {
    struct stat info {};
    if (!statPath(path, info))
        return std::nullopt;
    int value = FileAttribute::Archive;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        value += FileAttribute::ReadOnly;
    if (S_ISDIR(info.st_mode))
        value += FileAttribute::Directory;
    return value;
}

} // namespace ornvale
