// A batch of 999 small DXF files through the text window (offscreen: drop onto the list, then
// the start button) against the same batch through `ornvale-cli text`, same options, same
// files. The window's figure includes its intake and its repaints; the command line's is the
// whole process. `bench_text_window --big MIB` shows how the window keeps answering during
// one large drawing.
#include "Prompter.h"
#include "TextWindow.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace ornvale;
using namespace Qt::StringLiterals;

namespace {

class YesPrompter : public Prompter {
public:
    int messages = 0;
    void inform(const QString&, const QString&) override { ++messages; }
    bool askYesNo(const QString&, const QString&) override { return true; }
    void warnRetry(const QString&, const QString&) override {}
};

QByteArray smallDrawing(int texts) {
    QByteArray out = "  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1018\r\n"
                     "  9\r\n$DWGCODEPAGE\r\n  3\r\nANSI_932\r\n  0\r\nENDSEC\r\n"
                     "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    for (int i = 0; i < texts; ++i)
        out += "  0\r\nTEXT\r\n  8\r\n0\r\n 10\r\n0.0\r\n 20\r\n0.0\r\n 40\r\n2.5\r\n  1\r\n"
               "plan abc " +
               QByteArray::number(i) + "\r\n";
    return out + "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
}

QStringList writeBatch(const QString& dir, int count) {
    const QByteArray bytes = smallDrawing(20);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = dir + u"/d%1.dxf"_s.arg(i, 4, 10, QChar(u'0'));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        paths.append(path);
    }
    return paths;
}

void removeOutputs(const QString& dir) {
    for (const QString& name : QDir(dir).entryList({u"*-T.dxf"_s}, QDir::Files))
        QFile::remove(dir + u'/' + name);
}

double windowRun(const QStringList& paths, double& intakeMs) {
    YesPrompter prompter;
    TextWindow window(prompter, 41);
    window.show();
    QCoreApplication::processEvents();
    window.options().setSearchText(u"abc"_s);
    window.options().setReplaceText(u"xyz"_s);
    QElapsedTimer timer;
    timer.start();
    auto* list = window.findChild<QListWidget*>(u"List1"_s);
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mime.setUrls(urls);
    const QPoint at = list->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    QCoreApplication::processEvents();
    intakeMs = double(timer.nsecsElapsed()) / 1e6;
    if (list->count() != paths.size())
        qFatal("the window listed %d of %d files (%d messages)", int(list->count()),
               int(paths.size()), prompter.messages);
    window.findChild<QPushButton*>(u"STARTProg"_s)->click();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (prompter.messages != 1) // the completion message only
        qFatal("the window showed %d messages", prompter.messages);
    return ms;
}

double cliRun(const QStringList& paths) {
    QElapsedTimer timer;
    timer.start();
    QProcess cli;
    cli.start(QStringLiteral(ORNVALE_CLI),
              QStringList{u"text"_s, u"--selection"_s, u"41"_s, u"--search"_s, u"abc"_s,
                          u"--replace"_s, u"xyz"_s} +
                  paths);
    if (!cli.waitForFinished(600000) || cli.exitCode() != 0)
        qFatal("ornvale-cli text failed: %s", cli.readAllStandardError().constData());
    return double(timer.nsecsElapsed()) / 1e6;
}

// One large drawing through the window: how long the window went without processing its
// events (a 10 ms timer's longest gap) and how often Label16 and the bar were repainted.
void bigFile(const QString& dir, int mib) {
    const QString path = dir + u"/big.dxf"_s;
    {
        QByteArray bytes = smallDrawing(0);
        const QByteArray entity = "  0\r\nTEXT\r\n  8\r\n0\r\n  1\r\nplan abc ｶﾀｶﾅ 123\r\n";
        QByteArray entities;
        while (entities.size() < (qsizetype(1) << 20))
            entities += entity;
        const qsizetype at = bytes.indexOf("ENTITIES\r\n") + 10;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.left(at)) != at)
            qFatal("cannot write %s", qPrintable(path));
        for (int i = 0; i < mib; ++i)
            file.write(entities);
        file.write(bytes.mid(at));
    }
    YesPrompter prompter;
    TextWindow window(prompter, 41);
    window.show();
    window.options().setSearchText(u"abc"_s);
    window.options().setReplaceText(u"xyz"_s);
    auto* list = window.findChild<QListWidget*>(u"List1"_s);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = list->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &drop);
    QCoreApplication::processEvents();

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            longestGap = std::max(longestGap, sinceTick.elapsed());
        sinceTick.start();
        ++ticks;
    });
    timer.start();
    QElapsedTimer total;
    total.start();
    window.findChild<QPushButton*>(u"STARTProg"_s)->click();
    const qint64 ms = total.elapsed();
    std::printf("%d MiB drawing through the window: %lld ms, the event loop ran %d times, longest "
                "gap %lld ms\n",
                mib, qlonglong(ms), ticks, qlonglong(longestGap));
    QFile::remove(path);
    QFile::remove(dir + u"/big-T.dxf"_s);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (argc > 2 && QByteArray(argv[1]) == "--big") {
        bigFile(dir.path(), QString::fromLocal8Bit(argv[2]).toInt());
        return 0;
    }
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;
    const QStringList paths = writeBatch(dir.path(), 999);

    std::vector<double> window, intake, cli;
    for (int i = 0; i < runs; ++i) {
        double intakeMs = 0;
        window.push_back(windowRun(paths, intakeMs));
        intake.push_back(intakeMs);
        removeOutputs(dir.path());
        cli.push_back(cliRun(paths));
        removeOutputs(dir.path());
    }
    std::printf("999 DXF files of %lld bytes, %d runs (median)\n",
                qlonglong(smallDrawing(20).size()), runs);
    std::printf("  text window: %.1f ms (drop and intake %.1f ms, run %.1f ms)\n", median(window),
                median(intake), median(window) - median(intake));
    std::printf("  ornvale-cli text: %.1f ms (whole process)\n", median(cli));
    std::printf("  ratio window / cli: %.2f\n", median(window) / median(cli));
    return 0;
}
