#include "TextJob.h"

#include "DxfRewriter.h"
#include "Messages.h"
#include "Prompter.h"
#include "TextIntake.h"
#include "TextPipeline.h"

#include <algorithm>

namespace ornvale {

using Status = TextFileOutcome::Status;

QString TextJob::notDxfNote() {
    return QStringLiteral("not a DXF file name (.dxf or .DXF)");
}

QString TextJob::completionMessage(qsizetype failed) {
    if (failed == 0)
        return QStringLiteral(" 完了しました。");
    return QStringLiteral(" 完了しました。\r\n\r\n%1 個のファイルを変換できませんでした。")
        .arg(failed);
}

void TextJob::take(const QStringList& paths) {
    const TextIntake intake(m_selection);
    for (const QString& path : paths) {
        TextFileOutcome outcome{path, {}, Status::Skipped, {}};
        switch (const TextIntake::Finding finding = intake.classify(path)) {
        case TextIntake::Finding::Accepted:
            outcome.status = Status::Converted; // until the run says otherwise
            break;
        case TextIntake::Finding::NotDxf:
            outcome.message = notDxfNote();
            break;
        case TextIntake::Finding::Incompatible:
        case TextIntake::Finding::TooOld:
            outcome.status = Status::Refused;
            outcome.message = TextIntake::reason(finding);
            m_prompter.inform(perFileMessage(path, outcome.message), confirmTitle());
            break;
        }
        m_outcomes.append(outcome);
    }
}

void TextJob::takeAccepted(const QStringList& paths) {
    for (const QString& path : paths)
        m_outcomes.append({path, {}, Status::Converted, {}});
}

void TextJob::run(const TextOptions& options, DxfRewriteObserver* observer) {
    QStringList accepted;
    for (const TextFileOutcome& outcome : std::as_const(m_outcomes)) {
        if (outcome.converted())
            accepted.append(outcome.input);
    }
    TextPipeline pipeline(options);
    DxfRewriter rewriter(pipeline, m_prompter, observer);
    const QList<DxfRewriteResult> results = rewriter.run(accepted);
    qsizetype next = 0;
    for (TextFileOutcome& outcome : m_outcomes) {
        if (!outcome.converted())
            continue;
        const DxfRewriteResult& result = results.at(next++);
        outcome.status = result.converted ? Status::Converted : Status::Failed;
        outcome.output = result.converted ? result.outputPath : QString();
        outcome.message = result.reason;
    }
    m_counters = pipeline.counters();
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
