#include "WindowsDirectoryChoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ornvale {

bool folderTakesNewFiles(const QString& folder) {
    if (folder.isEmpty())
        return false;
    QFile probe(QDir(folder).filePath(QStringLiteral("ornvale-write-test.tmp")));
    if (!probe.open(QIODevice::WriteOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

QString ownSettingsFolder(const QString& systemDirectory, const QString& appDataFolder) {
    const QString own = QDir(appDataFolder).filePath(QStringLiteral("Ornvale"));
    QDir().mkpath(own);
    const QString ownSettings = QDir(own).filePath(QStringLiteral("reziz.ini"));
    const QString oldSettings = QDir(systemDirectory).filePath(QStringLiteral("reziz.ini"));
    if (!systemDirectory.isEmpty() && !QFileInfo::exists(ownSettings) &&
        QFileInfo(oldSettings).isFile())
        QFile::copy(oldSettings, ownSettings);
    return QDir::toNativeSeparators(own);
}

QString chooseWindowsDirectory(const QString& systemDirectory,
                               const std::optional<QString>& appDataFolder) {
    if (folderTakesNewFiles(systemDirectory) || !appDataFolder)
        return QDir::toNativeSeparators(systemDirectory);
    return ownSettingsFolder(systemDirectory, *appDataFolder);
}

} // namespace ornvale
