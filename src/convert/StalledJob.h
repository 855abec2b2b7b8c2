#pragma once

#include "JobOutcome.h"
#include "ScriptWriter.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace ornvale {

// What a job reports when AutoCAD wrote nothing new for the stall limit and was ended: the
// drawing it was waiting for, and the rows of the drawings whose outputs it did write.
class StalledJob {
public:
    // The drawing after the last one whose output of this job appeared: AutoCAD saves them in
    // list order, so that is the one it did not get through (one it skipped without output lies
    // before). Empty when the last drawing's output is there (it hung before the marker).
    static QString waitingFor(const QList<FileEntry>& files, const QList<bool>& outputSeen);
    // The box shown at the end, in the form of the other job messages.
    static QString message(int minutes, const QString& waitingFor);
    // The conversion result rows of the drawings whose outputs of this job exist, numbered as
    // in the list; drawings without output have none.
    static QList<ConversionRow> writtenRows(const QList<FileEntry>& files,
                                            const QList<ScriptTarget>& targets,
                                            const QDateTime& jobStart);
    // The audit rows of the same drawings, numbered as in the list, their reports kept or
    // deleted as after a whole job; a drawing whose report is missing has none. The report of
    // the drawing AutoCAD hung on is left alone.
    static QList<AuditRow> writtenAudits(const QList<FileEntry>& files,
                                         const QList<ScriptTarget>& targets, quint8 selectionCode,
                                         bool keepReports, const QDateTime& jobStart);
};

} // namespace ornvale
