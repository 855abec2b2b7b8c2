#include "CliProcess.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using ornvale::test::CliRun;
using ornvale::test::runCli;

// Both programs answer --version from the project version, before anything else starts.
class TestVersion : public QObject {
    Q_OBJECT

private slots:
    void cliPrintsItsVersion();
    void windowProgramAnswersWithoutDisplay_data();
    void windowProgramAnswersWithoutDisplay();
};

void TestVersion::cliPrintsItsVersion() {
    QTemporaryDir home;
    const CliRun result = runCli(home, u"--version"_s, {});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, u"ornvale-cli " ORNVALE_PROJECT_VERSION "\n"_s);
    QCOMPARE(result.err, QString());
}

void TestVersion::windowProgramAnswersWithoutDisplay_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("alone") << QStringList{u"--version"_s};
    QTest::newRow("after an ignored argument") << QStringList{u"drawing.dxf"_s, u"--version"_s};
}

// The xcb platform with no DISPLAY aborts as soon as a QApplication is made, so a clean exit
// shows that no window system was touched; an empty HOME shows that no setting was read or
// written and no single-instance lock was taken.
void TestVersion::windowProgramAnswersWithoutDisplay() {
    QFETCH(QStringList, args);
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    env.insert(u"HOME"_s, home.path());
    env.insert(u"XDG_CONFIG_HOME"_s, home.filePath(u"config"_s));
    env.insert(u"XDG_DATA_HOME"_s, home.filePath(u"data"_s));
    env.insert(u"XDG_RUNTIME_DIR"_s, home.filePath(u"runtime"_s));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ORNVALE_BINARY_DIR "/src/ornvale" ORNVALE_EXE_SUFFIX), args);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
             u"ornvale " ORNVALE_PROJECT_VERSION "\n"_s);
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

QTEST_GUILESS_MAIN(TestVersion)
#include "TestVersion.moc"
