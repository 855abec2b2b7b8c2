#include "StalledJob.h"

#include "AuditReport.h"
#include "ResultCollector.h"

namespace ornvale {

QString StalledJob::waitingFor(const QList<FileEntry>& files, const QList<bool>& outputSeen) {
    qsizetype next = qMin(outputSeen.lastIndexOf(true), files.size() - 1) + 1;
    return next < files.size() ? files[next].sourcePath : QString();
}

QString StalledJob::message(int minutes, const QString& waitingFor) {
    const QString spaces = QStringLiteral("　　　");
    if (waitingFor.isEmpty())
        return QStringLiteral("　%1分間、変換の完了を確認できないため、AutoCADを終了して変換を"
                              "中止しました。")
                   .arg(minutes) +
               spaces;
    return QStringLiteral("　%1分間、次の図面が出力されないため、AutoCADを終了して変換を中止"
                          "しました。")
               .arg(minutes) +
           spaces + QStringLiteral("\r\n") + waitingFor;
}

namespace {

// The rows `collectOne` gives for each drawing whose output of this job exists, taken one
// drawing at a time (so a missing file costs only its own row), numbered as in the list.
template <typename Row, typename CollectOne>
QList<Row> rowsOfWritten(const QList<FileEntry>& files, const QList<ScriptTarget>& targets,
                         const QDateTime& jobStart, CollectOne collectOne) {
    QList<Row> rows;
    for (qsizetype i = 0; i < files.size() && i < targets.size(); ++i) {
        if (!ResultCollector::isFromJob(targets[i].targetPath, jobStart))
            continue;
        const auto one = collectOne(files[i], targets[i]);
        if (one.failure || one.rows.isEmpty())
            continue;
        Row row = one.rows.front();
        row.number = int(i + 1);
        rows.append(row);
    }
    return rows;
}

} // namespace

QList<ConversionRow> StalledJob::writtenRows(const QList<FileEntry>& files,
                                             const QList<ScriptTarget>& targets,
                                             const QDateTime& jobStart) {
    return rowsOfWritten<ConversionRow>(
        files, targets, jobStart, [&](const FileEntry& file, const ScriptTarget& target) {
            return target.resultRow ? ResultCollector::collect({file}, {target}, jobStart)
                                    : ResultCollector::Result{};
        });
}

QList<AuditRow> StalledJob::writtenAudits(const QList<FileEntry>& files,
                                          const QList<ScriptTarget>& targets, quint8 selectionCode,
                                          bool keepReports, const QDateTime& jobStart) {
    return rowsOfWritten<AuditRow>(
        files, targets, jobStart, [&](const FileEntry& file, const ScriptTarget& target) {
            return AuditReport::collect({file}, {target}, selectionCode, keepReports, jobStart);
        });
}

} // namespace ornvale
