#pragma once

#include "RunValues.h"

#include <QStringList>

#include <optional>

namespace ornvale {

class FolderRoles;
class SettingsRecord;

struct SaveSettingsResult {
    QString filePath; // the settings file written (or not)
    bool written = false;
    // Record field names (SettingsFieldRule::name) whose text the file could not take as it is:
    // not representable (the stored text stays) or too long (cut at the field width).
    QStringList unstorableFields;
    // The file beside it that holds what the record has no room for (JobSettingsFile).
    QString jobFilePath;
    bool jobFileWritten = true;
};

// Sets the record's fields from the run values (what the end button stores).
void applyRunValues(const RunValues& values, SettingsRecord& record);

// What the end buttons do before the program ends: read record 1 of the settings file found in
// the Windows directory again, set its fields from the run values, write it back.
SaveSettingsResult saveSettings(const RunValues& values, FolderRoles& folders);

// The message telling the user what the settings file did not receive, naming the file; nullopt
// when everything was saved.
std::optional<QString> saveSettingsMessage(const SaveSettingsResult& result,
                                           const RunValues& values);

} // namespace ornvale
