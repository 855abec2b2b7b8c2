#include "AuditReportWindow.h"
#include "ConversionOptionsPanel.h"
#include "ConversionResultWindow.h"
#include "FileListPanel.h"
#include "JobRunner.h"
#include "MainWindow.h"
#include "ProcessList.h"
#include "ResultGrid.h"
#include "SimulatorMainWindow.h"
#include "StallWatch.h"
#include "TextWindow.h"
#include "WindowSwitcher.h"
#include "convert/JobFixture.h"
#include "mock/RecordingPrompter.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QListWidget>
#include <QLockFile>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

// The main window runs the whole job against the AutoCAD simulator.
class TestConversionJobWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void eachOutputFormat_data();
    void eachOutputFormat();
    void tenRowsWidenTheResultWindow();
    void switchingToTheTextWindowHidesResults();
    void emptyListAndNo();
    void missingExecutable();
    void clearDuringTheWaitThenASecondJob();
    void jobWhileAnotherHoldsTheLockIsRefused();
    void stallEndsAutoCADAndShowsWhatWasWritten();
    void droppedFolderWithNestedFolders();

private:
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }
    void setUpWindow(int selection);
    void drop(const QStringList& files, qsizetype listed = -1);
    void tick(const QString& name);
    void runJob();
    void killSimulators() const;
    bool simulatorRuns() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    std::unique_ptr<MainWindow> m_window;
};

void TestConversionJobWindow::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter.clear();
    for (const char* name : {"ACADSIM_SIZE", "ACADSIM_AUDIT_ERRORS", "ACADSIM_HANG",
                             "ACADSIM_ARGS_LOG", "ACADSIM_DELAY_MS"})
        qunsetenv(name);
    QVERIFY(writeFileBytes(path(u"src/a.dwg"_s), dwgBytes(10240)));
    QVERIFY(writeFileBytes(path(u"src/b.dxf"_s), dxfBytes(8192)));
}

void TestConversionJobWindow::cleanup() {
    m_window.reset();
    killSimulators();
}

void TestConversionJobWindow::setUpWindow(int selection) {
    m_window = simulatorMainWindow(m_prompter, m_dir->path(), selection);
}

void TestConversionJobWindow::drop(const QStringList& files, qsizetype listed) {
    QListWidget* list = m_window->findChild<QListWidget*>(u"List1"_s);
    QWidget* target = list->viewport();
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent dropEvent(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropEvent);
    QTRY_COMPARE(m_window->fileListPanel()->fileList().count(), listed < 0 ? files.size() : listed);
}

void TestConversionJobWindow::tick(const QString& name) {
    m_window->findChild<QCheckBox*>(name)->click();
}

// The job may be over before the click returns (a fast AutoCAD) or long after: only its end
// is waited for.
void TestConversionJobWindow::runJob() {
    m_window->startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->job()->isRunning(), 60000);
}

void TestConversionJobWindow::killSimulators() const {
    for (qint64 pid : test::processesOf(u"ornvale-acad-sim"_s, m_dir->path()))
        test::killProcess(pid);
}

bool TestConversionJobWindow::simulatorRuns() const {
    return !test::processesOf(u"ornvale-acad-sim"_s, m_dir->path()).isEmpty();
}

// Every product with both formats runs through the command line's job test; here one product
// per format shows the window's part: the controls while the job runs, and its results.
void TestConversionJobWindow::eachOutputFormat_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<bool>("dwg");
    QTest::newRow("AutoCAD 2007, DWG") << 41 << true;
    QTest::newRow("AutoCAD LT 2005, DXF") << 6 << false; // half-width audit summaries
}

