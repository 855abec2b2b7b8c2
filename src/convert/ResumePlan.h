#pragma once

#include "JobOutcome.h"
#include "JobRunner.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

namespace ornvale {

// Which drawings of a job are still to be converted after it stopped, and the job that
// converts only those. A drawing is done when its output passes the read-back check; nothing
// done is converted again.
class ResumePlan {
public:
    // After a job of this run: outputs written since jobStart that pass the check are done.
    static ResumePlan afterJob(const JobInputs& job, const QList<ScriptTarget>& targets,
                               const QDateTime& jobStart);
    // From the outputs on disk (a new run): outputs newer than their sources that pass the
    // check are done.
    static ResumePlan fromOutputs(const JobInputs& job, const QList<ScriptTarget>& targets);

    qsizetype total() const { return m_total; }
    const QList<qsizetype>& left() const { return m_left; } // indexes into the job's files
    const QList<OutputRow>& kept() const { return m_kept; } // the outputs that are done

    // The job for the drawings left: the same options, folders and AutoCAD, each drawing with
    // its number in the original list.
    JobInputs inputsLeft(const JobInputs& job) const;

    // The rows of a job over part of a list numbered as in the whole list.
    static void renumber(JobOutcome& outcome, const QList<int>& numbers);
    // The main window's question after a job that stopped.
    static QString question(qsizetype left);

private:
    // fresh: whether an output may be this job's at all (then it is read back).
    using Fresh = std::function<bool(const FileEntry&, const ScriptTarget&)>;
    static ResumePlan build(const JobInputs& job, const QList<ScriptTarget>& targets,
                            const Fresh& fresh);

    qsizetype m_total = 0;
    QList<qsizetype> m_left;
    QList<OutputRow> m_kept;
};

} // namespace ornvale
