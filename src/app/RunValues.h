#pragma once

#include <QString>
#include <QtGlobal>

namespace ornvale {

// The program-wide values settled at start-up. The settings window changes some of them in
// memory; only the settings file written at the end carries them into the next run.
struct RunValues {
    QString windowsDirectory; // holds reziz.ini and scriptC.scr
    QString appDataFolder;    // holds the completion marker 10000.dxf
    QString desktopFolder;
    QString scriptPath; // windowsDirectory + "/scriptC.scr" (native separator)
    quint8 autocadSelection = 0;
    double pendingSelection = 0;
    QString autocadExePath;
    QString customExePath;
    quint8 defaultInstallFlag = 0;
    quint8 singleDocumentMode = 0;
    QString outputFolder;
    QString reservedText;
    // Minutes a job waits for the next output before it ends AutoCAD; 0 waits for ever. Kept in
    // JobSettingsFile, beside reziz.ini.
    int stallMinutes = 0;
};

} // namespace ornvale
