#include "StalledJob.h"

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

QList<ConversionRow> StalledJob::writtenRows(const QList<FileEntry>& files,
                                             const QList<ScriptTarget>& targets,
                                             const QDateTime& jobStart) {
    QList<ConversionRow> rows;
    for (qsizetype i = 0; i < files.size() && i < targets.size(); ++i) {
        if (!targets[i].resultRow || !ResultCollector::isFromJob(targets[i].targetPath, jobStart))
            continue;
        // One drawing at a time, so a missing source costs only its own row.
        const ResultCollector::Result one =
            ResultCollector::collect({files[i]}, {targets[i]}, jobStart);
        if (one.failure || one.rows.isEmpty())
            continue;
        ConversionRow row = one.rows.front();
        row.number = int(i + 1);
        rows.append(row);
    }
    return rows;
}

} // namespace ornvale
