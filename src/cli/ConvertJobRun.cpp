#include "ConvertJobRun.h"

#include "ProgramStarter.h"
#include "StandardStreams.h"
#include "StderrPrompter.h"
#include "TerminalText.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <csignal>
#include <cstdio>

namespace ornvale::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int) {
    g_interrupted = 1;
}

void showProgress(int seen, int total) {
    std::fprintf(stderr, "\r%d / %d", seen, total);
    std::fflush(stderr);
}

QString statusName(JobOutcome::Status status) {
    switch (status) {
    case JobOutcome::Status::Completed:
        return QStringLiteral("completed");
    case JobOutcome::Status::Aborted:
        return QStringLiteral("aborted");
    case JobOutcome::Status::Failed:
        break;
    }
    return QStringLiteral("failed");
}

QString markName(SizeMark mark) {
    switch (mark) {
    case SizeMark::Grew:
        return QStringLiteral("grew");
    case SizeMark::Shrank:
        return QStringLiteral("shrank");
    case SizeMark::None:
        break;
    }
    return {};
}

} // namespace

JobOutcome runConvertJob(const JobInputs& inputs, std::optional<double> timeoutSeconds,
                         StderrPrompter& prompter) {
    const bool onTerminal = stderrIsTerminal();
    bool progressShown = false;
    SystemProgramStarter starter;
    JobRunner runner(prompter, starter);
    QEventLoop loop;
    QObject::connect(&runner, &JobRunner::finished, &loop, [&] {
        if (progressShown)
            std::fputc('\n', stderr);
        progressShown = false;
        loop.quit();
    });
    if (onTerminal) {
        QObject::connect(&runner, &JobRunner::progress, &loop, [&](int seen, int total) {
            progressShown = true;
            showProgress(seen, total);
        });
    }

    // Ctrl-C gives up the wait as Clear does; the job ends the programs it started.
    g_interrupted = 0;
    const auto previous = std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
#ifdef SIGHUP
    // A closed terminal too: the job must not go without ending its AutoCAD.
    std::signal(SIGHUP, onInterrupt);
#endif
    QTimer interruptCheck;
    interruptCheck.setInterval(100);
    QObject::connect(&interruptCheck, &QTimer::timeout, &loop, [&] {
        if (g_interrupted && runner.isRunning())
            runner.abort();
    });

    JobInputs limited = inputs;
    limited.timeLimitSeconds = timeoutSeconds;
    runner.start(limited);
    if (runner.isRunning()) {
        interruptCheck.start();
        loop.exec();
    }
    std::signal(SIGINT, previous);
    std::signal(SIGTERM, SIG_DFL);
#ifdef SIGHUP
    std::signal(SIGHUP, SIG_DFL);
#endif
    return runner.outcome();
}

QString outcomeTable(const JobOutcome& outcome) {
    QString text;
    if (!outcome.conversions.isEmpty())
        text += QStringLiteral("No\tファイル名\tBefore\tAfter\t比率\n");
    for (const ConversionRow& row : outcome.conversions) {
        text +=
            QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6%7\n")
                .arg(row.number)
                .arg(terminalText(row.name), row.before, row.after, row.ratio, markName(row.mark),
                     row.versionOk ? QString() : QStringLiteral("\t") + row.finding);
    }
    if (!outcome.audits.isEmpty())
        text += QStringLiteral("No\tファイル名\t監査ﾚﾎﾟｰﾄ\n");
    for (const AuditRow& row : outcome.audits) {
        text +=
            QStringLiteral("%1\t%2\t%3%4\n")
                .arg(row.number)
                .arg(terminalText(row.name), terminalText(row.summary),
                     row.reportKept ? QStringLiteral("\t") + terminalText(row.report) : QString());
    }
    return text;
}

QString outcomeJson(const JobOutcome& outcome) {
    QJsonArray conversions;
    for (const ConversionRow& row : outcome.conversions) {
        conversions.append(QJsonObject{{QStringLiteral("number"), row.number},
                                       {QStringLiteral("name"), row.name},
                                       {QStringLiteral("source"), row.source},
                                       {QStringLiteral("output"), row.output},
                                       {QStringLiteral("before"), row.before},
                                       {QStringLiteral("after"), row.after},
                                       {QStringLiteral("ratio"), row.ratio},
                                       {QStringLiteral("mark"), markName(row.mark)},
                                       {QStringLiteral("version"), row.version},
                                       {QStringLiteral("versionOk"), row.versionOk}});
    }
    QJsonArray outputs;
    for (const OutputRow& row : outcome.outputs) {
        outputs.append(QJsonObject{{QStringLiteral("number"), row.number},
                                   {QStringLiteral("name"), row.name},
                                   {QStringLiteral("source"), row.source},
                                   {QStringLiteral("output"), row.output},
                                   {QStringLiteral("version"), row.version},
                                   {QStringLiteral("versionOk"), row.versionOk},
                                   {QStringLiteral("finding"), row.finding},
                                   {QStringLiteral("kept"), row.kept}});
    }
    QJsonArray audits;
    for (const AuditRow& row : outcome.audits) {
        audits.append(QJsonObject{{QStringLiteral("number"), row.number},
                                  {QStringLiteral("name"), row.name},
                                  {QStringLiteral("summary"), row.summary},
                                  {QStringLiteral("errors"), row.errors},
                                  {QStringLiteral("report"), row.report},
                                  {QStringLiteral("reportKept"), row.reportKept}});
    }
    const QJsonObject root{{QStringLiteral("status"), statusName(outcome.status)},
                           {QStringLiteral("message"), outcome.message},
                           {QStringLiteral("conversions"), conversions},
                           {QStringLiteral("audits"), audits},
                           {QStringLiteral("outputs"), outputs}};
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact)) +
           QLatin1Char('\n');
}

} // namespace ornvale::cli
