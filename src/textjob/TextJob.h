#pragma once

#include "DxfRewriteObserver.h"
#include "TextOptions.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <atomic>

namespace ornvale {

class DxfChangeObserver;
class Prompter;
class TextPipeline;

// What became of one file handed to a text job.
struct TextFileOutcome {
    // Pending: accepted, waiting for the run.
    enum class Status { Pending, Converted, Skipped, Refused, Failed };

    QString input;
    QString output; // empty when nothing was written
    Status status = Status::Skipped;
    QString message;
    QStringList notes; // what a converted file's output lacks (values left long, a cut end)

    bool converted() const { return status == Status::Converted; }
};

// One run of the text conversion, as the text window and the command line do it: the files
// that passed the intake go through the DXF rewrite driver with one snapshot of the options.
// Every refusal and failure is shown through the prompter, naming the file, as it happens.
class TextJob {
public:
    TextJob(quint8 autocadSelection, Prompter& prompter)
        : m_selection(autocadSelection), m_prompter(prompter) {}

    // The intake one file at a time (the command line's way; the window's list takes the same
    // test through TextIntake): refused files are shown, files not named ".dxf" are skipped.
    // A folder brings in the DXF files inside it and its subfolders, as a drop does; one that
    // gives none is refused. More files than the window's list holds are all refused, with
    // the window's message.
    void take(const QStringList& paths);
    // Adds files already accepted (the window's list).
    void takeAccepted(const QStringList& paths);

    // A dry run goes through everything but writes no output file.
    void setDryRun(bool dryRun) { m_dryRun = dryRun; }
    // Told of every value the run changes, file by file.
    void setChangeObserver(DxfChangeObserver* observer) { m_changes = observer; }

    // Rewrites every accepted file; counters start from zero and count only the changes of the
    // files converted (a file whose output could not be written changed nothing).
    void run(const TextOptions& options, DxfRewriteObserver* observer = nullptr);
    // Ends a run at the next progress report (from the observer or another thread): the file
    // in progress leaves no output, the files after it are not started.
    void cancel() { m_cancelRequested = true; }
    bool cancelled() const { return m_cancelled; }

    const QList<TextFileOutcome>& outcomes() const { return m_outcomes; }
    // The counts of the last run; while a run goes (read from its observer), the counts so far.
    const TextCounters& counters() const;
    qsizetype failedCount() const;
    bool allConverted() const;

    // The message that ends a run: " 完了しました。", with the number of failed files if any.
    static QString completionMessage(qsizetype failed);
    static QString notDxfNote();
    static QString cancelledNote();

private:
    quint8 m_selection;
    Prompter& m_prompter;
    QList<TextFileOutcome> m_outcomes;
    TextCounters m_counters;
    const TextPipeline* m_running = nullptr; // counts the run in progress
    std::atomic<bool> m_cancelRequested = false;
    bool m_cancelled = false;
    bool m_dryRun = false;
    DxfChangeObserver* m_changes = nullptr;
};

} // namespace ornvale
