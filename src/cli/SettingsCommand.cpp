#include "Commands.h"
#include "FileSystemProbe.h"
#include "FolderRoles.h"
#include "HeadlessStartup.h"
#include "Messages.h"
#include "ProductTable.h"
#include "SaveSettings.h"
#include "SettingsFieldRule.h"
#include "SettingsFileCheck.h"
#include "SettingsWindowModel.h"
#include "StderrPrompter.h"
#include "TerminalText.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace ornvale::cli {

namespace {

const char* const kHelp =
    "usage: ornvale-cli settings [--show]\n"
    "       ornvale-cli settings --set-... [--set-...]\n"
    "\n"
    "Shows the run values as start-up settles them, or changes the stored settings and writes\n"
    "the settings file as the END button does (bytes not set are kept).\n"
    "\n"
    "  --show                      print the run values and the settings file path (default)\n"
    "  --set-selection CODE        AutoCAD product for the next start: 41 21 18 17 16 7 6 5 4 3,\n"
    "                              or 0 to keep the product in effect\n"
    "  --set-custom-path PATH      AutoCAD executable used when the default installation is off\n"
    "  --set-default-install 0|1   1: the product's default installation path\n"
    "  --set-single-document 0|1   AutoCAD's single-document mode\n"
    "  --set-output DIR            output folder of converted drawings\n"
    "  --help                      this text\n";

struct Changes {
    bool show = false;
    std::optional<quint8> selection;
    std::optional<QString> customPath;
    std::optional<quint8> defaultInstall;
    std::optional<quint8> singleDocument;
    std::optional<QString> output;
    bool any() const {
        return selection || customPath || defaultInstall || singleDocument || output;
    }
};

void printText(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int usageError(const QString& error) {
    printText(stderr, QStringLiteral("ornvale-cli settings: ") + error);
    std::fputs("Try 'ornvale-cli settings --help'.\n", stderr);
    return 2;
}

std::optional<quint8> parseSelection(const QString& text) {
    bool ok = false;
    const int code = text.toInt(&ok);
    if (!ok || code < 0 || code > 255)
        return std::nullopt;
    for (const SettingsOption& option : settingsOptions()) {
        if (option.selectionCode == code)
            return option.selectionCode;
    }
    return std::nullopt;
}

std::optional<quint8> parseFlag(const QString& text) {
    if (text == QLatin1String("0") || text == QLatin1String("1"))
        return static_cast<quint8>(text.toInt());
    return std::nullopt;
}

// Fills changes from the arguments; returns an error text, or nullopt when they are valid.
std::optional<QString> parse(const QStringList& args, Changes& changes) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args[i];
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); name.startsWith(u"--") && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (name == QLatin1String("--show") && !value) {
            changes.show = true;
            continue;
        }
        const QStringList valued{
            QStringLiteral("--set-selection"), QStringLiteral("--set-custom-path"),
            QStringLiteral("--set-default-install"), QStringLiteral("--set-single-document"),
            QStringLiteral("--set-output")};
        if (!valued.contains(name))
            return QStringLiteral("unknown option '%1'").arg(args[i]);
        if (!value) {
            if (i + 1 >= args.size())
                return QStringLiteral("option '%1' needs a value").arg(name);
            value = args[++i];
        }
        const QString bad = QStringLiteral("invalid value '%1' for %2").arg(*value, name);
        if (name == QLatin1String("--set-selection")) {
            if (!(changes.selection = parseSelection(*value)))
                return bad;
        } else if (name == QLatin1String("--set-custom-path")) {
            changes.customPath = *value;
        } else if (name == QLatin1String("--set-default-install")) {
            if (!(changes.defaultInstall = parseFlag(*value)))
                return bad;
        } else if (name == QLatin1String("--set-single-document")) {
            if (!(changes.singleDocument = parseFlag(*value)))
                return bad;
        } else if (value->isEmpty()) {
            return bad;
        } else {
            changes.output = QDir::toNativeSeparators(QFileInfo(*value).absoluteFilePath());
        }
    }
    if (changes.show && changes.any())
        return QStringLiteral("--show cannot be combined with --set-... options");
    return std::nullopt;
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
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    Changes changes;
    if (const std::optional<QString> error = parse(args, changes))
        return usageError(*error);
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
