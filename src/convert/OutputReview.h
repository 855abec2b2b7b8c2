#pragma once

#include "JobOutcome.h"
#include "OutputCheck.h"
#include "ScriptWriter.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace ornvale {

// After a completed job: every output is read back and compared with the release asked for.
// The conversion rows carry the finding (the window marks the name cell), every drawing gets
// an output row, and the drawings without a grid row that failed are listed in one message.
class OutputReview {
public:
    // files and targets in list order. An output older than jobStart was not written by this
    // job and counts as missing.
    static void review(JobOutcome& outcome, const QList<FileEntry>& files,
                       const QList<ScriptTarget>& targets, const QString& expectedVersion,
                       const QDateTime& jobStart);
    // One output as read back, numbered from 1 in list order.
    static OutputRow rowFor(int number, const FileEntry& file, const ScriptTarget& target,
                            const OutputCheckResult& check, const QString& expectedVersion);

    // The message listing the failed outputs that have no grid row; empty when there are none.
    static QString message(const QList<OutputRow>& outputs);
};

} // namespace ornvale
