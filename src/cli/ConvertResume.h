#pragma once

#include "JobOutcome.h"
#include "JobRunner.h"

#include <QList>

namespace ornvale::cli {

// `convert --resume`: the job over the listed drawings that still need converting. An output
// newer than its drawing that passes the read-back check is kept; so is every drawing when no
// script can be composed (the job then reports why).
struct ResumedJob {
    JobInputs inputs;      // only the drawings left, numbered as in the whole list
    QList<OutputRow> kept; // the outputs kept, as read back
    qsizetype total = 0;   // drawings listed
};

ResumedJob resumeJob(const JobInputs& inputs);

// The kept outputs join the job's, in list order.
void addKeptOutputs(JobOutcome& outcome, const QList<OutputRow>& kept);

} // namespace ornvale::cli
