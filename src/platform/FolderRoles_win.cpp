#include "FolderRoles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <windows.h>

#include <shlobj.h>

// Windows: the Windows directory and the shell folders AppData and Desktop. A Windows directory
// the user cannot write to (the usual case today) is replaced by %APPDATA%\Ornvale, which takes
// over an existing reziz.ini from the Windows directory once.
namespace ornvale {

namespace {

std::optional<QString> knownFolder(REFKNOWNFOLDERID id) {
    PWSTR raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, 0, nullptr, &raw);
    std::optional<QString> folder;
    if (SUCCEEDED(result) && raw)
        folder = QString::fromWCharArray(raw);
    CoTaskMemFree(raw);
    return folder;
}

QString systemWindowsDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    return QString::fromWCharArray(buffer, static_cast<int>(length));
}

bool folderIsWritable(const QString& folder) {
    const QString probe = folder + QStringLiteral("\\ornvale-write-test.tmp");
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.close();
    file.remove();
    return true;
}

} // namespace

QString SystemFolderRoles::windowsDirectory() {
    const QString system = systemWindowsDirectory();
    if (!system.isEmpty() && folderIsWritable(system))
        return system;
    const std::optional<QString> appData = knownFolder(FOLDERID_RoamingAppData);
    if (!appData)
        return system;
    const QString own = QDir::toNativeSeparators(*appData + QStringLiteral("/Ornvale"));
    QDir().mkpath(own);
    const QString ownSettings = own + QStringLiteral("\\reziz.ini");
    const QString oldSettings = system + QStringLiteral("\\reziz.ini");
    if (!system.isEmpty() && !QFileInfo::exists(ownSettings) && QFileInfo::exists(oldSettings))
        QFile::copy(oldSettings, ownSettings);
    return own;
}

std::optional<QString> SystemFolderRoles::appDataFolder() {
    return knownFolder(FOLDERID_RoamingAppData);
}

std::optional<QString> SystemFolderRoles::desktopFolder() {
    return knownFolder(FOLDERID_Desktop);
}

} // namespace ornvale
