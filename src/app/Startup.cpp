#include "Startup.h"

#include "FileSystemProbe.h"
#include "FolderRoles.h"
#include "JobSettingsFile.h"
#include "Messages.h"
#include "OutputFolder.h"
#include "Prompter.h"
#include "SettingsFile.h"

#include <QDir>

namespace ornvale {

namespace {

QString underFolder(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + name);
}

// The shell folders; a missing one is reported with the application title and left empty.
void settleShellFolders(FolderRoles& folders, Prompter& prompter, RunValues& values) {
    if (const std::optional<QString> appData = folders.appDataFolder())
        values.appDataFolder = *appData;
    else
        prompter.inform(QStringLiteral("エラー(AppDataフォルダを特定できません！)"),
                        applicationTitle());
    if (const std::optional<QString> desktop = folders.desktopFolder())
        values.desktopFolder = *desktop;
    else
        prompter.inform(QStringLiteral("エラー(DeskTopフォルダを特定できません！)"),
                        applicationTitle());
}

// The first product row whose default executable exists, in table order; 0 when none does.
quint8 detectProduct(FileSystemProbe& files) {
    for (const ProductRow& row : productTable()) {
        if (files.exists(row.defaultExePath))
            return row.selectionCode;
    }
    return 0;
}

void applyProductRow(const ProductRow* row, StartupResult& result) {
    if (!row)
        return;
    result.runValues.autocadExePath = row->defaultExePath;
    result.productLabel = row->productLabel;
    // Selecting the option clicks it, which makes the product the pending selection.
    result.settingsWindow.selectedOption = row->settingsOption;
    result.runValues.pendingSelection = row->selectionCode;
}

} // namespace

QString designProductLabel() {
    return QStringLiteral("AutoCAD  Ver?");
}

QString applicationTitle() {
    return QStringLiteral("Ornvale");
}

StartupResult runStartup(FolderRoles& folders, FileSystemProbe& files, Prompter& prompter,
                         std::optional<quint8> selection) {
    StartupResult result;
    RunValues& values = result.runValues;
    SettingsWindowState& settings = result.settingsWindow;
    values.pendingSelection = 0;
    settleShellFolders(folders, prompter, values);
    values.windowsDirectory = folders.windowsDirectory();
    const SettingsRecord record = SettingsFile::read(values.windowsDirectory);

    values.customExePath = record.customExePath;
    settings.customPathText = values.customExePath;
    values.defaultInstallFlag = record.customPathFlag != 0 ? 0 : 1;
    settings.defaultInstallChecked = values.defaultInstallFlag == 1;
    values.scriptPath = underFolder(values.windowsDirectory, QStringLiteral("scriptC.scr"));

    values.autocadSelection = selection ? *selection : record.selectionCode();
    if (!selection && values.autocadSelection == 0) {
        values.autocadSelection = detectProduct(files);
        if (values.autocadSelection == 0)
            prompter.inform(QStringLiteral("AutoCADのﾊﾞｰｼﾞｮﾝを特定できません。\r\n"
                                           "環境設定画面で設定して下さい。"),
                            confirmTitle());
    }
    applyProductRow(productRow(values.autocadSelection), result);
    if (values.defaultInstallFlag == 0)
        values.autocadExePath = values.customExePath;

    values.singleDocumentMode = record.singleDocumentMode;
    settings.singleDocumentChecked = values.singleDocumentMode != 0;
    settings.outputFolderLabel = record.outputFolderPath;
    if (record.outputFolderPath.isEmpty())
        settings.outputFolderLabel = defaultOutputFolder(values.desktopFolder);
    // The stored text already lost its trailing blanks when the field was read.
    values.outputFolder = settings.outputFolderLabel;
    values.reservedText = record.reservedText;

    // A file that gives no value must not pass for "no limit" unnoticed.
    const JobSettingsFile::Values job = JobSettingsFile::read(values.windowsDirectory);
    if (!job.problem.isEmpty())
        prompter.inform(perFileMessage(JobSettingsFile::path(values.windowsDirectory), job.problem),
                        confirmTitle());
    values.stallMinutes = job.stallMinutes;
    settings.stallMinutes = job.stallMinutes;
    return result;
}

} // namespace ornvale
