#include "Commands.h"
#include "FileSystemProbe.h"
#include "FolderRoles.h"
#include "HeadlessStartup.h"
#include "Messages.h"
#include "ProductTable.h"
#include "SaveSettings.h"
#include "SettingsArguments.h"
#include "SettingsFieldRule.h"
#include "SettingsFileCheck.h"
#include "SettingsWindowModel.h"
#include "StderrPrompter.h"
#include "TerminalText.h"

#include <cstdio>
#include <optional>

namespace ornvale::cli {

namespace {

using Changes = SettingsArguments;

void printText(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

void show(const RunValues& values) {
    const ProductRow* row = productRow(values.autocadSelection);
    const QString product = row ? QStringLiteral(" (%1)").arg(row->productLabel) : QString();
    const QList<std::pair<const char*, QString>> lines{
        {"settingsFile", settingsFilePath()},
        {"windowsDirectory", values.windowsDirectory},
        {"appDataFolder", values.appDataFolder},
        {"desktopFolder", values.desktopFolder},
        {"scriptPath", values.scriptPath},
        {"autocadSelection", QString::number(values.autocadSelection) + product},
        {"pendingSelection", QString::number(values.pendingSelection)},
        {"autocadExePath", values.autocadExePath},
        {"customExePath", values.customExePath},
        {"defaultInstall", QString::number(values.defaultInstallFlag)},
        {"singleDocumentMode", QString::number(values.singleDocumentMode)},
        {"outputFolder", values.outputFolder},
        {"reservedText", values.reservedText},
    };
    // A damaged file's texts may hold control characters.
    for (const auto& [key, value] : lines)
        printText(stdout, QLatin1String(key) + QStringLiteral(": ") + terminalText(value));
}

// The values shown are what start-up made of the file; what it could not read is said first.
void warnAboutSettingsFile(const RunValues& values, Prompter& prompter) {
    const QStringList problems = settingsFileProblems(values.windowsDirectory);
    if (!problems.isEmpty())
        prompter.inform(perFileMessage(settingsFilePath(), problems.join(QStringLiteral("\r\n"))),
                        QString());
}

// A value the settings file cannot hold as given is refused rather than stored cut or mangled;
// every value is checked before anything is written.
std::optional<QString> refusal(const Changes& changes, const RunValues& values) {
    if (changes.customPath) {
        // As the settings window's OK: a path in use must name an existing file.
        SystemFileSystemProbe files;
        std::optional<QString> error =
            values.defaultInstallFlag == 0
                ? SettingsWindowModel::customPathRefusal(*changes.customPath, files)
                : SettingsFieldRule::refusal(SettingsTextField::CustomExePath, *changes.customPath);
        if (error)
            return error;
    }
    if (changes.output)
        return SettingsWindowModel::outputFolderRefusal(*changes.output);
    return std::nullopt;
}

int applyAndSave(const Changes& changes, RunValues& values, Prompter& prompter) {
    if (changes.selection)
        values.pendingSelection = *changes.selection;
    if (changes.customPath)
        values.customExePath = *changes.customPath;
    if (changes.defaultInstall)
        values.defaultInstallFlag = *changes.defaultInstall;
    if (changes.singleDocument)
        values.singleDocumentMode = *changes.singleDocument;
    if (changes.output)
        values.outputFolder = *changes.output;
    // Messages are the window's, printed as the prompter prints every box.
    if (const std::optional<QString> error = refusal(changes, values)) {
        prompter.inform(*error, QString());
        return 1;
    }
    SystemFolderRoles folders;
    const SaveSettingsResult saved = saveSettings(values, folders);
    if (const std::optional<QString> message = saveSettingsMessage(saved, values)) {
        prompter.inform(*message, QString());
        return 1;
    }
    return 0;
}

} // namespace

int runSettingsCommand(const QStringList& args) {
    const ParsedCommandLine<SettingsArguments> parsed =
        SettingsArguments::commandLine().parse(args);
    if (parsed.help) {
        printHelp(SettingsArguments::commandLine().helpText());
        return 0;
    }
    if (!parsed.error.isEmpty())
        return usageError(SettingsArguments::commandLine().help().command, parsed.error);
    const Changes& changes = parsed.arguments;
    StderrPrompter prompter;
    RunValues values = settleRunValues(prompter);
    if (!changes.any()) {
        warnAboutSettingsFile(values, prompter);
        show(values);
        return 0;
    }
    return applyAndSave(changes, values, prompter);
}

} // namespace ornvale::cli
