#include "ResumePlan.h"
#include "convert/JobFixture.h"

#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

// Which drawings a stopped job left, and the job that converts only those.
class TestResumePlan : public QObject {
    Q_OBJECT
private slots:
    void init();
    void afterAJobOnlyItsGoodOutputsCount();
    void fromDiskOnlyNewerGoodOutputsCount();
    void theJobLeftKeepsNumbersAndOptions();
    void question();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void add(const QString& name);
    void setTime(const QString& file, const QDateTime& time) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    JobInputs m_job;
    QList<ScriptTarget> m_targets;
};

void TestResumePlan::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_job = JobInputs();
    m_job.script.selectionCode = 41;
    m_job.script.options.outputFormat = OutputFormat::Dwg;
    m_job.script.options.dwgVersionIndex = 2; // 2000: AC1015
    m_job.script.outputFolder = path(u"out"_s);
    m_job.executable = u"acad"_s;
    m_targets.clear();
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s})
        add(name);
}

void TestResumePlan::add(const QString& name) {
    const QString source = path(u"src/"_s + name + u".dwg"_s);
    QVERIFY(writeFileBytes(source, dwgBytes(100, "AC1009")));
    m_job.script.files.append({u" "_s + name + u".dwg"_s, source});
    m_targets.append({name + u".dwg"_s, path(u"out/"_s + name + u".dwg"_s), true});
}

void TestResumePlan::setTime(const QString& file, const QDateTime& time) const {
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
}

// a good; b of another release; c empty; d older than the job; e never written.
void TestResumePlan::afterAJobOnlyItsGoodOutputsCount() {
    const QDateTime start = QDateTime::currentDateTime();
    QVERIFY(writeFileBytes(m_targets[0].targetPath, dwgBytes(100, "AC1015")));
    QVERIFY(writeFileBytes(m_targets[1].targetPath, dwgBytes(100, "AC1018")));
    QVERIFY(writeFileBytes(m_targets[2].targetPath, QByteArray()));
    QVERIFY(writeFileBytes(m_targets[3].targetPath, dwgBytes(100, "AC1015")));
    setTime(m_targets[3].targetPath, start.addSecs(-60));

    const ResumePlan plan = ResumePlan::afterJob(m_job, m_targets, start);
    QCOMPARE(plan.total(), 5);
    QCOMPARE(plan.left(), (QList<qsizetype>{1, 2, 3, 4}));
    QCOMPARE(plan.kept().size(), 1);
    QCOMPARE(plan.kept()[0].output, m_targets[0].targetPath);
    QVERIFY(plan.kept()[0].kept);
    QVERIFY(plan.kept()[0].versionOk);

    // No targets at all (the script was never written): everything is left.
    QCOMPARE(ResumePlan::afterJob(m_job, {}, start).left().size(), 5);
}

// On disk, an output counts when it is newer than its drawing: an old one is converted again
// even though it passes the check.
void TestResumePlan::fromDiskOnlyNewerGoodOutputsCount() {
    const QDateTime now = QDateTime::currentDateTime();
    for (const ScriptTarget& target : std::as_const(m_targets))
        QVERIFY(writeFileBytes(target.targetPath, dwgBytes(100, "AC1015")));
    for (const FileEntry& file : std::as_const(m_job.script.files))
        setTime(file.sourcePath, now.addSecs(-600));
    setTime(m_job.script.files[1].sourcePath, now.addSecs(60)); // b changed after its output
    QVERIFY(writeFileBytes(m_targets[2].targetPath, dwgBytes(100, "AC1021")));
    QVERIFY(QFile::remove(m_targets[4].targetPath));

    const ResumePlan plan = ResumePlan::fromOutputs(m_job, m_targets);
    QCOMPARE(plan.left(), (QList<qsizetype>{1, 2, 4}));
    QCOMPARE(plan.kept().size(), 2);
    QCOMPARE(plan.kept()[1].number, 4);
}

// The drawings left keep their numbers through a second stop and through the rows of the job.
void TestResumePlan::theJobLeftKeepsNumbersAndOptions() {
    QVERIFY(writeFileBytes(m_targets[0].targetPath, dwgBytes(100, "AC1015")));
    QVERIFY(writeFileBytes(m_targets[2].targetPath, dwgBytes(100, "AC1015")));
    const QDateTime start = QDateTime::currentDateTime().addSecs(-5);
    const JobInputs rest = ResumePlan::afterJob(m_job, m_targets, start).inputsLeft(m_job);
    QCOMPARE(rest.script.files.size(), 3);
    QCOMPARE(rest.script.files[1].sourcePath, m_job.script.files[3].sourcePath);
    QCOMPARE(rest.numbers, (QList<int>{2, 4, 5}));
    QCOMPARE(rest.executable, m_job.executable);
    QCOMPARE(rest.script.options.dwgVersionIndex, 2);
    QCOMPARE(rest.script.outputFolder, m_job.script.outputFolder);

    // That job stops too, having written d only: e is left, still number 5.
    const QList<ScriptTarget> restTargets{m_targets[1], m_targets[3], m_targets[4]};
    QVERIFY(writeFileBytes(m_targets[3].targetPath, dwgBytes(100, "AC1015")));
    const JobInputs last = ResumePlan::afterJob(rest, restTargets, start).inputsLeft(rest);
    QCOMPARE(last.numbers, (QList<int>{2, 5}));

    JobOutcome outcome;
    outcome.conversions.resize(2);
    outcome.outputs.resize(2);
    outcome.audits.resize(1);
    for (int i = 0; i < 2; ++i) {
        outcome.conversions[i].number = i + 1;
        outcome.outputs[i].number = i + 1;
    }
    outcome.audits[0].number = 2;
    ResumePlan::renumber(outcome, last.numbers);
    QCOMPARE(outcome.conversions[0].number, 2);
    QCOMPARE(outcome.conversions[1].number, 5);
    QCOMPARE(outcome.audits[0].number, 5);
    QCOMPARE(outcome.outputs[1].number, 5);
}

void TestResumePlan::question() {
    QCOMPARE(ResumePlan::question(3),
             u"未変換の図面だけを変換しますか？\r\n\r\n（未変換の図面は 3 件です）"_s);
}

QTEST_GUILESS_MAIN(TestResumePlan)
#include "TestResumePlan.moc"
