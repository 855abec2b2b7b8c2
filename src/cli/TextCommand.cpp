#include "Commands.h"
#include "DxfRewriter.h"
#include "HeadlessStartup.h"
#include "StderrPrompter.h"
#include "TextCommandLine.h"
#include "TextIntake.h"
#include "TextPipeline.h"
#include "TextProgress.h"
#include "TextWindowOptions.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cstdio>

namespace ornvale::cli {

namespace {

struct FileOutcome {
    QString input;
    QString output; // empty when nothing was written
    const char* status = "skipped";
    QString message;
};

int usageError(const QString& error) {
    std::fprintf(stderr, "ornvale-cli text: %s\n%s", qPrintable(error),
                 "Try 'ornvale-cli text --help'.\n");
    return 2;
}

void printStderr(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

QByteArray jsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// Key order as documented, which QJsonObject (sorted keys) would not keep.
void printJson(const QList<FileOutcome>& files, const TextCounters& counters) {
    QByteArray out = "{\"files\":[";
    for (qsizetype i = 0; i < files.size(); ++i) {
        const FileOutcome& f = files[i];
        out += (i ? "," : "") + QByteArray("{\"input\":") + jsonString(f.input) +
               ",\"output\":" + (f.output.isEmpty() ? QByteArray("null") : jsonString(f.output)) +
               ",\"status\":\"" + f.status + "\",\"message\":" + jsonString(f.message) + '}';
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

// The text window's intake, file by file: refusals are shown, the accepted files returned.
QStringList takeFiles(const QStringList& files, quint8 selection, Prompter& prompter,
                      QList<FileOutcome>& outcomes) {
    const TextIntake intake(selection);
    QStringList accepted;
    for (const QString& path : files) {
        FileOutcome outcome{path, {}, "skipped", {}};
        switch (const TextIntake::Finding finding = intake.classify(path)) {
        case TextIntake::Finding::Accepted:
            accepted.append(path);
            outcome.status = "converted"; // until the run says otherwise
            break;
        case TextIntake::Finding::NotDxf:
            outcome.message = QStringLiteral("not a DXF file name (.dxf or .DXF)");
            printStderr(
                QStringLiteral("ornvale-cli text: skipped %1: %2").arg(path, outcome.message));
            break;
        case TextIntake::Finding::Incompatible:
        case TextIntake::Finding::TooOld:
            outcome.status = "refused";
            outcome.message = TextIntake::reason(finding);
            prompter.inform(perFileMessage(path, outcome.message), confirmTitle());
            break;
        }
        outcomes.append(outcome);
    }
    return accepted;
}

} // namespace

int runTextCommand(const QStringList& args) {
    QString error;
    const TextCommandLine line = TextCommandLine::parse(args, error);
    if (!error.isEmpty())
        return usageError(error);
    if (line.help) {
        std::fputs(TextCommandLine::usage(), stdout);
        return 0;
    }
    if (line.files.isEmpty())
        return usageError(QStringLiteral("no FILE given"));

    StderrPrompter stderrPrompter;
    TextProgress progress(stderrPrompter, TextProgress::stderrIsTerminal());
    TextWindowOptions options(progress);
    if (!line.applyTo(options, error))
        return error.isEmpty() ? 2 : usageError(error);
    // The start button's check, before anything is read.
    if (options.searchTextMissing()) {
        progress.inform(TextWindowOptions::searchTextMissingMessage(), confirmTitle());
        return 2;
    }

    const quint8 selection =
        line.selection ? quint8(*line.selection) : settleRunValues(progress).autocadSelection;
    QList<FileOutcome> outcomes;
    const QStringList accepted = takeFiles(line.files, selection, progress, outcomes);

    TextPipeline pipeline(options.options());
    DxfRewriter rewriter(pipeline, progress, &progress);
    const QList<DxfRewriteResult> results = rewriter.run(accepted);
    qsizetype next = 0;
    bool allConverted = true;
    for (FileOutcome& outcome : outcomes) {
        if (qstrcmp(outcome.status, "converted") == 0) {
            const DxfRewriteResult& result = results.at(next++);
            outcome.status = result.converted ? "converted" : "failed";
            outcome.output = result.converted ? result.outputPath : QString();
            outcome.message = result.reason;
        }
        allConverted = allConverted && qstrcmp(outcome.status, "converted") == 0;
    }
    if (line.json)
        printJson(outcomes, pipeline.counters());
    return allConverted ? 0 : 1;
}

} // namespace ornvale::cli
