#pragma once

#include "DrawingFile.h"

#include <QByteArray>
#include <QString>

namespace ornvale::acadsim {

// A drawing open in the simulated AutoCAD.
struct SimDocument {
    QString sourcePath; // the file it was opened from, empty for a new drawing; the fault
                        // variables name drawings by it
    qint64 sourceSize = 0;
    QString path;       // its name now: the source, then the last "saveas" target
    bool named = false; // false for a new drawing that was never saved
    DrawingFormat format = DrawingFormat::Dwg;
    QString versionCode;
    QByteArray content; // what saving it writes
    bool modified = false;
};

} // namespace ornvale::acadsim
