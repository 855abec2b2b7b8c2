#include "Commands.h"
#include "ConvertArguments.h"
#include "ConvertJobRun.h"
#include "ConvertResume.h"
#include "Messages.h"
#include "StderrPrompter.h"
#include "TerminalText.h"

#include "ConversionOptionsModel.h"
#include "DrawingIntake.h"
#include "FileList.h"
#include "FileSystemProbe.h"
#include "HeadlessStartup.h"
#include "OutputFolder.h"
#include "OutputReview.h"
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
    return cli::usageError(convertCommandLine().help().command, message);
}

// Drops carry absolute paths; so does the command line before the intake sees it.
QString absoluteNative(const QString& path) {
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

// The selection was settled by start-up, with the executable that goes with it.
void applyOverrides(const ConvertArguments& a, RunValues& run) {
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
               const QList<FileEntry>& scripted, const QList<ScriptTarget>& targets,
               const QString& message) {
    QJsonArray files;
    for (const FileList::DropItem& item : outcome.items) {
        QJsonObject file{{QStringLiteral("input"), item.path},
                         {QStringLiteral("status"), statusName(item.status)}};
        for (qsizetype i = 0; i < scripted.size() && i < targets.size(); ++i) {
            if (scripted.at(i).sourcePath != item.path ||
                item.status != FileList::ItemStatus::Listed)
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
    // The start button's check; its question is answered yes.
    if (!JobRunner::confirmStart(prompter, list.count(), run.outputFolder,
                                 defaultOutputFolder(run.desktopFolder))) {
        if (a.json)
            printTo(stdout,
                    outcomeJson(
                        {JobOutcome::Status::Failed, noFilesMessage(), {}, {}, options.audit, {}}));
        return 1;
    }
    ResumedJob job{JobRunner::inputsFor(run, options, list.entries()), {}, list.count()};
    if (a.resume)
        job = resumeJob(job.inputs);
    JobOutcome outcome{JobOutcome::Status::Completed, {}, {}, {}, options.audit, {}};
    if (!job.kept.isEmpty())
        printTo(stderr, QStringLiteral("ornvale-cli convert: %1 of %2 drawings already converted, "
                                       "kept\n")
                            .arg(job.kept.size())
                            .arg(job.total));
    if (!job.inputs.script.files.isEmpty())
        outcome = runConvertJob(job.inputs, a.timeout, prompter);
    if (outcome.completed())
        addKeptOutputs(outcome, job.kept);
    printTo(stdout, a.json ? outcomeJson(outcome) : outcomeTable(outcome));
    // As the window names them after the job: failed outputs without a grid row.
    const QString flagged = OutputReview::message(outcome.outputs);
    if (!flagged.isEmpty())
        prompter.inform(flagged, confirmTitle());
    return outcome.completed() && outcome.outputsOk() && allListed ? 0 : 1;
}

} // namespace

int runConvertCommand(const QStringList& args) {
    const ParsedCommandLine<ConvertArguments> parsed = convertCommandLine().parse(args);
    if (parsed.help) {
        printHelp(convertCommandLine().helpText());
        return 0;
    }
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const ConvertArguments& a = parsed.arguments;
    if (parsed.operands.isEmpty())
        return usageError(noFileGiven());

    StderrPrompter prompter;
    // A selection given here is no detection: start-up takes it as its own.
    RunValues run = settleRunValues(prompter, a.selection);
    applyOverrides(a, run);

    ConversionOptionsModel model;
    model.setSelectionCode(run.autocadSelection);
    const QString replayError = replayConvertOptions(a, model);
    if (!replayError.isEmpty())
        return usageError(replayError);

    QStringList paths;
    for (const QString& file : parsed.operands)
        paths.append(absoluteNative(file));
    FileList list;
    const FileList::DropOutcome outcome =
        list.drop(paths, DrawingIntake(run.autocadSelection), prompter);
    const bool allListed = reportUnlisted(outcome);

    if (!a.scriptOut)
        return runJob(a, run, model.options(), list, allListed, prompter);

    JobInputs job = JobRunner::inputsFor(run, model.options(), list.entries());
    if (a.resume)
        job = resumeJob(job).inputs;
    ScriptInputs inputs = job.script;
    inputs.scriptPath = absoluteNative(*a.scriptOut);
    MarkerRemovedProbe probe(inputs.markerPath);
    const ScriptWriteResult result = ScriptWriter(probe).write(inputs);
    if (!result.ok())
        prompter.inform(result.error, confirmTitle());
    if (a.json)
        printJson(inputs.scriptPath, outcome, inputs.files, result.targets, result.error);
    return result.ok() && allListed ? 0 : 1;
}

} // namespace ornvale::cli