void TestConversionJobWindow::eachOutputFormat() {
    QFETCH(int, selection);
    QFETCH(bool, dwg);
    qputenv("ACADSIM_SIZE", "a=5120;b=200%");
    qputenv("ACADSIM_AUDIT_ERRORS", "b=2");
    setUpWindow(selection);
    drop({path(u"src/a.dwg"_s), path(u"src/b.dxf"_s)});
    if (dwg)
        tick(u"Check2"_s);
    tick(u"Check20"_s); // keep reports; implies audit

    // The controls as the job has them once AutoCAD has started. A fast AutoCAD may be done
    // before the click returns, so they are looked at when the job reports its start.
    struct Running {
        bool seen = false;
        bool startEnabled = true;
        bool progressVisible = false;
        int progressMaximum = -1;
    } running;
    QObject whileRunning;
    connect(m_window->job(), &JobRunner::progress, &whileRunning, [&](int seen) {
        if (seen != 0 || running.seen)
            return;
        running = {true, m_window->startButton()->isEnabled(), m_window->jobProgress()->isVisible(),
                   m_window->jobProgress()->maximum()};
    });
    runJob();
    QVERIFY(running.seen);
    QVERIFY(!running.startEnabled);
    QVERIFY(running.progressVisible);
    QCOMPARE(running.progressMaximum, 2);
    QVERIFY2(m_prompter.messages().size() == 1, qPrintable(m_prompter.texts().join(u'|')));
    QVERIFY(m_window->startButton()->isEnabled());
    QVERIFY(!m_window->jobProgress()->isVisible());
    QCOMPARE(m_window->jobProgress()->value(), 2);

    ConversionResultWindow* results = m_window->resultWindow();
    QVERIFY(results->isVisible());
    QCOMPARE(results->windowTitle(), u"　　　変換結果"_s);
    QCOMPARE(results->width(), 6225 / 15);
    ResultGrid* grid = results->grid();
    QCOMPARE(grid->rowCount(), 1);
    const QStringList expected =
        dwg ? QStringList{u"1"_s, u"a.dwg"_s, u"10 KB"_s, u"5 KB"_s, u"50%"_s}
            : QStringList{u"2"_s, u"b.dxf"_s, u"8 KB"_s, u"16 KB"_s, u"200%"_s};
    for (int column = 0; column < 5; ++column)
        QCOMPARE(grid->cellText(0, column), expected[column]);
    QCOMPARE(grid->item(0, 4)->background().color(),
             dwg ? ResultGrid::lightCyan() : ResultGrid::lightRed());
    QCOMPARE(grid->item(0, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));

    AuditReportWindow* audit = m_window->auditWindow();
    QVERIFY(audit->isVisible());
    QCOMPARE(audit->objectName(), u"Form4"_s);
    QCOMPARE(audit->windowTitle(), u"  監査結果レポート"_s);
    ResultGrid* auditGrid = audit->grid();
    QCOMPARE(auditGrid->rowCount(), 2);
    QCOMPARE(auditGrid->cellText(0, 1), dwg ? u"a.dwg"_s : u"a.dxf"_s);
    QCOMPARE(auditGrid->cellText(0, 2), zeroSummaryOf(selection));
    QCOMPARE(auditGrid->item(0, 2)->background().style(), Qt::NoBrush);
    QCOMPARE(auditGrid->cellText(1, 2), zeroSummaryOf(selection, 2, 0));
    QCOMPARE(auditGrid->item(1, 2)->background().color(), ResultGrid::lightRed());
    QVERIFY(!QFile::exists(path(u"src/a.adt"_s)));
    QVERIFY(QFile::exists(path(u"src/b.adt"_s)));
}

void TestConversionJobWindow::tenRowsWidenTheResultWindow() {
    setUpWindow(41);
    QStringList files;
    for (int i = 0; i < 10; ++i) {
        files.append(path(u"src/d%1.dwg"_s.arg(i)));
        QVERIFY(writeFileBytes(files.last(), dwgBytes(2048)));
    }
    drop(files);
    tick(u"Check2"_s);
    runJob();
    QCOMPARE(m_window->resultWindow()->grid()->rowCount(), 10);
    QCOMPARE(m_window->resultWindow()->width(), 6480 / 15);
    QCOMPARE(m_window->resultWindow()->grid()->cellText(9, 4), u"100%"_s);
    QVERIFY(!m_window->auditWindow()->isVisible()); // audit off
}

void TestConversionJobWindow::switchingToTheTextWindowHidesResults() {
    setUpWindow(41);
    drop({path(u"src/a.dwg"_s)});
    tick(u"Check2"_s);  // DWG output: a row in the size comparison
    tick(u"Check18"_s); // audit
    runJob();
    QVERIFY2(m_window->resultWindow()->isVisible(), qPrintable(m_prompter.texts().join(u'|')));
    QVERIFY(m_window->auditWindow()->isVisible());
    WindowSwitcher switcher(*m_window, m_prompter);
    m_window->findChild<QPushButton*>(u"Command2"_s)->click(); // "TEXT変換"
    QVERIFY(switcher.textWindow() && switcher.textWindow()->isVisible());
    QVERIFY(!m_window->resultWindow()->isVisible());
    QVERIFY(!m_window->auditWindow()->isVisible());
}

void TestConversionJobWindow::emptyListAndNo() {
    qputenv("ACADSIM_ARGS_LOG", path(u"args.json"_s).toLocal8Bit());
    setUpWindow(17);
    m_window->startButton()->click();
    QCOMPARE(m_prompter.texts(), QStringList{u"ファイルを選択して下さい。"_s});

    drop({path(u"src/a.dwg"_s)});
    m_prompter.clear();
    m_prompter.queueAnswer(false);
    m_window->startButton()->click();
    QCOMPARE(m_prompter.messages().size(), 1);
    QCOMPARE(
        m_prompter.messages()[0].text,
        u"\r\n変換しますか？\r\n\r\n変換されたファイルは、デスクトップ上の「Ornvale」フォルダに格納されます。\r\n\r\n"_s);
    QVERIFY(!m_window->job()->isRunning());
    QVERIFY(!QFile::exists(path(u"windows/scriptC.scr"_s)));
    QVERIFY(!QFile::exists(path(u"args.json"_s)));
}

