#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ornvale {

QString SettingsFile::path(const QString& windowsDirectory) {
    return QDir::toNativeSeparators(windowsDirectory + QStringLiteral("/reziz.ini"));
}

SettingsRecord SettingsFile::read(const QString& windowsDirectory) {
    // Without a Windows directory the path would point at the root folder: leave it alone.
    if (windowsDirectory.isEmpty())
        return {};
    const QString filePath = path(windowsDirectory);
    const QFileInfo info(filePath);
    if (!info.exists()) {
        QFile created(filePath);
        if (created.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            created.close();
        return {};
    }
    // A folder, a pipe or a device under the name would fail or block: read as zeros.
    if (!info.isFile())
        return {};
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return SettingsRecord::fromBytes(file.read(SettingsRecord::Size));
}

bool SettingsFile::write(const QString& windowsDirectory, const SettingsRecord& record) {
    if (windowsDirectory.isEmpty())
        return false;
    const QString filePath = path(windowsDirectory);
    const QFileInfo info(filePath);
    if (info.exists() && !info.isFile())
        return false;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray bytes = record.toBytes();
    const bool written = file.seek(0) && file.write(bytes) == bytes.size();
    return file.flush() && written;
}

} // namespace ornvale
