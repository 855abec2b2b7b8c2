#include "Commands.h"
#include "DxfChangeReport.h"
#include "HeadlessStartup.h"
#include "StandardStreams.h"
#include "StderrPrompter.h"
#include "TerminalText.h"
#include "TextCommandLine.h"
#include "TextJob.h"
#include "TextProgress.h"
#include "TextWindowOptions.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>
#include <optional>

namespace ornvale::cli {

namespace {

int usageError(const QString& error) {
    return cli::usageError(TextCommandLine::commandLine().help().command, error);
}

void printStderr(const QString& text) {
    const QByteArray bytes = terminalText(text).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

QString reportFailure(const DxfChangeReport& report) {
    return QStringLiteral("ornvale-cli text: cannot write the change report %1").arg(report.path());
}

QByteArray jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// Key order as documented, which QJsonObject (sorted keys) would not keep.
const char* statusName(TextFileOutcome::Status status) {
    switch (status) {
    case TextFileOutcome::Status::Converted:
        return "converted";
    case TextFileOutcome::Status::Pending: // none is left once the run is over
    case TextFileOutcome::Status::Skipped:
        return "skipped";
    case TextFileOutcome::Status::Refused:
        return "refused";
    case TextFileOutcome::Status::Failed:
        break;
    }
    return "failed";
}

void printJson(const QList<TextFileOutcome>& files, const TextCounters& counters) {
    QByteArray out = "{\"files\":[";
    for (qsizetype i = 0; i < files.size(); ++i) {
        const TextFileOutcome& f = files[i];
        out += (i ? "," : "") + QByteArray("{\"input\":") + jsonString(f.input) +
               ",\"output\":" + (f.output.isEmpty() ? QByteArray("null") : jsonString(f.output)) +
               ",\"status\":\"" + statusName(f.status) + "\",\"message\":" + jsonString(f.message) +
               ",\"notes\":" +
               QJsonDocument(QJsonArray::fromStringList(f.notes)).toJson(QJsonDocument::Compact) +
               '}';
    }
    const auto count = [](double value) { return QByteArray::number(qint64(value)); };
    out += "],\"counters\":{\"replacedCount\":" + count(counters.replacedCount) +
           ",\"toFullWidthCount\":" + count(counters.toFullWidthCount) +
           ",\"toHalfWidthCount\":" + count(counters.toHalfWidthCount) +
           ",\"caseChangedCount\":" + count(counters.caseChangedCount) +
           ",\"toKatakanaCount\":" + count(counters.toKatakanaCount) +
           ",\"toHiraganaCount\":" + count(counters.toHiraganaCount) + "}}\n";
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
}

} // namespace

int runTextCommand(const QStringList& args) {
    const ParsedCommandLine<TextCommandLine> parsed = TextCommandLine::commandLine().parse(args);
    if (parsed.help) {
        printHelp(TextCommandLine::commandLine().helpText());
        return 0;
    }
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const TextCommandLine& line = parsed.arguments;
    if (parsed.operands.isEmpty())
        return usageError(noFileGiven());

    StderrPrompter stderrPrompter;
    TextProgress progress(stderrPrompter, stderrIsTerminal());
    TextWindowOptions options(progress);
    if (QString error; !line.applyTo(options, error))
        return error.isEmpty() ? 2 : usageError(error);

    const quint8 selection =
        line.selection ? *line.selection : settleRunValues(progress).autocadSelection;
    TextJob job(selection, progress);
    job.setDryRun(line.dryRun);
    job.take(parsed.operands);
    qsizetype accepted = 0;
    for (const TextFileOutcome& outcome : job.outcomes()) {
        accepted += outcome.status == TextFileOutcome::Status::Pending;
        if (outcome.status == TextFileOutcome::Status::Skipped)
            printStderr(QStringLiteral("ornvale-cli text: skipped %1: %2")
                            .arg(outcome.input, outcome.message));
    }
    // The start button's checks on what the list would hold; a missing search string is an
    // option the user got wrong.
    switch (options.checkStart(accepted)) {
    case TextWindowOptions::StartCheck::Ready:
        break;
    case TextWindowOptions::StartCheck::NoFiles:
        if (line.json)
            printJson(job.outcomes(), job.counters());
        return 1;
    case TextWindowOptions::StartCheck::SearchTextMissing:
        return 2;
    }
    // The report is started before the run: a run whose changes cannot be listed as asked is
    // not begun.
    std::optional<DxfChangeReport> report;
    if (line.changesPath) {
        report.emplace(*line.changesPath, *DxfChangeReport::formatFor(*line.changesPath));
        if (!report->open()) {
            printStderr(reportFailure(*report));
            return 1;
        }
        job.setChangeObserver(&*report);
    }
    job.run(options.options(), &progress);
    const bool reportWritten = !report || report->commit();
    if (!reportWritten)
        printStderr(reportFailure(*report));
    if (line.json)
        printJson(job.outcomes(), job.counters());
    return job.allConverted() && reportWritten ? 0 : 1;
}

} // namespace ornvale::cli
