#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    // Bytes behind the record stay as they are, so the whole file is read and written again.
    QByteArray contents;
    if (info.exists()) {
        QFile current(filePath);
        if (!current.open(QIODevice::ReadOnly))
            return false;
        contents = current.readAll();
        if (current.error() != QFileDevice::NoError)
            return false;
    }
    const QByteArray bytes = record.toBytes();
    contents.replace(0, qMin(contents.size(), bytes.size()), bytes);
    // Written beside the file and renamed over it: a failure leaves the old file whole.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(contents) != contents.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace ornvale
