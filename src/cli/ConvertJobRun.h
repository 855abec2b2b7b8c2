#pragma once

#include "JobOutcome.h"
#include "JobRunner.h"

#include <optional>

namespace ornvale::cli {

class StderrPrompter;

// Runs one conversion job from the command line: the same job model as the main window, with
// Ctrl-C and an optional time limit ending the wait (and every process started for it).
// Progress (outputs seen / drawings) goes to stderr on a terminal.
JobOutcome runConvertJob(const JobInputs& inputs, std::optional<double> timeoutSeconds,
                         StderrPrompter& prompter);

// The outcome as the grids show it: a table, or the documented JSON object.
QString outcomeTable(const JobOutcome& outcome);
QString outcomeJson(const JobOutcome& outcome);

} // namespace ornvale::cli