void TestConversionJobWindow::missingExecutable() {
    setUpWindow(17);
    m_window->runValues().autocadExePath = path(u"nowhere/acad.exe"_s);
    drop({path(u"src/a.dwg"_s)});
    m_window->startButton()->click();
    QVERIFY(!m_window->job()->isRunning());
    QCOMPARE(m_prompter.messages().last().text, u"　AutoCADを起動できません！　　　"_s);
    QCOMPARE(m_prompter.messages().last().kind, RecordingPrompter::Kind::WarnRetry);
    QVERIFY(QFile::exists(path(u"windows/scriptC.scr"_s)));
    QVERIFY(!m_window->resultWindow()->isVisible());
    QVERIFY(m_window->startButton()->isEnabled());
}

// Clear gives up the wait and ends the AutoCAD the job started; the job is over only once that
// is gone, and the next job then runs normally.
void TestConversionJobWindow::clearDuringTheWaitThenASecondJob() {
    qputenv("ACADSIM_HANG", "a");
    setUpWindow(41);
    drop({path(u"src/a.dwg"_s)});
    tick(u"Check2"_s);
    m_window->startButton()->click();
    QVERIFY(m_window->job()->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(simulatorRuns(), 20000);
    m_prompter.queueAnswer(false); // not the rest: the next job is a new one
    m_window->findChild<QPushButton*>(u"LISTClear"_s)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->job()->isRunning(), 20000);
    QVERIFY(!simulatorRuns());
    QCOMPARE(m_prompter.messages().size(), 3);
    QCOMPARE(m_prompter.messages()[1].text,
             u"　無効または不完全なAutoCADファイルが含まれていた可能性があります！　　　"_s);
    QCOMPARE(m_prompter.messages()[2].kind, RecordingPrompter::Kind::AskYesNo);
    QVERIFY(!m_window->resultWindow()->isVisible());
    QVERIFY(m_window->startButton()->isEnabled());

    qunsetenv("ACADSIM_HANG");
    m_prompter.clear();
    drop({path(u"src/a.dwg"_s)});
    runJob();
    QCOMPARE(m_prompter.messages().size(), 1); // the confirmation only
    QVERIFY(m_window->resultWindow()->isVisible());
    QCOMPARE(m_window->resultWindow()->grid()->cellText(0, 1), u"a.dwg"_s);
    m_window->findChild<QPushButton*>(u"LISTClear"_s)->click();
    QVERIFY(!m_window->resultWindow()->isVisible());
}

// Another job (a command line's, here the test's own lock) holds the conversion lock: the
// window's job is refused before it writes a script or starts AutoCAD, and runs once it is free.
void TestConversionJobWindow::jobWhileAnotherHoldsTheLockIsRefused() {
    qputenv("ACADSIM_ARGS_LOG", path(u"args.json"_s).toLocal8Bit());
    setUpWindow(41);
    QLockFile other(JobRunner::lockPathIn(m_window->runValues().windowsDirectory));
    QVERIFY(other.tryLock(0));
    drop({path(u"src/a.dwg"_s)});
    tick(u"Check2"_s);
    m_window->startButton()->click();
    QVERIFY(!m_window->job()->isRunning());
    QCOMPARE(m_prompter.messages().last().text,
             u"　他の変換を実行中です。その変換が終わってから、もう一度実行して下さい。　　　"_s);
    QVERIFY(!QFile::exists(path(u"windows/scriptC.scr"_s)));
    QVERIFY(!QFile::exists(path(u"args.json"_s)));
    QVERIFY(m_window->startButton()->isEnabled());

    other.unlock();
    runJob();
    QVERIFY(m_window->resultWindow()->isVisible());
    qunsetenv("ACADSIM_ARGS_LOG");
}

