#include "Commands.h"
#include "FileSystemProbe.h"
#include "FolderRoles.h"
#include "HeadlessStartup.h"
#include "Messages.h"
#include "ProductTable.h"
#include "SaveSettings.h"
#include "SettingsArguments.h"
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
        {"stallMinutes", QString::number(values.stallMinutes)},
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

// The changes made as a user makes them in the settings window, whose rules decide: a product
// option and a chosen folder take effect at once, the boxes and the path only through OK. The
// window's messages are printed as every box is. Nothing is written unless everything passed.
int applyAndSave(const Changes& changes, RunValues& values, Prompter& prompter) {
    SystemFileSystemProbe files;
    SettingsWindowModel window(values, files, prompter);
    window.load();
    if (changes.selection)
        window.clickOption(settingsOptionIndexFor(*changes.selection));
    if (changes.output && !window.chooseOutputFolder(*changes.output))
        return 1;
    const bool throughOk = changes.defaultInstall || changes.singleDocument || changes.customPath;
    if (changes.defaultInstall)
        window.setDefaultInstallChecked(*changes.defaultInstall == 1);
    if (changes.singleDocument)
        window.setSingleDocumentChecked(*changes.singleDocument == 1);
    if (changes.customPath) {
        // The path box is out of view while the default installation is ticked.
        if (!window.customPathShown())
            return usageError(SettingsArguments::commandLine().help().command,
                              QStringLiteral("Option '--set-custom-path' sets a box hidden while "
                                             "the default installation is on "
                                             "(add '--set-default-install 0')."));
        window.setCustomPathText(*changes.customPath);
    }
    if (throughOk && !window.accept())
        return 1;
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
