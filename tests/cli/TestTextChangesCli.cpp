#include "CliProcess.h"
#include "dxf/DxfFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale::test;
using namespace Qt::StringLiterals;

// `ornvale-cli text --dry-run` and `--changes`, run as the real program.
class TestTextChangesCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void dryRunWritesNothingAndReportsAsARealRun();
    void jsonLinesHoldTheSameRows();
    void reportFileProblems();

private:
    CliRun run(const QStringList& args) { return runCli(*m_home, u"text"_s, args); }
    QString path(const QString& name) const { return m_home->filePath(name); }
    // The drawings of both encodings in a folder of their own.
    QStringList drawings();
    QStringList folderListing() const;

    std::unique_ptr<QTemporaryDir> m_home;
};

namespace {

// Changes values of both fixtures: their TEXT and MTEXT values hold "abc".
const QStringList kChangingOptions{u"--selection"_s, u"41"_s,    u"--search"_s, u"abc"_s,
                                   u"--replace"_s,   u"q,\"r"_s, u"--case"_s,   u"upper"_s};

} // namespace

void TestTextChangesCli::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    QVERIFY(QDir(m_home->path()).mkdir(u"work"_s));
}

QStringList TestTextChangesCli::drawings() {
    const QString data = QStringLiteral(ORNVALE_TEST_DATA "/text/");
    QFile::copy(data + u"text_r2000.dxf"_s, path(u"work/a.dxf"_s));
    QFile::copy(data + u"text_r2007.dxf"_s, path(u"work/b.dxf"_s));
    return {path(u"work/a.dxf"_s), path(u"work/b.dxf"_s)};
}

// Names, sizes and contents of every file in the work folder.
QStringList TestTextChangesCli::folderListing() const {
    QStringList listing;
    const QDir work(path(u"work"_s));
    for (const QFileInfo& info : work.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name))
        listing.append(info.fileName() + u' ' + QString::number(info.size()) + u' ' +
                       QString::fromLatin1(readFile(info.filePath()).toHex().left(64)));
    return listing;
}

void TestTextChangesCli::dryRunWritesNothingAndReportsAsARealRun() {
    const QStringList files = drawings();
    const QStringList before = folderListing();
    const CliRun dry =
        run(kChangingOptions +
            QStringList{u"--dry-run"_s, u"--json"_s, u"--changes"_s, path(u"dry.csv"_s)} + files);
    QCOMPARE(dry.exitCode, 0);
    QCOMPARE(folderListing(), before);

    const CliRun real = run(kChangingOptions +
                            QStringList{u"--json"_s, u"--changes"_s, path(u"real.csv"_s)} + files);
    QCOMPARE(real.exitCode, 0);
    QCOMPARE(dry.outBytes, real.outBytes); // outcomes with their outputs, and the counters
    QVERIFY(real.outBytes.contains("\"status\":\"converted\""));
    QVERIFY(!real.outBytes.contains("\"replacedCount\":0,"));
    QCOMPARE(folderListing().size(), before.size() + 2);

    const QByteArray report = readFile(path(u"real.csv"_s));
    QCOMPARE(readFile(path(u"dry.csv"_s)), report);
    QVERIFY(report.startsWith("\xEF\xBB\xBF"
                              "file,line,entity,handle,layer,before,after\r\n"));
    // The replacement's comma and quote are quoted; both files and both kinds have rows.
    QVERIFY2(report.contains(",TEXT,") && report.contains(",MTEXT,"), report.constData());
    QVERIFY(report.contains(files[0].toUtf8() + ',') && report.contains(files[1].toUtf8() + ','));
    QVERIFY(report.contains("\"Q,\"\"R\""));
}

void TestTextChangesCli::jsonLinesHoldTheSameRows() {
    const QStringList files = drawings();
    QCOMPARE(run(kChangingOptions + QStringList{u"--changes"_s, path(u"r.csv"_s)} + files).exitCode,
             0);
    QCOMPARE(run(kChangingOptions + QStringList{u"--dry-run"_s, u"--changes=r.jsonl"_s} + files)
                 .exitCode,
             0);
    const QByteArrayList csvRows = readFile(path(u"r.csv"_s)).split('\n');
    QByteArrayList lines = readFile(path(u"r.jsonl"_s)).split('\n');
    QVERIFY(lines.takeLast().isEmpty());
    QVERIFY(!lines.isEmpty());
    // Header and final line end aside, a CSV row per JSON line (no value here holds a line break).
    QCOMPARE(lines.size(), csvRows.size() - 2);
    for (const QByteArray& line : std::as_const(lines)) {
        QJsonParseError error;
        const QJsonObject row = QJsonDocument::fromJson(line, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QVERIFY(files.contains(row[u"file"_s].toString()));
        QVERIFY(row[u"line"_s].toInteger() > 0);
        QVERIFY(row[u"entity"_s] == u"TEXT"_s || row[u"entity"_s] == u"MTEXT"_s);
        QVERIFY(row[u"before"_s].toString() != row[u"after"_s].toString());
        QVERIFY(row[u"after"_s].toString().contains(u"Q,\"R"_s));
    }
}

void TestTextChangesCli::reportFileProblems() {
    const QStringList files = drawings();
    const CliRun wrongName =
        run(kChangingOptions + QStringList{u"--changes"_s, u"r.txt"_s} + files);
    QCOMPARE(wrongName.exitCode, 2);
    QVERIFY2(wrongName.err.contains(
                 u"Option '--changes' needs a file name ending in .csv or .jsonl: r.txt."_s),
             qPrintable(wrongName.err));

    const QString unwritable = path(u"missing/r.csv"_s);
    const CliRun failed = run(kChangingOptions + QStringList{u"--changes"_s, unwritable} + files);
    QCOMPARE(failed.exitCode, 1);
    QVERIFY2(failed.err.contains(u"cannot write the change report "_s + unwritable),
             qPrintable(failed.err));
    QVERIFY(!QFile::exists(path(u"work/a-T.dxf"_s)));
}

QTEST_GUILESS_MAIN(TestTextChangesCli)
#include "TestTextChangesCli.moc"
