#pragma once

#include "JobOutcome.h"
#include "ScriptWriter.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ornvale {

// AutoCAD's ".adt" audit reports, written beside each audited drawing: their summary lines for
// the audit report grid, and which reports are kept.
class AuditReport {
public:
    struct Failure {
        QString path; // the report that could not be read
    };
    struct Result {
        QList<AuditRow> rows;
        std::optional<Failure> failure;
    };

    // The report of a source drawing: its path less the four-character extension, leading
    // blanks removed, with ".adt".
    static QString reportPathFor(const QString& sourcePath);
    // The lines of a report as AutoCAD's line counter sees them (CR LF, LF or a lone CR end a
    // line); the text after the last line break is the last line, empty when the report ends
    // with a line break.
    static QStringList splitLines(const QByteArray& bytes);
    // The summary line: of L lines, line L - offset (counted from 1). nullopt when the report is
    // shorter than the offset.
    static std::optional<QString> summaryLine(const QStringList& lines, int offset);
    // The two texts of a report without errors.
    static bool isZeroSummary(const QString& summary);

    // Reads the report of every listed drawing; deletes each report unless its drawing had
    // errors and keepReports is set. A report older than jobStart was not written by this job
    // and counts as missing; it is neither read nor deleted.
    static Result collect(const QList<FileEntry>& files, const QList<ScriptTarget>& targets,
                          quint8 selectionCode, bool keepReports, const QDateTime& jobStart);
};

} // namespace ornvale
