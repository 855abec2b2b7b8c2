#include "SaveSettings.h"

#include "FolderRoles.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"

namespace ornvale {

void applyRunValues(const RunValues& values, SettingsRecord& record) {
    // "AutoCADなし" in the settings window leaves the pending selection 0: the product in
    // effect is stored, so the next start works with it (or detects again).
    record.savedSelection =
        values.pendingSelection != 0 ? values.pendingSelection : values.autocadSelection;
    record.customPathFlag = values.defaultInstallFlag != 1 ? 1 : 0;
    record.singleDocumentMode = values.singleDocumentMode;
    record.customExePath = values.customExePath;
    record.reservedText = values.reservedText;
    record.outputFolderPath = values.outputFolder;
}

SaveSettingsResult saveSettings(const RunValues& values, FolderRoles& folders) {
    const QString windowsDirectory = folders.windowsDirectory();
    SettingsRecord record = SettingsFile::read(windowsDirectory);
    applyRunValues(values, record);
    SaveSettingsResult result;
    result.unstorableFields = record.unstorableFields();
    result.written = SettingsFile::write(windowsDirectory, record);
    return result;
}

} // namespace ornvale
