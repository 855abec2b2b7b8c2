#include "FolderRoles.h"

#include <QDir>
#include <QStandardPaths>

// Linux and other XDG systems: each role gets a folder of the user's XDG tree. Reading the
// environment on every call keeps tests that point XDG_* at a temporary folder honest.
namespace ornvale {

namespace {

std::optional<QString> locationFolder(QStandardPaths::StandardLocation location,
                                      const QString& subfolder) {
    const QString base = QStandardPaths::writableLocation(location);
    if (base.isEmpty())
        return std::nullopt;
    const QString path = subfolder.isEmpty() ? base : base + QLatin1Char('/') + subfolder;
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

} // namespace

QString SystemFolderRoles::windowsDirectory() {
    const std::optional<QString> folder =
        locationFolder(QStandardPaths::GenericConfigLocation, QStringLiteral("ornvale"));
    if (!folder)
        return {};
    // Created on demand: the settings file and the script are written here.
    QDir().mkpath(*folder);
    return *folder;
}

std::optional<QString> SystemFolderRoles::appDataFolder() {
    return locationFolder(QStandardPaths::GenericDataLocation, QStringLiteral("ornvale"));
}

std::optional<QString> SystemFolderRoles::desktopFolder() {
    return locationFolder(QStandardPaths::DesktopLocation, QString());
}

} // namespace ornvale
