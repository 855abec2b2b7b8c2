#include "FolderRoles.h"
#include "WindowsDirectoryChoice.h"

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

} // namespace

QString SystemFolderRoles::windowsDirectory() {
    return chooseWindowsDirectory(systemWindowsDirectory(), knownFolder(FOLDERID_RoamingAppData));
}

std::optional<QString> SystemFolderRoles::appDataFolder() {
    return knownFolder(FOLDERID_RoamingAppData);
}

std::optional<QString> SystemFolderRoles::desktopFolder() {
    return knownFolder(FOLDERID_Desktop);
}

} // namespace ornvale
