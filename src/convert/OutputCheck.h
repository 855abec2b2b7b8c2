#pragma once

#include "ConversionOptions.h"

#include <QString>
#include <QtGlobal>

namespace ornvale {

// What reading one output back found.
struct OutputCheckResult {
    bool exists = false;
    bool empty = false;
    bool whole = false;          // a DXF ends with EOF, a DWG is not empty
    QString version;             // the version code read, empty when none could be read
    bool versionMatches = false; // the release asked for, or no release was asked for
    bool ok() const { return exists && whole && versionMatches; }
};

// Reads an output drawing back after AutoCAD has saved it: its version code, read as the
// intake reads a dropped drawing's, and whether it is whole. AutoCAD reports nothing back, so
// an output of the wrong release or one cut short would otherwise pass for converted.
class OutputCheck {
public:
    // The version code a release token saves ("2000" gives "AC1015"); empty for no token.
    static QString versionOfToken(const QString& token);
    // The version code the chosen release button asks for; empty when the script writes no
    // release token (AutoCAD then saves its own release, which is not checked).
    static QString expectedVersion(const ConversionOptions& options, quint8 selectionCode);

    // The output at path (its format by its name), against the expected code (empty: any).
    static OutputCheckResult check(const QString& path, const QString& expected);
    // Whether the last line of a DXF, past trailing blanks and line ends, is "EOF".
    static bool dxfHasEnd(const QString& path);

    // What was found, in a sentence or two for a tooltip or a message; empty when ok.
    static QString finding(const OutputCheckResult& result, const QString& expected);
};

} // namespace ornvale
