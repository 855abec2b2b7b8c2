#pragma once

#include "NameRules.h"

#include <QProcessEnvironment>
#include <QString>

#include <optional>

namespace ornvale::acadsim {

// Where a crash or a hang is simulated: nowhere, when the script reaches "_new" (before the
// completion marker is saved), or when one of the named drawings is opened.
struct FaultPoint {
    bool atMarker = false;
    NameRules atOpen;
};

// What the simulator plays and which faults it shows, from ACADSIM_* environment variables
// (tools/README.md lists them).
struct SimSettings {
    int selectionCode = 41;
    NameRules failOpen;     // drawings refused by "open"
    NameRules auditErrors;  // drawing=count: errors AUDIT finds
    NameRules noOutput;     // drawings whose "saveas" writes no file
    NameRules noReport;     // drawings whose AUDIT writes no report
    NameRules shortReport;  // drawings whose report has a single line
    NameRules sizes;        // drawing=N% or drawing=N bytes: size of a same-format copy
    NameRules wrongRelease; // drawing=code: "saveas" writes this version code instead
    NameRules truncated;    // drawings whose output is cut short (DWG empty, DXF without EOF)
    qint64 delayMs = 0;     // waited before each drawing is opened
    FaultPoint crash;
    FaultPoint hang;
    QString argumentsLog;   // JSON array of the arguments, written at start
    QString transcriptPath; // prompts and answers

    // nullopt with a message naming the variable when a value is malformed.
    static std::optional<SimSettings> fromEnvironment(const QProcessEnvironment& env,
                                                      QString* error);
};

} // namespace ornvale::acadsim
