#pragma once

#include "ProductTable.h"
#include "RunValues.h"

#include <QString>

#include <optional>

namespace ornvale {

class FolderRoles;
class FileSystemProbe;
class Prompter;

// The settings window's controls as start-up leaves them (the window is loaded hidden).
struct SettingsWindowState {
    bool defaultInstallChecked = false; // Check1
    bool singleDocumentChecked = false; // Check2
    QString customPathText;             // Text1
    QString outputFolderLabel;          // Label4
    int selectedOption = 6;             // Option1(i); 6 = "AutoCADなし"
    int stallMinutes = 0;               // StallMinutes, beside Check2
};

// Everything start-up settles: the run values and the state it gives the windows' controls.
// The release buttons and purge items follow the AutoCAD selection through the conversion
// options model.
struct StartupResult {
    RunValues runValues;
    // The main window's product label Label4; nullopt keeps its design text.
    std::optional<QString> productLabel;
    SettingsWindowState settingsWindow;
};

// The main window's product label before start-up sets it.
QString designProductLabel();
// The application title, used as the title of the two folder errors.
QString applicationTitle();

// Start-up from the settings file to the output folder, in the program's fixed order. The
// single-instance test comes before it and is not part of it. A selection given (the command
// line's) takes the place of the stored one and is not looked for: with it, start-up never
// says that no product could be found.
StartupResult runStartup(FolderRoles& folders, FileSystemProbe& files, Prompter& prompter,
                         std::optional<quint8> selection = std::nullopt);

} // namespace ornvale
