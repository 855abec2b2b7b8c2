#include "HeadlessStartup.h"

#include "FileSystemProbe.h"
#include "FolderRoles.h"
#include "SettingsFile.h"
#include "Startup.h"

namespace ornvale {

RunValues settleRunValues(Prompter& prompter, std::optional<quint8> selection) {
    SystemFolderRoles folders;
    SystemFileSystemProbe files;
    return runStartup(folders, files, prompter, selection).runValues;
}

QString settingsFilePath() {
    SystemFolderRoles folders;
    return SettingsFile::path(folders.windowsDirectory());
}

} // namespace ornvale
