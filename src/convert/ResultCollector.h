#pragma once

#include "JobOutcome.h"
#include "ScriptWriter.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace ornvale {

// Reads the sizes of sources and outputs after AutoCAD has finished and fills the conversion
// result rows. Sizes are shown in rounded kilobytes and the ratio is taken from the rounded
// figures, as the grid shows them.
class ResultCollector {
public:
    // The error of a collection step: the file it concerns.
    struct Failure {
        QString path;
    };
    struct Result {
        QList<ConversionRow> rows;
        std::optional<Failure> failure;
    };

    // files and targets in list order. An output older than jobStart was not written by this
    // job and counts as missing.
    static Result collect(const QList<FileEntry>& files, const QList<ScriptTarget>& targets,
                          const QDateTime& jobStart);

    // Bytes / 1024 with the pattern "#": rounded, no separator, empty for 0.
    static QString kilobyteFigure(qint64 bytes);
    // After / before as "#%"; empty when either figure is empty.
    static QString ratioText(const QString& beforeFigure, const QString& afterFigure);
    static SizeMark markFor(const QString& beforeFigure, const QString& afterFigure);

    // Whether the file at path was written at or after jobStart (file times of whole seconds
    // are allowed for).
    static bool isFromJob(const QString& path, const QDateTime& jobStart);
};

} // namespace ornvale
