#include "TextJob.h"
#include "dxf/DxfFixtures.h"
#include "mock/RecordingPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;
using Status = TextFileOutcome::Status;

// Inputs that change between the intake and the run: each is reported by name, the batch goes
// on, and no output is left for it.
class TestTextJobFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void changedInputsAreReportedAndTheBatchGoesOn_data();
    void changedInputsAreReportedAndTheBatchGoesOn();
    void unreadableInputIsReportedAndTheBatchGoesOn();

private:
    QString makeInput(const QString& name);
    void runAround(const QString& changed, const std::function<void()>& change);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_good;
    QString m_goodOutput;
};

void TestTextJobFaults::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_good = makeInput(u"good.dxf"_s);
    m_goodOutput = m_dir->filePath(u"good-T.dxf"_s);
}

QString TestTextJobFaults::makeInput(const QString& name) {
    const QString path = m_dir->filePath(name);
    writeFile(path, drawing({textEntity("abc"), mtextEntity("def")}));
    return path;
}

// Takes the changed file and a good one, changes the first, runs with upper case.
void TestTextJobFaults::runAround(const QString& changed, const std::function<void()>& change) {
    RecordingPrompter prompter;
    TextJob job(41, prompter);
    job.take({changed, m_good});
    QCOMPARE(job.outcomes().at(0).status, Status::Pending);
    QVERIFY(!job.allConverted());
    QVERIFY(prompter.messages().isEmpty());
    change();

    TextOptions options;
    options.caseConversion = CaseConversion::ToUpper;
    job.run(options);
    const TextFileOutcome& failed = job.outcomes().at(0);
    QCOMPARE(failed.status, Status::Failed);
    QVERIFY(failed.output.isEmpty());
    QVERIFY(!QFile::exists(m_dir->filePath(QFileInfo(changed).completeBaseName() + u"-T.dxf"_s)));
    QCOMPARE(prompter.messages().size(), 1);
    QVERIFY2(prompter.messages().first().text.contains(changed),
             qPrintable(prompter.messages().first().text));

    QCOMPARE(job.outcomes().at(1).status, Status::Converted);
    const QByteArray output = readFile(m_goodOutput);
    QVERIFY(output.contains("\r\nABC\r\n") && output.contains("\r\nDEF\r\n"));
    QVERIFY(!output.contains("\r\nabc\r\n"));
    QCOMPARE(job.failedCount(), 1);
    QVERIFY(!job.allConverted());
}

void TestTextJobFaults::changedInputsAreReportedAndTheBatchGoesOn_data() {
    QTest::addColumn<QByteArray>("shrunkTo"); // empty: the file is removed
    QTest::addColumn<bool>("remove");
    QTest::newRow("vanished") << QByteArray() << true;
    QTest::newRow("shrunk to nothing") << QByteArray() << false;
    QTest::newRow("shrunk to three lines") << QByteArray("  0\r\nSECTION\r\n  2\r\n") << false;
    QTest::newRow("shrunk to its header") << joinLines(headerLines("AC1018") + fileEnd()) << false;
}

void TestTextJobFaults::changedInputsAreReportedAndTheBatchGoesOn() {
    QFETCH(QByteArray, shrunkTo);
    QFETCH(bool, remove);
    const QString changed = makeInput(u"changed.dxf"_s);
    runAround(changed, [&] {
        if (remove)
            QVERIFY(QFile::remove(changed));
        else
            QVERIFY(writeFile(changed, shrunkTo));
    });
}

void TestTextJobFaults::unreadableInputIsReportedAndTheBatchGoesOn() {
#ifdef Q_OS_WIN
    QSKIP("read permission is not taken away with permission bits there");
#else
    if (::geteuid() == 0)
        QSKIP("runs as root, which reads a file without read permission");
#endif
    const QString changed = makeInput(u"locked.dxf"_s);
    runAround(changed, [&] { QVERIFY(QFile::setPermissions(changed, QFile::WriteOwner)); });
    QFile::setPermissions(changed, QFile::ReadOwner | QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestTextJobFaults)
#include "TestTextJobFaults.moc"
