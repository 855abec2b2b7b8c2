#include "ResultCollector.h"

#include <QFileInfo>

#include <cmath>

namespace ornvale {

namespace {

const QString kKb = QStringLiteral(" KB");

// The pattern rounds half away from zero; 0 shows as nothing.
QString wholeFigure(double value) {
    const double rounded = std::round(value);
    if (rounded == 0)
        return {};
    return QString::number(static_cast<qint64>(rounded));
}

} // namespace

QString ResultCollector::kilobyteFigure(qint64 bytes) {
    return wholeFigure(static_cast<double>(bytes) / 1024.0);
}

QString ResultCollector::ratioText(const QString& beforeFigure, const QString& afterFigure) {
    if (beforeFigure.isEmpty() || afterFigure.isEmpty())
        return {};
    return wholeFigure(afterFigure.toDouble() / beforeFigure.toDouble() * 100.0) + QLatin1Char('%');
}

SizeMark ResultCollector::markFor(const QString& beforeFigure, const QString& afterFigure) {
    if (beforeFigure.isEmpty() || afterFigure.isEmpty())
        return SizeMark::None;
    const double ratio = afterFigure.toDouble() / beforeFigure.toDouble();
    if (ratio > 1)
        return SizeMark::Grew;
    if (ratio < 1)
        return SizeMark::Shrank;
    return SizeMark::None;
}

bool ResultCollector::isFromJob(const QString& path, const QDateTime& jobStart) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    // Some file systems keep whole seconds only: compare with the start's second.
    const qint64 startSecond = jobStart.toSecsSinceEpoch();
    return info.lastModified().toSecsSinceEpoch() >= startSecond;
}

ResultCollector::Result ResultCollector::collect(const QList<FileEntry>& files,
                                                 const QList<ScriptTarget>& targets,
                                                 const QDateTime& jobStart) {
    Result result;
    for (qsizetype i = 0; i < targets.size() && i < files.size(); ++i) {
        const ScriptTarget& target = targets[i];
        if (!target.resultRow)
            continue;
        const QFileInfo source(files[i].sourcePath);
        if (!source.isFile()) {
            result.failure = Failure{files[i].sourcePath};
            return result;
        }
        if (!isFromJob(target.targetPath, jobStart)) {
            result.failure = Failure{target.targetPath};
            return result;
        }
        ConversionRow row;
        row.number = static_cast<int>(i + 1);
        row.name = target.outputName;
        row.source = files[i].sourcePath;
        row.output = target.targetPath;
        const QString before = kilobyteFigure(source.size());
        const QString after = kilobyteFigure(QFileInfo(target.targetPath).size());
        row.before = before + kKb;
        row.after = after + kKb;
        row.ratio = ratioText(before, after);
        row.mark = markFor(before, after);
        result.rows.append(row);
    }
    return result;
}

} // namespace ornvale
