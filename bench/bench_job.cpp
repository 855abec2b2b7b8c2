// The conversion job: processor time of the wait for AutoCAD and how soon the marker is
// noticed (with the AutoCAD simulator as AutoCAD), then script writing and result collection
// for a full batch of 999 drawings.
// Usage: bench_job SIMULATOR [WAIT_SECONDS]
#include "AuditReport.h"
#include "FileSystemProbe.h"
#include "JobRunner.h"
#include "ProgramStarter.h"
#include "Prompter.h"
#include "ResultCollector.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>

using namespace ornvale;

namespace {

class QuietPrompter : public Prompter {
public:
    void inform(const QString&, const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return true; }
    void warnRetry(const QString& text, const QString&) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double nowSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double modifiedSeconds(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return static_cast<double>(info.st_mtim.tv_sec) +
           static_cast<double>(info.st_mtim.tv_nsec) / 1e9;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

JobInputs jobIn(const QTemporaryDir& dir, const QString& simulator, int drawings) {
    QDir(dir.path()).mkpath(QStringLiteral("src"));
    JobInputs inputs;
    for (int i = 0; i < drawings; ++i) {
        const QString name = QStringLiteral("d%1.dwg").arg(i);
        const QString source = dir.filePath(QStringLiteral("src/") + name);
        writeFile(source, QByteArray("AC1015") + QByteArray(4090, '\x01'));
        inputs.script.files.append({QLatin1Char(' ') + name, source});
    }
    inputs.script.options.outputFormat = OutputFormat::Dwg;
    inputs.script.options.audit = true;
    inputs.script.selectionCode = 41;
    inputs.script.outputFolder = dir.filePath(QStringLiteral("out"));
    inputs.script.markerPath = ScriptWriter::markerPathIn(dir.filePath(QStringLiteral("appdata")));
    inputs.script.scriptPath = dir.filePath(QStringLiteral("scriptC.scr"));
    inputs.executable = simulator;
    return inputs;
}

// One job; returns the seconds between the marker's modification time and the job's end.
double runJob(const JobInputs& inputs, double* processor) {
    QuietPrompter prompter;
    SystemProgramStarter starter;
    JobRunner runner(prompter, starter);
    QEventLoop loop;
    double noticed = 0;
    QObject::connect(&runner, &JobRunner::finished, &loop, [&] {
        noticed = nowSeconds();
        loop.quit();
    });
    const double before = processorSeconds();
    runner.start(inputs);
    if (runner.isRunning())
        loop.exec();
    if (processor)
        *processor = processorSeconds() - before;
    if (!runner.outcome().completed())
        return -1;
    return noticed - modifiedSeconds(inputs.script.markerPath);
}

void benchWait(const QString& simulator, int waitSeconds) {
    QTemporaryDir dir;
    qputenv("ACADSIM_SELECTION", "41");
    qputenv("ACADSIM_DELAY_MS", QByteArray::number(waitSeconds * 1000));
    double processor = 0;
    QElapsedTimer wall;
    wall.start();
    const double delay = runJob(jobIn(dir, simulator, 1), &processor);
    const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
    std::printf("wait of %.1f s: processor %.3f s = %.3f %% of a core; marker noticed after "
                "%.1f ms\n",
                seconds, processor, processor / seconds * 100.0, delay * 1000.0);

    qputenv("ACADSIM_DELAY_MS", "300");
    double worst = 0;
    double sum = 0;
    const int runs = 10;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir each;
        const double d = runJob(jobIn(each, simulator, 1), nullptr);
        sum += d;
        worst = std::max(worst, d);
    }
    std::printf("marker to job end over %d jobs: mean %.1f ms, worst %.1f ms\n", runs,
                sum / runs * 1000.0, worst * 1000.0);
}

void benchFullBatch() {
    QTemporaryDir dir;
    const JobInputs inputs = jobIn(dir, QString(), 999);
    SystemFileSystemProbe probe;
    QElapsedTimer timer;
    timer.start();
    const ScriptWriteResult written = ScriptWriter(probe).write(inputs.script);
    std::printf("script for 999 drawings: %.1f ms (%s)\n",
                static_cast<double>(timer.nsecsElapsed()) / 1e6,
                written.ok() ? "written" : qPrintable(written.error));

    // What AutoCAD leaves: every output and every report.
    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
    for (qsizetype i = 0; i < inputs.script.files.size(); ++i) {
        writeFile(written.targets[i].targetPath, QByteArray(2048, '\x01'));
        writeFile(AuditReport::reportPathFor(inputs.script.files[i].sourcePath),
                  "head\r\nx\r\n\r\n\xe6\xa4\x9c\r\n\r\n0\r\nend\r\n");
    }
    timer.restart();
    const ResultCollector::Result sizes =
        ResultCollector::collect(inputs.script.files, written.targets, start);
    std::printf("sizes of 999 drawings: %.1f ms (%lld rows)\n",
                static_cast<double>(timer.nsecsElapsed()) / 1e6,
                static_cast<long long>(sizes.rows.size()));
    timer.restart();
    const AuditReport::Result audits =
        AuditReport::collect(inputs.script.files, written.targets, 41, false, start);
    std::printf("audit reports of 999 drawings: %.1f ms (%lld rows)\n",
                static_cast<double>(timer.nsecsElapsed()) / 1e6,
                static_cast<long long>(audits.rows.size()));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_job SIMULATOR [WAIT_SECONDS]\n", stderr);
        return 2;
    }
    benchWait(QString::fromLocal8Bit(argv[1]), argc > 2 ? std::atoi(argv[2]) : 10);
    benchFullBatch();
    return 0;
}
