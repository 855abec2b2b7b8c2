#include "SaveSettings.h"

#include "FolderRoles.h"
#include "JobSettingsFile.h"
#include "Messages.h"
#include "OutputFolder.h"
#include "SettingsFieldRule.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

const QString& fieldText(const RunValues& values, SettingsTextField field) {
    switch (field) {
    case SettingsTextField::CustomExePath:
        return values.customExePath;
    case SettingsTextField::ReservedText:
        return values.reservedText;
    case SettingsTextField::OutputFolderPath:
        break;
    }
    return values.outputFolder;
}

QString notSaved(const QString& path) {
    return perFileMessage(path, u"設定を保存できませんでした。今回変更した設定は失われます。"_s);
}

std::optional<QString> recordMessage(const SaveSettingsResult& result, const RunValues& values) {
    if (!result.written)
        return notSaved(result.filePath);
    if (result.unstorableFields.isEmpty())
        return std::nullopt;
    QString lines = u"次の設定は保存できませんでした。"_s;
    for (const SettingsTextField field :
         {SettingsTextField::CustomExePath, SettingsTextField::OutputFolderPath,
          SettingsTextField::ReservedText}) {
        if (!result.unstorableFields.contains(SettingsFieldRule::name(field)))
            continue;
        const QString& text = fieldText(values, field);
        lines += u"\r\n\r\n"_s + SettingsFieldRule::caption(field) + u"："_s + text + u"\r\n"_s +
                 SettingsFieldRule::reason(field, SettingsFieldRule::check(field, text));
    }
    return perFileMessage(result.filePath, lines);
}

} // namespace

void applyRunValues(const RunValues& values, SettingsRecord& record) {
    // "AutoCADなし" in the settings window leaves the pending selection 0: the product in
    // effect is stored, so the next start works with it (or detects again).
    record.savedSelection =
        values.pendingSelection != 0 ? values.pendingSelection : values.autocadSelection;
    record.customPathFlag = values.defaultInstallFlag != 1 ? 1 : 0;
    record.singleDocumentMode = values.singleDocumentMode;
    record.customExePath = values.customExePath;
    record.reservedText = values.reservedText;
    record.outputFolderPath = values.outputFolder;
    // A desktop path the field cannot hold would make the default folder unstorable; an empty
    // field means the same folder to the next start.
    if (values.outputFolder == defaultOutputFolder(values.desktopFolder) &&
        SettingsFieldRule::check(SettingsTextField::OutputFolderPath, values.outputFolder) !=
            SettingsFieldRule::Problem::None)
        record.outputFolderPath.clear();
}

SaveSettingsResult saveSettings(const RunValues& values, FolderRoles& folders) {
    const QString windowsDirectory = folders.windowsDirectory();
    SettingsRecord record = SettingsFile::read(windowsDirectory);
    applyRunValues(values, record);
    SaveSettingsResult result;
    result.filePath = SettingsFile::path(windowsDirectory);
    result.unstorableFields = record.unstorableFields();
    result.written = SettingsFile::write(windowsDirectory, record);
    // Without a limit set ever, no second file is made.
    result.jobFilePath = JobSettingsFile::path(windowsDirectory);
    if (values.stallMinutes != 0 || QFileInfo::exists(result.jobFilePath))
        result.jobFileWritten = JobSettingsFile::write(windowsDirectory, values.stallMinutes);
    return result;
}

std::optional<QString> saveSettingsMessage(const SaveSettingsResult& result,
                                           const RunValues& values) {
    std::optional<QString> message = recordMessage(result, values);
    if (result.jobFileWritten)
        return message;
    const QString job = notSaved(result.jobFilePath);
    return message ? *message + u"\r\n\r\n"_s + job : job;
}

} // namespace ornvale
