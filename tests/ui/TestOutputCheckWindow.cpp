#include "ConversionOptionsPanel.h"
#include "ConversionResultWindow.h"
#include "Cp932Codec.h"
#include "FileListPanel.h"
#include "JobRunner.h"
#include "MainWindow.h"
#include "ProcessList.h"
#include "ResultGrid.h"
#include "SimulatorMainWindow.h"
#include "convert/JobFixture.h"
#include "mock/RecordingPrompter.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

// The main window reads every output back after a job, and after a job that stopped offers
// to convert only what is left; against the AutoCAD simulator and its faults.
class TestOutputCheckWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void wrongReleaseAndCutOutputsAreFlagged();
    void afterClearOnlyTheRestIsConverted_data();
    void afterClearOnlyTheRestIsConverted();
    void afterAMissingOutputItIsConvertedAgain();

private:
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }
    void setUpWindow(int selection);
    void drop(const QStringList& files);
    void runJob();
    QStringList openedByScript() const;
    bool simulatorRuns() const {
        return !processesOf(u"ornvale-acad-sim"_s, m_dir->path()).isEmpty();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingPrompter m_prompter;
    std::unique_ptr<MainWindow> m_window;
};

void TestOutputCheckWindow::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_prompter.clear();
    for (const char* name :
         {"ACADSIM_WRONG_RELEASE", "ACADSIM_TRUNCATE", "ACADSIM_HANG", "ACADSIM_NO_OUTPUT"})
        qunsetenv(name);
    for (const QString& name : {u"a.dwg"_s, u"b.dwg"_s, u"c.dwg"_s})
        QVERIFY(writeFileBytes(path(u"src/"_s + name), dwgBytes(10240)));
    QVERIFY(writeFileBytes(path(u"src/d.dxf"_s), dxfBytes(8192)));
}

void TestOutputCheckWindow::cleanup() {
    m_window.reset();
    for (qint64 pid : processesOf(u"ornvale-acad-sim"_s, m_dir->path()))
        killProcess(pid);
}

void TestOutputCheckWindow::setUpWindow(int selection) {
    m_window = simulatorMainWindow(m_prompter, m_dir->path(), selection);
}

void TestOutputCheckWindow::drop(const QStringList& files) {
    QWidget* target = m_window->findChild<QListWidget*>(u"List1"_s)->viewport();
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(path(u"src/"_s + file)));
    mime.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent dropEvent(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropEvent);
    QTRY_COMPARE(m_window->fileListPanel()->fileList().count(), files.size());
}

void TestOutputCheckWindow::runJob() {
    m_window->startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->job()->isRunning(), 30000);
}

// The drawings the last script opened, by file name.
QStringList TestOutputCheckWindow::openedByScript() const {
    QFile file(m_window->runValues().scriptPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = Cp932Codec::decode(file.readAll()).text.split(u"\r\n"_s);
    QStringList opened;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == u"open"_s)
            opened.append(QFileInfo(lines[i + 1].mid(1).chopped(1)).fileName());
    }
    return opened;
}

// DWG output of release 2004 (AutoCAD 2006): a is saved as 2000, d (a DXF: no grid row) is cut
// short. a's name cell is light red and says what was found; d is named in one message.
void TestOutputCheckWindow::wrongReleaseAndCutOutputsAreFlagged() {
    qputenv("ACADSIM_WRONG_RELEASE", "a=AC1015");
    qputenv("ACADSIM_TRUNCATE", "d");
    setUpWindow(17);
    drop({u"a.dwg"_s, u"b.dwg"_s, u"d.dxf"_s});
    m_window->findChild<QCheckBox*>(u"Check2"_s)->click();
    runJob();

    ResultGrid* grid = m_window->resultWindow()->grid();
    QVERIFY(m_window->resultWindow()->isVisible());
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->cellText(0, 1), u"a.dwg"_s);
    QCOMPARE(grid->item(0, 1)->background().color(), ResultGrid::lightRed());
    QCOMPARE(grid->item(0, 1)->toolTip(),
             u"出力ファイルのバージョンは AC1015 です（指定したリリースは AC1018）。"_s);
    QCOMPARE(grid->item(0, 4)->background().style(), Qt::NoBrush); // same size: no size mark
    QCOMPARE(grid->item(1, 1)->background().style(), Qt::NoBrush);
    QCOMPARE(grid->item(1, 1)->toolTip(), QString());

    QCOMPARE(m_prompter.messages().size(), 2); // the confirmation, then the list
    const RecordingPrompter::Message& list = m_prompter.messages()[1];
    QCOMPARE(list.kind, RecordingPrompter::Kind::Inform);
    QCOMPARE(list.title, u"確認"_s);
    QCOMPARE(list.text,
             u"次の図面の出力は、指定したリリースの完全な図面ではありません。\r\n\r\n"_s +
                 path(u"desktop/Ornvale/d.dwg"_s) + u"\r\n　出力ファイルが空です。"_s);
}

