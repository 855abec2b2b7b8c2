#include "FileSystemProbe.h"
#include "ScriptWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#endif

using namespace ornvale;
using namespace Qt::StringLiterals;

// The script writer when the disk fills up part way: the write is refused and the script that
// was there before stays as it was. The file size limit of this process stands in for the full
// disk (writes past it fail with EFBIG once SIGXFSZ is ignored).
class TestScriptWriterLimits : public QObject {
    Q_OBJECT
private slots:
    void fullDiskLeavesTheEarlierScript();
};

void TestScriptWriterLimits::fullDiskLeavesTheEarlierScript() {
#ifdef Q_OS_WIN
    QSKIP("no file-size limit to stand in for a full disk there");
#else
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    ScriptInputs in;
    for (int i = 0; i < 40; ++i) {
        const QString name = u"drawing number %1 with a long name.dwg"_s.arg(i);
        in.files.append({u" "_s + name, tmp.filePath(name)});
    }
    in.outputFolder = tmp.filePath(u"out"_s);
    in.selectionCode = 41;
    in.markerPath = ScriptWriter::markerPathIn(tmp.filePath(u"appdata"_s));
    in.scriptPath = tmp.filePath(u"scriptC.scr"_s);
    const QByteArray earlier = "an earlier script\r\n";
    QFile old(in.scriptPath);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(earlier) == earlier.size());
    old.close();

    SystemFileSystemProbe probe;
    rlimit saved{};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 1024;
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &limited) == 0);
    const ScriptWriteResult result = ScriptWriter(probe).write(in);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!result.ok());
    QVERIFY2(result.error.contains(in.scriptPath), qPrintable(result.error));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), earlier);
    QCOMPARE(QDir(tmp.path()).entryList(QDir::Files), QStringList{u"scriptC.scr"_s});

    // Without the limit the same script is written whole.
    const ScriptWriteResult whole = ScriptWriter(probe).write(in);
    QVERIFY2(whole.ok(), qPrintable(whole.error));
    QFile script(in.scriptPath);
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(script.size() > 4096);
#endif
}

QTEST_GUILESS_MAIN(TestScriptWriterLimits)
#include "TestScriptWriterLimits.moc"
