#include "OutputReview.h"

#include "ResultCollector.h"

namespace ornvale {

OutputRow OutputReview::rowFor(int number, const FileEntry& file, const ScriptTarget& target,
                               const OutputCheckResult& check, const QString& expectedVersion) {
    OutputRow row;
    row.number = number;
    row.name = target.outputName;
    row.source = file.sourcePath;
    row.output = target.targetPath;
    row.version = check.version;
    row.versionOk = check.ok();
    row.finding = OutputCheck::finding(check, expectedVersion);
    row.resultRow = target.resultRow;
    return row;
}

void OutputReview::review(JobOutcome& outcome, const QList<FileEntry>& files,
                          const QList<ScriptTarget>& targets, const QString& expectedVersion,
                          const QDateTime& jobStart) {
    outcome.outputs.clear();
    for (qsizetype i = 0; i < targets.size() && i < files.size(); ++i) {
        const ScriptTarget& target = targets[i];
        OutputCheckResult check;
        if (ResultCollector::isFromJob(target.targetPath, jobStart))
            check = OutputCheck::check(target.targetPath, expectedVersion);
        outcome.outputs.append(
            rowFor(static_cast<int>(i + 1), files[i], target, check, expectedVersion));
    }
    for (ConversionRow& conversion : outcome.conversions) {
        for (const OutputRow& row : std::as_const(outcome.outputs)) {
            if (row.output != conversion.output)
                continue;
            conversion.version = row.version;
            conversion.versionOk = row.versionOk;
            conversion.finding = row.finding;
        }
    }
}

QString OutputReview::message(const QList<OutputRow>& outputs) {
    QStringList lines;
    for (const OutputRow& row : outputs) {
        if (!row.versionOk && !row.resultRow)
            lines.append(row.output + QStringLiteral("\r\n　") + row.finding);
    }
    if (lines.isEmpty())
        return {};
    return QStringLiteral(
               "次の図面の出力は、指定したリリースの完全な図面ではありません。\r\n\r\n") +
           lines.join(QStringLiteral("\r\n"));
}

} // namespace ornvale