void TestOutputCheckWindow::afterClearOnlyTheRestIsConverted_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

// The simulator hangs on c: a and b are saved, Clear ends the wait. Yes converts c alone, as
// drawing 3, and leaves a and b as they are; No starts nothing.
void TestOutputCheckWindow::afterClearOnlyTheRestIsConverted() {
    QFETCH(bool, yes);
    qputenv("ACADSIM_HANG", "c");
    setUpWindow(41);
    drop({u"a.dwg"_s, u"b.dwg"_s, u"c.dwg"_s});
    m_window->findChild<QCheckBox*>(u"Check2"_s)->click();
    m_window->startButton()->click();
    const QString a = path(u"desktop/Ornvale/a.dwg"_s);
    const QString b = path(u"desktop/Ornvale/b.dwg"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(a) && QFile::exists(b) && simulatorRuns(), 20000);
    const QDateTime aWritten = QFileInfo(a).lastModified();
    qunsetenv("ACADSIM_HANG"); // the next simulator finishes
    m_prompter.queueAnswer(yes);
    m_window->findChild<QPushButton*>(u"LISTClear"_s)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->job()->isRunning(), 30000);

    QVERIFY(m_prompter.messages().size() >= 3);
    QCOMPARE(m_prompter.messages()[1].kind, RecordingPrompter::Kind::WarnRetry);
    QCOMPARE(m_prompter.messages()[2].kind, RecordingPrompter::Kind::AskYesNo);
    QCOMPARE(m_prompter.messages()[2].title, u"確認"_s);
    QCOMPARE(m_prompter.messages()[2].text,
             u"未変換の図面だけを変換しますか？\r\n\r\n（未変換の図面は 1 件です）"_s);
    QCOMPARE(m_prompter.messages().size(), 3); // nothing after the question
    const QString c = path(u"desktop/Ornvale/c.dwg"_s);
    if (!yes) {
        QVERIFY(!QFile::exists(c));
        QVERIFY(!m_window->resultWindow()->isVisible());
        return;
    }
    QCOMPARE(openedByScript(), QStringList{u"c.dwg"_s});
    QVERIFY(QFile::exists(c));
    QCOMPARE(QFileInfo(a).lastModified(), aWritten);
    ResultGrid* grid = m_window->resultWindow()->grid();
    QVERIFY(m_window->resultWindow()->isVisible());
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->cellText(0, 0), u"3"_s);
    QCOMPARE(grid->cellText(0, 1), u"c.dwg"_s);
    QVERIFY(m_window->startButton()->isEnabled());
}

// AutoCAD skips b's output: the job fails collecting the sizes. Yes converts b alone; when it
// fails again the question comes again, for b alone, and No ends it.
void TestOutputCheckWindow::afterAMissingOutputItIsConvertedAgain() {
    qputenv("ACADSIM_NO_OUTPUT", "b");
    setUpWindow(21);
    drop({u"a.dwg"_s, u"b.dwg"_s});
    m_window->findChild<QCheckBox*>(u"Check2"_s)->click();
    m_prompter.queueAnswer(true); // the confirmation
    m_prompter.queueAnswer(true); // the rest
    m_prompter.queueAnswer(false);
    runJob();

    const QString b = path(u"desktop/Ornvale/b.dwg"_s);
    const QString error = u"　エラーチェックNo = 2\r\n"_s + b;
    const QString question =
        u"未変換の図面だけを変換しますか？\r\n\r\n（未変換の図面は 1 件です）"_s;
    QCOMPARE(m_prompter.texts().mid(1), (QStringList{error, question, error, question}));
    QCOMPARE(openedByScript(), QStringList{u"b.dwg"_s});
    QVERIFY(!m_window->resultWindow()->isVisible());
}

QTEST_MAIN(TestOutputCheckWindow)
#include "TestOutputCheckWindow.moc"