// AutoCAD writes a and b, then hangs on c. The test passes the stall limit itself once both
// outputs are seen, instead of waiting the minutes: the job ends the AutoCAD it started, names
// c, and shows the row of what was written (b, saved in the other format, has none) and the
// audits of a and b.
void TestConversionJobWindow::stallEndsAutoCADAndShowsWhatWasWritten() {
    qputenv("ACADSIM_HANG", "c");
    QVERIFY(writeFileBytes(path(u"src/c.dwg"_s), dwgBytes(4096)));
    setUpWindow(41);
    m_window->runValues().stallMinutes = 2; // as the settings window's OK sets it
    drop({path(u"src/a.dwg"_s), path(u"src/b.dxf"_s), path(u"src/c.dwg"_s)});
    tick(u"Check2"_s);  // DWG
    tick(u"Check18"_s); // audit
    m_window->startButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->jobProgress()->value(), 2, 20000);
    auto* watch = m_window->job()->findChild<StallWatch*>(u"StallWatch"_s);
    QVERIFY(watch);
    QCOMPARE(watch->currentLimitMs(), 2 * 60 * 1000);
    QVERIFY(m_window->job()->isRunning());
    m_prompter.queueAnswer(false); // not the rest yet
    watch->expire();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->job()->isRunning(), 20000);
    QVERIFY(!simulatorRuns());
    // The stall's box, then the offer to convert the drawing left.
    const auto& messages = m_prompter.messages();
    QVERIFY(messages.size() >= 2);
    QCOMPARE(messages.last().kind, RecordingPrompter::Kind::AskYesNo);
    QCOMPARE(messages.last().text,
             u"未変換の図面だけを変換しますか？\r\n\r\n（未変換の図面は 1 件です）"_s);
    const auto& stall = messages.at(messages.size() - 2);
    QCOMPARE(stall.kind, RecordingPrompter::Kind::WarnRetry);
    QCOMPARE(stall.title, u"確認"_s);
    QCOMPARE(
        stall.text,
        u"　2分間、次の図面が出力されないため、AutoCADを終了して変換を中止しました。　　　\r\n"_s +
            path(u"src/c.dwg"_s));
    QVERIFY(m_window->resultWindow()->isVisible());
    ResultGrid* grid = m_window->resultWindow()->grid();
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->cellText(0, 0), u"1"_s);
    QCOMPARE(grid->cellText(0, 1), u"a.dwg"_s);
    QCOMPARE(grid->cellText(0, 4), u"100%"_s);
    QVERIFY(m_window->auditWindow()->isVisible());
    ResultGrid* audits = m_window->auditWindow()->grid();
    QCOMPARE(audits->rowCount(), 2);
    QCOMPARE(audits->cellText(1, 0), u"2"_s);
    QCOMPARE(audits->cellText(1, 2), zeroSummaryOf(41));
    QVERIFY(m_window->startButton()->isEnabled());
    QVERIFY(!watch->isActive());

    // The next job, without the fault, is watched afresh and completes.
    qunsetenv("ACADSIM_HANG");
    m_prompter.clear();
    runJob();
    QCOMPARE(m_prompter.messages().size(), 1); // the confirmation only
    QCOMPARE(m_window->resultWindow()->grid()->rowCount(), 2);
}

// A folder with subfolders, dropped with a file: its drawings in path order, its other files
// left out, and the job converts them all.
void TestConversionJobWindow::droppedFolderWithNestedFolders() {
    setUpWindow(41);
    QVERIFY(writeFileBytes(path(u"tree/b/x.dwg"_s), dwgBytes(2048)));
    QVERIFY(writeFileBytes(path(u"tree/a.dxf"_s), dxfBytes(2048)));
    QVERIFY(writeFileBytes(path(u"tree/a/deeper/z.dwg"_s), dwgBytes(3072)));
    QVERIFY(writeFileBytes(path(u"tree/a/notes.txt"_s), "notes"));
    QVERIFY(QDir().mkpath(path(u"tree/empty"_s)));
    drop({path(u"tree"_s), path(u"src/b.dxf"_s)}, 4);
    QCOMPARE(m_window->findChild<QListWidget*>(u"List3"_s)->count(), 4);
    const QList<FileEntry>& entries = m_window->fileListPanel()->fileList().entries();
    QCOMPARE(entries[0].sourcePath, path(u"tree/a/deeper/z.dwg"_s));
    QCOMPARE(entries[1].sourcePath, path(u"tree/a.dxf"_s));
    QCOMPARE(entries[2].sourcePath, path(u"tree/b/x.dwg"_s));
    QCOMPARE(entries[3].sourcePath, path(u"src/b.dxf"_s));
    QVERIFY(m_prompter.messages().isEmpty());
    tick(u"Check2"_s); // DWG
    runJob();
    QCOMPARE(m_prompter.messages().size(), 1);
    for (const QString& name : {u"z.dwg"_s, u"a.dwg"_s, u"x.dwg"_s, u"b.dwg"_s})
        QVERIFY2(QFile::exists(path(u"desktop/Ornvale/"_s + name)), qPrintable(name));
    QCOMPARE(m_window->resultWindow()->grid()->rowCount(), 2); // the DWG sources
}

QTEST_MAIN(TestConversionJobWindow)
#include "TestConversionJobWindow.moc"
