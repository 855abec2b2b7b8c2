#include "ResumePlan.h"

#include "OutputCheck.h"
#include "OutputReview.h"
#include "ResultCollector.h"

#include <QFileInfo>

namespace ornvale {

namespace {

int numberOf(const JobInputs& job, qsizetype index) {
    return index < job.numbers.size() ? job.numbers[index] : static_cast<int>(index + 1);
}

} // namespace

// A drawing without a target (the script was not written) is left.
ResumePlan ResumePlan::build(const JobInputs& job, const QList<ScriptTarget>& targets,
                             const Fresh& fresh) {
    ResumePlan plan;
    const QList<FileEntry>& files = job.script.files;
    plan.m_total = files.size();
    const QString expected =
        OutputCheck::expectedVersion(job.script.options, job.script.selectionCode);
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (i < targets.size() && fresh(files[i], targets[i])) {
            const OutputCheckResult check = OutputCheck::check(targets[i].targetPath, expected);
            if (check.ok()) {
                OutputRow row =
                    OutputReview::rowFor(numberOf(job, i), files[i], targets[i], check, expected);
                row.kept = true;
                plan.m_kept.append(row);
                continue;
            }
        }
        plan.m_left.append(i);
    }
    return plan;
}

ResumePlan ResumePlan::afterJob(const JobInputs& job, const QList<ScriptTarget>& targets,
                                const QDateTime& jobStart) {
    return build(job, targets, [&](const FileEntry&, const ScriptTarget& target) {
        return ResultCollector::isFromJob(target.targetPath, jobStart);
    });
}

ResumePlan ResumePlan::fromOutputs(const JobInputs& job, const QList<ScriptTarget>& targets) {
    return build(job, targets, [](const FileEntry& file, const ScriptTarget& target) {
        const QFileInfo output(target.targetPath);
        const QFileInfo source(file.sourcePath);
        return output.isFile() && source.isFile() && output.lastModified() > source.lastModified();
    });
}

JobInputs ResumePlan::inputsLeft(const JobInputs& job) const {
    JobInputs rest = job;
    rest.script.files.clear();
    rest.numbers.clear();
    for (const qsizetype i : m_left) {
        rest.script.files.append(job.script.files[i]);
        rest.numbers.append(numberOf(job, i));
    }
    return rest;
}

void ResumePlan::renumber(JobOutcome& outcome, const QList<int>& numbers) {
    if (numbers.isEmpty())
        return;
    const auto mapped = [&](int number) { return numbers.value(number - 1, number); };
    for (ConversionRow& row : outcome.conversions)
        row.number = mapped(row.number);
    for (AuditRow& row : outcome.audits)
        row.number = mapped(row.number);
    for (OutputRow& row : outcome.outputs)
        row.number = mapped(row.number);
}

QString ResumePlan::question(qsizetype left) {
    return QStringLiteral("未変換の図面だけを変換しますか？\r\n\r\n（未変換の図面は %1 件です）")
        .arg(left);
}

} // namespace ornvale
