#include "HeadlessStartup.h"

#include "FileSystemProbe.h"
#include "FolderRoles.h"
#include "SettingsFile.h"
#include "Startup.h"

namespace ornvale {

RunValues settleRunValues(Prompter& prompter) {
    SystemFolderRoles folders;
    SystemFileSystemProbe files;
    return runStartup(folders, files, prompter).runValues;
}

QString settingsFilePath() {
    SystemFolderRoles folders;
    return SettingsFile::path(folders.windowsDirectory());
}

} // namespace ornvale
