#pragma once

#include <QString>

namespace ornvale {

// The settings reziz.ini has no room for, in a small text file beside it, so that reziz.ini
// keeps exactly the bytes it always had. One line per value, "name=value", CR LF:
//     StallMinutes=10
// Lines starting with ";" or "#" and names this program does not know are passed over.
class JobSettingsFile {
public:
    // The stall limit is whole minutes; 0 means no limit.
    static constexpr int kMaxStallMinutes = 999;

    struct Values {
        int stallMinutes = 0;
        // Why the file gave no value, for a warning naming it; empty for a missing file and for
        // any file the program writes.
        QString problem;
    };

    // The Windows directory, the native separator, "ornvale-job.ini".
    static QString path(const QString& windowsDirectory);
    static Values read(const QString& windowsDirectory);
    // Replaced whole once written, as reziz.ini is: a failure leaves the old file as it was.
    static bool write(const QString& windowsDirectory, int stallMinutes);
    // Parses the file's bytes.
    static Values parse(const QByteArray& bytes);
};

} // namespace ornvale
