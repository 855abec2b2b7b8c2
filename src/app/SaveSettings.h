#pragma once

#include "RunValues.h"

#include <QStringList>

namespace ornvale {

class FolderRoles;
class SettingsRecord;

struct SaveSettingsResult {
    bool written = false;
    // Text fields left as stored because code page 932 cannot represent their new text.
    QStringList unstorableFields;
};

// Sets the record's fields from the run values (what the end button stores).
void applyRunValues(const RunValues& values, SettingsRecord& record);

// What the end buttons do before the program ends: read record 1 of the settings file found in
// the Windows directory again, set its fields from the run values, write it back.
SaveSettingsResult saveSettings(const RunValues& values, FolderRoles& folders);

} // namespace ornvale
