#include "AuditReport.h"

#include "Cp932Codec.h"
#include "ProductTable.h"
#include "ResultCollector.h"

#include <QFile>

namespace ornvale {

QString AuditReport::reportPathFor(const QString& sourcePath) {
    QString stem = sourcePath.left(qMax<qsizetype>(0, sourcePath.size() - 4));
    qsizetype start = 0;
    while (start < stem.size() && stem[start] == QLatin1Char(' '))
        ++start;
    return stem.mid(start) + QStringLiteral(".adt");
}

QStringList AuditReport::splitLines(const QByteArray& bytes) {
    QStringList lines;
    qsizetype begin = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(Cp932Codec::decode(bytes.mid(begin, i - begin)).text);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        begin = i + 1;
    }
    lines.append(Cp932Codec::decode(bytes.mid(begin)).text);
    return lines;
}

std::optional<QString> AuditReport::summaryLine(const QStringList& lines, int offset) {
    const qsizetype wanted = lines.size() - offset;
    if (wanted < 1)
        return std::nullopt;
    return lines.at(wanted - 1);
}

bool AuditReport::isZeroSummary(const QString& summary) {
    return summary == QStringLiteral("検出ｴﾗｰ総数 0 修復数 0") ||
           summary == QStringLiteral("検出エラー総数 0 修復数 0");
}

AuditReport::Result AuditReport::collect(const QList<FileEntry>& files,
                                         const QList<ScriptTarget>& targets, quint8 selectionCode,
                                         bool keepReports, const QDateTime& jobStart) {
    const ProductRow* product = productRow(selectionCode);
    const int offset = product ? product->auditSummaryOffset : 2;
    Result result;
    for (qsizetype i = 0; i < files.size(); ++i) {
        AuditRow row;
        row.number = static_cast<int>(i + 1);
        row.name = i < targets.size() ? targets[i].outputName : QString();
        row.report = reportPathFor(files[i].sourcePath);
        QFile file(row.report);
        if (!ResultCollector::isFromJob(row.report, jobStart) || !file.open(QIODevice::ReadOnly)) {
            result.failure = Failure{row.report};
            return result;
        }
        const std::optional<QString> summary = summaryLine(splitLines(file.readAll()), offset);
        file.close();
        // A report too short to hold a summary is marked like one with errors.
        row.summary = summary.value_or(QString());
        row.errors = !summary || !isZeroSummary(*summary);
        row.reportKept = row.errors && keepReports;
        if (!row.reportKept)
            QFile::remove(row.report);
        result.rows.append(row);
    }
    return result;
}

} // namespace ornvale
