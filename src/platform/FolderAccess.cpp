#include "FolderAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace ornvale {

FolderAccess folderAccess(const QString& folder) {
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return FolderAccess::CannotCreate;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".ornvale-probe-XXXXXX")));
    return probe.open() ? FolderAccess::Writable : FolderAccess::NotWritable;
}

} // namespace ornvale
