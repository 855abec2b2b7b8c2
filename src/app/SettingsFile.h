#pragma once

#include "SettingsRecord.h"

#include <QString>

namespace ornvale {

// reziz.ini in the Windows directory, holding the settings record as record 1.
class SettingsFile {
public:
    // The file's path: the Windows directory, the native separator, "reziz.ini".
    static QString path(const QString& windowsDirectory);

    // Reads record 1. Whatever the file holds (nothing, too little, too much, garbage, or
    // something that is not a regular file) the result is a record: what can be read, zeros for
    // the rest. A missing file is created empty.
    static SettingsRecord read(const QString& windowsDirectory);

    // Writes record 1 back at the start of the file, leaving any bytes behind it in place. The
    // file is replaced whole once everything is written, never left half written.
    static bool write(const QString& windowsDirectory, const SettingsRecord& record);
};

} // namespace ornvale
