#include "Commands.h"
#include "ConvertArguments.h"
#include "ConvertJobRun.h"
#include "Messages.h"
#include "StderrPrompter.h"
#include "TerminalText.h"

#include "ConversionOptionsModel.h"
#include "DrawingIntake.h"
#include "FileList.h"
#include "FileSystemProbe.h"
#include "HeadlessStartup.h"
#include "ProductTable.h"
#include "ScriptWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace ornvale::cli {

namespace {

void printTo(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int usageError(const QString& message) {
    printTo(stderr, QStringLiteral("ornvale-cli convert: ") + message +
                        QStringLiteral("\n(ornvale-cli convert --help shows the options)\n"));
    return 2;
}

// Drops carry absolute paths; so does the command line before the intake sees it.
QString absoluteNative(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

void applyOverrides(const ConvertArguments& a, RunValues& run) {
    if (a.selection) {
        run.autocadSelection = *a.selection;
        const ProductRow* row = productRow(run.autocadSelection);
        if (run.defaultInstallFlag != 0)
            run.autocadExePath = row ? row->defaultExePath : QString();
    }
    if (a.acad)
        run.autocadExePath = *a.acad;
    if (a.output)
        run.outputFolder = absoluteNative(*a.output);
    if (a.singleDocument)
        run.singleDocumentMode = *a.singleDocument;
    if (a.stallTimeout)
        run.stallMinutes = *a.stallTimeout;
}

QString statusName(FileList::ItemStatus status) {
    switch (status) {
    case FileList::ItemStatus::Skipped:
        return QStringLiteral("skipped");
    case FileList::ItemStatus::Refused:
        return QStringLiteral("refused");
    case FileList::ItemStatus::Duplicate:
        return QStringLiteral("duplicate");
    case FileList::ItemStatus::Listed:
        break;
    }
    return QStringLiteral("listed");
}

// The window passes over what is no drawing silently; a batch user is told.
bool reportUnlisted(const FileList::DropOutcome& outcome) {
    bool allListed = !outcome.overLimit;
    for (const FileList::DropItem& item : outcome.items) {
        if (item.status == FileList::ItemStatus::Skipped)
            printTo(stderr, QStringLiteral("ornvale-cli convert: skipped, not a DWG or DXF "
                                           "drawing: %1\n")
                                .arg(terminalText(item.path)));
        allListed = allListed && item.status == FileList::ItemStatus::Listed;
    }
    return allListed;
}

// "message" is the box a failed script would show, "" when the script was written.
void printJson(const QString& scriptPath, const FileList::DropOutcome& outcome,
               const FileList& list, const QList<ScriptTarget>& targets, const QString& message) {
    QJsonArray files;
    for (const FileList::DropItem& item : outcome.items) {
        QJsonObject file{{QStringLiteral("input"), item.path},
                         {QStringLiteral("status"), statusName(item.status)}};
        for (qsizetype i = 0; i < list.count() && i < targets.size(); ++i) {
            if (list.at(i).sourcePath != item.path || item.status != FileList::ItemStatus::Listed)
                continue;
            file.insert(QStringLiteral("output"), targets[i].targetPath);
            file.insert(QStringLiteral("sameFormat"), targets[i].resultRow);
        }
        files.append(file);
    }
    const QJsonObject root{{QStringLiteral("script"), scriptPath},
                           {QStringLiteral("message"), message},
                           {QStringLiteral("files"), files}};
    printTo(stdout, QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact)) +
                        QLatin1Char('\n'));
}

// The job deletes the completion marker before it writes the script, so the script it writes
// never answers an overwrite question for the marker. --script-out must give the same bytes
// without deleting a marker that a running job may be waiting for.
class MarkerRemovedProbe : public SystemFileSystemProbe {
public:
    explicit MarkerRemovedProbe(QString markerPath) : m_markerPath(std::move(markerPath)) {}
    bool exists(const QString& path) override {
        return path != m_markerPath && SystemFileSystemProbe::exists(path);
    }

private:
    QString m_markerPath;
};

// The whole job, as the start button runs it; a batch user has confirmed by starting it.
int runJob(const ConvertArguments& a, const RunValues& run, const ConversionOptions& options,
           const FileList& list, bool allListed, StderrPrompter& prompter) {
    if (list.count() == 0) {
        prompter.inform(JobRunner::emptyListMessage(), confirmTitle());
        if (a.json)
            printTo(stdout, outcomeJson({JobOutcome::Status::Failed,
                                         JobRunner::emptyListMessage(),
                                         {},
                                         {},
                                         options.audit}));
        return 1;
    }
    const JobOutcome outcome =
        runConvertJob(JobRunner::inputsFor(run, options, list.entries()), a.timeout, prompter);
    printTo(stdout, a.json ? outcomeJson(outcome) : outcomeTable(outcome));
    return outcome.completed() && allListed ? 0 : 1;
}

} // namespace

int runConvertCommand(const QStringList& args) {
    const ParsedConvertArguments parsed = parseConvertArguments(args);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const ConvertArguments& a = parsed.arguments;
    if (a.help) {
        printTo(stdout, convertUsage());
        return 0;
    }
    if (a.files.isEmpty())
        return usageError(QStringLiteral("no FILE given"));

    StderrPrompter prompter;
    RunValues run = settleRunValues(prompter);
    applyOverrides(a, run);

    ConversionOptionsModel model;
    model.setSelectionCode(run.autocadSelection);
    const QString replayError = replayConvertOptions(a, model);
    if (!replayError.isEmpty())
        return usageError(replayError);

    QStringList paths;
    for (const QString& file : a.files)
        paths.append(absoluteNative(file));
    FileList list;
    const FileList::DropOutcome outcome =
        list.drop(paths, DrawingIntake(run.autocadSelection), prompter);
    const bool allListed = reportUnlisted(outcome);

    if (!a.scriptOut)
        return runJob(a, run, model.options(), list, allListed, prompter);

    ScriptInputs inputs = JobRunner::inputsFor(run, model.options(), list.entries()).script;
    inputs.scriptPath = absoluteNative(*a.scriptOut);
    MarkerRemovedProbe probe(inputs.markerPath);
    const ScriptWriteResult result = ScriptWriter(probe).write(inputs);
    if (!result.ok())
        prompter.inform(result.error, confirmTitle());
    if (a.json)
        printJson(inputs.scriptPath, outcome, list, result.targets, result.error);
    return result.ok() && allListed ? 0 : 1;
}

} // namespace ornvale::cli
