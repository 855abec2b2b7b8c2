#include "TextJob.h"

#include "DxfRewriter.h"
#include "FolderExpansion.h"
#include "Messages.h"
#include "Prompter.h"
#include "TextIntake.h"
#include "TextPipeline.h"

#include <algorithm>

namespace ornvale {

using Status = TextFileOutcome::Status;

namespace {

struct RunCancelled {};

void addChanges(TextCounters& total, const TextCounters& after, const TextCounters& before) {
    total.replacedCount += after.replacedCount - before.replacedCount;
    total.toFullWidthCount += after.toFullWidthCount - before.toFullWidthCount;
    total.toHalfWidthCount += after.toHalfWidthCount - before.toHalfWidthCount;
    total.caseChangedCount += after.caseChangedCount - before.caseChangedCount;
    total.toKatakanaCount += after.toKatakanaCount - before.toKatakanaCount;
    total.toHiraganaCount += after.toHiraganaCount - before.toHiraganaCount;
}

// Passes the driver's reports on, keeps each file's result as it comes, counts the changes of
// the files converted, and ends the batch once the job is cancelled. The exception unwinds the
// rewriter between two blocks: the unfinished output is discarded with its temporary file, the
// input is untouched.
class RunWatch : public DxfRewriteObserver {
public:
    RunWatch(DxfRewriteObserver* next, const std::atomic<bool>& cancel,
             const TextPipeline& pipeline, QList<DxfRewriteResult>& results)
        : m_next(next), m_cancel(cancel), m_pipeline(pipeline), m_results(results) {}

    const TextCounters& counted() const { return m_counted; }

    void fileStarted(int index, int count, const QString& inputPath) override {
        m_before = m_pipeline.counters();
        if (m_next)
            m_next->fileStarted(index, count, inputPath);
        stopIfCancelled();
    }
    void fileProgress(qint64 bytesRead, qint64 bytesTotal) override {
        if (m_next)
            m_next->fileProgress(bytesRead, bytesTotal);
        stopIfCancelled();
    }
    void fileFinished(int finished, const DxfRewriteResult& result) override {
        m_results.append(result);
        if (result.converted)
            addChanges(m_counted, m_pipeline.counters(), m_before);
        if (m_next)
            m_next->fileFinished(finished, result);
        stopIfCancelled();
    }

private:
    void stopIfCancelled() const {
        if (m_cancel.load())
            throw RunCancelled{};
    }

    DxfRewriteObserver* m_next;
    const std::atomic<bool>& m_cancel;
    const TextPipeline& m_pipeline;
    QList<DxfRewriteResult>& m_results;
    TextCounters m_before;
    TextCounters m_counted;
};

} // namespace

QString TextJob::notDxfNote() {
    return QStringLiteral("not a DXF file name (.dxf or .DXF)");
}

QString TextJob::cancelledNote() {
    return QStringLiteral("the run was ended before this file was finished");
}

QString TextJob::completionMessage(qsizetype failed) {
    if (failed == 0)
        return QStringLiteral(" 完了しました。");
    return QStringLiteral(" 完了しました。\r\n\r\n%1 個のファイルを変換できませんでした。")
        .arg(failed);
}

void TextJob::take(const QStringList& paths) {
    const TextIntake intake(m_selection);
    // As a drop on the window's list: a folder stands for the DXF files in it.
    const QList<FolderExpansion::Item> items =
        FolderExpansion::expand(paths, intake, TextIntake::kListLimit - m_outcomes.size());
    // The window's limit: a batch that would pass it is taken as none of its files.
    if (!TextIntake::dropFits(m_outcomes.size(), items.size(), m_prompter)) {
        for (const QString& path : paths)
            m_outcomes.append({path, {}, Status::Refused, TextIntake::tooManyFilesMessage(), {}});
        return;
    }
    for (const auto& [path, problem] : items) {
        TextFileOutcome outcome{path, {}, Status::Skipped, {}, {}};
        if (!problem.isEmpty()) {
            outcome.status = Status::Refused;
            outcome.message = problem;
            m_prompter.inform(perFileMessage(path, problem), confirmTitle());
            m_outcomes.append(outcome);
            continue;
        }
        switch (const TextIntake::Finding finding = intake.classify(path)) {
        case TextIntake::Finding::Accepted:
            outcome.status = Status::Pending;
            break;
        case TextIntake::Finding::NotDxf:
            outcome.message = notDxfNote();
            break;
        case TextIntake::Finding::Unreadable:
        case TextIntake::Finding::Incompatible:
        case TextIntake::Finding::TooOld:
            outcome.status = Status::Refused;
            outcome.message = TextIntake::reason(finding, path);
            m_prompter.inform(perFileMessage(path, outcome.message), confirmTitle());
            break;
        }
        m_outcomes.append(outcome);
    }
}

void TextJob::takeAccepted(const QStringList& paths) {
    for (const QString& path : paths)
        m_outcomes.append({path, {}, Status::Pending, {}, {}});
}

void TextJob::run(const TextOptions& options, DxfRewriteObserver* observer) {
    QStringList accepted;
    for (const TextFileOutcome& outcome : std::as_const(m_outcomes)) {
        if (outcome.status == Status::Pending)
            accepted.append(outcome.input);
    }
    TextPipeline pipeline(options);
    QList<DxfRewriteResult> results;
    RunWatch watch(observer, m_cancelRequested, pipeline, results);
    DxfRewriter rewriter(pipeline, m_prompter, &watch);
    rewriter.setDryRun(m_dryRun);
    rewriter.setChangeObserver(m_changes);
    m_cancelled = false;
    m_running = &pipeline;
    try {
        rewriter.run(accepted);
    } catch (const RunCancelled&) {
        m_cancelled = true;
    } catch (...) {
        m_running = nullptr;
        throw;
    }
    m_running = nullptr;
    qsizetype next = 0;
    for (TextFileOutcome& outcome : m_outcomes) {
        if (outcome.status != Status::Pending)
            continue;
        if (next >= results.size()) { // not finished when the run was cancelled
            outcome.status = Status::Skipped;
            outcome.message = cancelledNote();
            continue;
        }
        const DxfRewriteResult& result = results.at(next++);
        outcome.status = result.converted ? Status::Converted : Status::Failed;
        outcome.output = result.converted ? result.outputPath : QString();
        outcome.message = result.reason;
        outcome.notes = result.notes;
    }
    m_counters = watch.counted();
}

const TextCounters& TextJob::counters() const {
    return m_running ? m_running->counters() : m_counters;
}

qsizetype TextJob::failedCount() const {
    return std::count_if(m_outcomes.begin(), m_outcomes.end(),
                         [](const TextFileOutcome& o) { return o.status == Status::Failed; });
}

bool TextJob::allConverted() const {
    return std::all_of(m_outcomes.begin(), m_outcomes.end(),
                       [](const TextFileOutcome& o) { return o.converted(); });
}

} // namespace ornvale
