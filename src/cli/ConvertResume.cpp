#include "ConvertResume.h"

#include "FileSystemProbe.h"
#include "ResumePlan.h"
#include "ScriptWriter.h"

#include <algorithm>

namespace ornvale::cli {

ResumedJob resumeJob(const JobInputs& inputs) {
    ResumedJob resumed{inputs, {}, inputs.script.files.size()};
    // The targets as the job's script would name them (the "-COPY" form included).
    SystemFileSystemProbe probe;
    const ScriptText composed = ScriptWriter(probe).compose(inputs.script);
    if (!composed.ok())
        return resumed;
    const ResumePlan plan = ResumePlan::fromOutputs(inputs, composed.targets);
    resumed.inputs = plan.inputsLeft(inputs);
    resumed.kept = plan.kept();
    return resumed;
}

void addKeptOutputs(JobOutcome& outcome, const QList<OutputRow>& kept) {
    outcome.outputs += kept;
    std::stable_sort(outcome.outputs.begin(), outcome.outputs.end(),
                     [](const OutputRow& a, const OutputRow& b) { return a.number < b.number; });
}

} // namespace ornvale::cli
