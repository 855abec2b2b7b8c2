#include "JobSettingsFile.h"
#include "SaveSettings.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "Startup.h"
#include "mock/FakeFileSystemProbe.h"
#include "mock/FakeFolderRoles.h"
#include "mock/RecordingPrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

// The settings that have no room in reziz.ini: the stall limit, in a file of its own.
class TestJobSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void parse_data();
    void parse();
    void startupReadsItAndWarnsAboutGarbage_data();
    void startupReadsItAndWarnsAboutGarbage();
    void endWritesItAndLeavesRezizAlone();
    void endTellsWhenItCannotBeWritten();

private:
    QString jobFile() const { return JobSettingsFile::path(m_dir->path()); }
    void writeJobFile(const QByteArray& bytes) const;
    QByteArray readAll(const QString& path) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeFolderRoles m_folders;
    FakeFileSystemProbe m_files;
    RecordingPrompter m_prompter;
};

void TestJobSettingsFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folders = FakeFolderRoles();
    m_folders.windows = m_dir->path();
    m_folders.appData = m_dir->filePath(u"data"_s);
    m_folders.desktop = m_dir->filePath(u"Desktop"_s);
    m_prompter.clear();
}

void TestJobSettingsFile::writeJobFile(const QByteArray& bytes) const {
    QFile file(jobFile());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray TestJobSettingsFile::readAll(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void TestJobSettingsFile::parse_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<bool>("problem");
    QTest::newRow("as written") << QByteArray("StallMinutes=15\r\n") << 15 << false;
    QTest::newRow("LF, blanks, comments, unknown names")
        << QByteArray("; job\n# x\n\n  StallMinutes = 7 \nColour=blue\n") << 7 << false;
    QTest::newRow("zero") << QByteArray("StallMinutes=0") << 0 << false;
    QTest::newRow("the largest") << QByteArray("StallMinutes=999") << 999 << false;
    QTest::newRow("too large") << QByteArray("StallMinutes=1000") << 0 << true;
    QTest::newRow("negative") << QByteArray("StallMinutes=-1") << 0 << true;
    QTest::newRow("not whole") << QByteArray("StallMinutes=1.5") << 0 << true;
    QTest::newRow("empty value") << QByteArray("StallMinutes=") << 0 << true;
    QTest::newRow("no value line") << QByteArray("; nothing\r\n") << 0 << true;
    QTest::newRow("empty file") << QByteArray() << 0 << true;
    QTest::newRow("binary") << QByteArray("\x01\xff\x00garbage", 11) << 0 << true;
    QTest::newRow("name in another case") << QByteArray("stallminutes=5") << 0 << true;
}

void TestJobSettingsFile::parse() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, minutes);
    QFETCH(bool, problem);
    const JobSettingsFile::Values values = JobSettingsFile::parse(bytes);
    QCOMPARE(values.stallMinutes, minutes);
    QCOMPARE(!values.problem.isEmpty(), problem);
}

void TestJobSettingsFile::startupReadsItAndWarnsAboutGarbage_data() {
    QTest::addColumn<QByteArray>("bytes"); // "-" for no file, "/" for a folder in its place
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("warning");
    QTest::newRow("no file") << QByteArray("-") << 0 << QString();
    QTest::newRow("a value") << QByteArray("StallMinutes=12\r\n") << 12 << QString();
    QTest::newRow("garbage")
        << QByteArray("StallMinutes=soon") << 0
        << u"待ち時間の設定「soon」は 0 から 999 までの分数ではないため、待ち時間なし（0）として"
           u"読みました。"_s;
    QTest::newRow("a folder")
        << QByteArray("/") << 0
        << u"通常のファイルではないため、待ち時間なし（0）として読みました。"_s;
}

// Garbage reads as no limit, with a message naming the file; the window shows the value.
void TestJobSettingsFile::startupReadsItAndWarnsAboutGarbage() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, minutes);
    QFETCH(QString, warning);
    if (bytes == "/")
        QVERIFY(QDir().mkdir(jobFile()));
    else if (bytes != "-")
        writeJobFile(bytes);
    const StartupResult result = runStartup(m_folders, m_files, m_prompter);
    QCOMPARE(result.runValues.stallMinutes, minutes);
    QCOMPARE(result.settingsWindow.stallMinutes, minutes);
    QStringList expected;
    if (!warning.isEmpty())
        expected.append(jobFile() + u" は、 \r\n\r\n"_s + warning);
    QStringList shown = m_prompter.texts();
    shown.removeIf([](const QString& text) { return text.startsWith(u"AutoCADのﾊﾞｰｼﾞｮﾝ"); });
    QCOMPARE(shown, expected);
}

// END writes the limit beside reziz.ini, whose bytes stay those the record always had; with
// no limit ever set, no second file appears.
void TestJobSettingsFile::endWritesItAndLeavesRezizAlone() {
    SettingsRecord record;
    record.savedSelection = 16;
    record.outputFolderPath = u"/out"_s;
    QVERIFY(SettingsFile::write(m_dir->path(), record));
    RunValues values = runStartup(m_folders, m_files, m_prompter).runValues;
    const QByteArray before = readAll(SettingsFile::path(m_dir->path()));

    SaveSettingsResult saved = saveSettings(values, m_folders);
    QVERIFY(saved.written && saved.jobFileWritten);
    QVERIFY(!QFile::exists(jobFile()));

    values.stallMinutes = 25;
    saved = saveSettings(values, m_folders);
    QVERIFY(saved.jobFileWritten);
    QCOMPARE(saved.jobFilePath, jobFile());
    QCOMPARE(readAll(jobFile()), QByteArray("StallMinutes=25\r\n"));
    QCOMPARE(readAll(SettingsFile::path(m_dir->path())), before);
    QCOMPARE(saveSettingsMessage(saved, values), std::nullopt);
    QCOMPARE(runStartup(m_folders, m_files, m_prompter).runValues.stallMinutes, 25);

    // Back to no limit: the file says so, rather than keeping the old value.
    values.stallMinutes = 0;
    saveSettings(values, m_folders);
    QCOMPARE(readAll(jobFile()), QByteArray("StallMinutes=0\r\n"));
    QCOMPARE(readAll(SettingsFile::path(m_dir->path())), before);
}

void TestJobSettingsFile::endTellsWhenItCannotBeWritten() {
    RunValues values = runStartup(m_folders, m_files, m_prompter).runValues;
    QVERIFY(QDir().mkdir(jobFile()));
    values.stallMinutes = 3;
    const SaveSettingsResult saved = saveSettings(values, m_folders);
    QVERIFY(saved.written);
    QVERIFY(!saved.jobFileWritten);
    QCOMPARE(saveSettingsMessage(saved, values),
             jobFile() +
                 u" は、 \r\n\r\n設定を保存できませんでした。今回変更した設定は失われます。"_s);
}

QTEST_GUILESS_MAIN(TestJobSettingsFile)
#include "TestJobSettingsFile.moc"
