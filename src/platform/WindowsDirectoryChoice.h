#pragma once

#include <QString>

#include <optional>

namespace ornvale {

// Where the settings file and the script live on Windows: the system's Windows directory when
// this user can make files in it, otherwise the program's own folder in AppData. Empty when
// neither folder is known.
QString chooseWindowsDirectory(const QString& systemDirectory,
                               const std::optional<QString>& appDataFolder);

// The program's own folder, AppData's "Ornvale", created on demand. It takes over a reziz.ini
// of the Windows directory once, so settings an earlier installation wrote there are kept.
QString ownSettingsFolder(const QString& systemDirectory, const QString& appDataFolder);

// Whether a file can be made in the folder: asking its permissions is not enough there.
bool folderTakesNewFiles(const QString& folder);

} // namespace ornvale
