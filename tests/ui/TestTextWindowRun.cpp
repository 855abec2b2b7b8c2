// The text window's intake, its run over real DXF files, window switching and ending.
#include "MainWindow.h"
#include "SettingsFile.h"
#include "TextJob.h"
#include "TextWindowHarness.h"
#include "WindowSwitcher.h"
#include "mock/FakeFolderRoles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;

class TestTextWindowRun : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    ListWatchingPrompter m_prompter;
    std::unique_ptr<TextWindow> m_window;

    void open(quint8 selection) {
        m_window = std::make_unique<TextWindow>(m_prompter, selection);
        m_prompter.list = names();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    QListWidget* names() const { return control<QListWidget>(*m_window, u"List1"_s); }
    QListWidget* paths() const { return control<QListWidget>(*m_window, u"List3"_s); }
    QString label(const QString& name) const { return control<QLabel>(*m_window, name)->text(); }
    QStringList counters() const {
        QStringList out;
        for (const QString& name : {u"Label3"_s, u"Label5"_s, u"Label13"_s, u"Label9"_s,
                                    u"Label11"_s, u"Label15"_s, u"Label16"_s})
            out.append(label(name));
        return out;
    }
    QString file(const QString& name, const QByteArray& bytes) {
        return writeFile(m_dir->path(), name, bytes);
    }
    QString fixture(const QString& fixtureName, const QString& name) {
        return copyFixture(m_dir->path(), fixtureName, name);
    }
    QString path(const QString& name) const {
        return QDir::toNativeSeparators(m_dir->filePath(name));
    }
    void pressStart() { control<QPushButton>(*m_window, u"STARTProg"_s)->click(); }

private slots:
    void init();
    void cleanup();
    void intakeBySelection_data();
    void intakeBySelection();
    void intakeLimitSortAndRepeats();
    void droppedFolderBringsItsDxfFiles();
    void startRefusesOrAsks();
    void runRewritesEveryListedFile();
    void failedFileIsNamed();
    void closingDuringRunEndsWithoutPartialOutput();
    void switchingKeepsBothWindows();
};

void TestTextWindowRun::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompter.clear();
    m_prompter.rowsAtMessage.clear();
}

void TestTextWindowRun::cleanup() {
    m_prompter.list = nullptr;
    m_window.reset();
}

// Names differing only in letter case are one file on Windows.
#ifdef Q_OS_WIN
const QString kLowerPlan = u"plan2.dxf"_s;
#else
const QString kLowerPlan = u"plan.dxf"_s;
#endif

void TestTextWindowRun::intakeBySelection_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("incompatible"); // besides the broken headers
    const QStringList all{u" PLAN.DXF"_s, u" r2007.dxf"_s, u" "_s + kLowerPlan};
    QTest::newRow("AutoCAD 2007") << 41 << all << QStringList{};
    QTest::newRow("AutoCAD LT 2007") << 21 << all << QStringList{};
    QTest::newRow("AutoCAD 2006") << 17 << QStringList{u" PLAN.DXF"_s, u" "_s + kLowerPlan}
                                  << QStringList{u"r2007.dxf"_s};
    QTest::newRow("AutoCAD LT 2002")
        << 4 << QStringList{u" PLAN.DXF"_s} << QStringList{u"r2007.dxf"_s, kLowerPlan};
    QTest::newRow("no AutoCAD") << 0 << QStringList{}
                                << QStringList{u"PLAN.DXF"_s, u"r2007.dxf"_s, kLowerPlan};
}

void TestTextWindowRun::intakeBySelection() {
    QFETCH(int, selection);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, incompatible);
    open(quint8(selection));
    const QByteArray foreign = dxfFile("AC1015").replace("  0\r\nSECTION", "0\r\nSECTION");
    const QStringList dropped{file(u"PLAN.DXF"_s, dxfFile("AC1015")),
                              file(u"old.dxf"_s, dxfFile("AC1014")),
                              file(u"mixed.Dxf"_s, dxfFile("AC1015")),
                              file(u"r2007.dxf"_s, dxfFile("AC1021")),
                              file(u"notes.txt"_s, "x"),
                              file(u"foreign.dxf"_s, foreign),
                              file(kLowerPlan, dxfFile("AC1018")),
                              file(u"blank.dxf"_s, dxfFile("AC1015 ")),
                              file(u"short.dxf"_s, "  0\r\nSECTION\r\n")};
    dropFiles(names(), dropped);

    const QString tooOld = u"変換できません。(変換可能ファイル：DXF2000バージョン以上)"_s;
    const QString foreignVersion = u"互換性のないバージョンで作成されています。"_s;
    QStringList expected;
    for (const QString& name : {u"PLAN.DXF"_s, u"old.dxf"_s, u"r2007.dxf"_s, u"foreign.dxf"_s,
                                kLowerPlan, u"blank.dxf"_s, u"short.dxf"_s}) {
        const bool valid = !name.startsWith(u"foreign") && !name.startsWith(u"blank") &&
                           !name.startsWith(u"short") && name != u"old.dxf"_s;
        if (name == u"old.dxf"_s)
            expected.append(path(name) + u" は、 \r\n\r\n"_s + tooOld);
        else if (!valid || incompatible.contains(name))
            expected.append(path(name) + u" は、 \r\n\r\n"_s + foreignVersion);
    }
    QCOMPARE(m_prompter.texts(), expected);
    for (const RecordingPrompter::Message& message : m_prompter.messages())
        QCOMPARE(message.title, u"確認"_s);
    // Every refusal is shown before the accepted files enter the list.
    QCOMPARE(m_prompter.rowsAtMessage, QList<int>(expected.size(), 0));
    QCOMPARE(rows(names()), listed);
    QCOMPARE(rows(paths()).size(), listed.size());
    for (int i = 0; i < listed.size(); ++i)
        QCOMPARE(paths()->item(i)->text(), path(listed.at(i).mid(1)));
    QCOMPARE(label(u"DATACount"_s), u" 00%1"_s.arg(listed.size()));
}

void TestTextWindowRun::intakeLimitSortAndRepeats() {
    open(41);
    const QString c = file(u"c.dxf"_s, dxfFile("AC1015"));
    // The same file may be listed as often as it is dropped.
    dropFiles(names(), QStringList(990, c));
    QCOMPARE(names()->count(), 990);
    QCOMPARE(label(u"DATACount"_s), u" 990"_s);

    // Ten more items would pass 999, even if some are not DXF files: nothing is taken.
    const QString notes = file(u"notes.txt"_s, "x");
    dropFiles(names(), QStringList(9, c) << notes);
    QCOMPARE(m_prompter.texts(), QStringList{u"処理可能ファイル数を超えます。"_s});
    QCOMPARE(names()->count(), 990);

    // Nine are examined; with the sort ticked a new name goes to its place in both lists,
    // and a drop onto List3 while the paths are shown is the same drop.
    m_prompter.clear();
    control<QCheckBox>(*m_window, u"Check6"_s)->setChecked(true);
    control<QCheckBox>(*m_window, u"Check9"_s)->setChecked(true);
    const QString b = file(u"b.dxf"_s, dxfFile("AC1018"));
    dropFiles(paths(), QStringList(7, c) << b << notes);
    QVERIFY(m_prompter.texts().isEmpty());
    QCOMPARE(names()->count(), 998);
    QCOMPARE(names()->item(0)->text(), u" b.dxf"_s);
    QCOMPARE(paths()->item(0)->text(), b);
    QCOMPARE(paths()->item(997)->text(), c);
    QCOMPARE(label(u"DATACount"_s), u" 998"_s);

    control<QPushButton>(*m_window, u"LISTClear"_s)->click();
    QCOMPARE(names()->count(), 0);
    QCOMPARE(label(u"DATACount"_s), QString());
}

// A folder on List3 (paths shown) brings the DXF files of it and its subfolders in path order,
// each through the intake; DWG and other files in it are left out without a word, and a folder
// with no DXF file is named. The count of a folder is that of its DXF files.
void TestTextWindowRun::droppedFolderBringsItsDxfFiles() {
    open(17); // AutoCAD 2006: releases 2000 and 2004
    control<QCheckBox>(*m_window, u"Check9"_s)->setChecked(true);
    file(u"set/b/two.dxf"_s, dxfFile("AC1018"));
    file(u"set/a.DXF"_s, dxfFile("AC1015"));
    file(u"set/a/one.dxf"_s, dxfFile("AC1015"));
    file(u"set/a/new.dxf"_s, dxfFile("AC1021"));
    file(u"set/a/plan.dwg"_s, "AC1015");
    file(u"set/readme.txt"_s, "x");
    file(u"dwgs/only.dwg"_s, "AC1015");
    const QString loose = file(u"loose.dxf"_s, dxfFile("AC1015"));
    dropFiles(paths(), {path(u"set"_s), loose, path(u"dwgs"_s)});
    QCOMPARE(rows(paths()), (QStringList{path(u"set/a/one.dxf"_s), path(u"set/a.DXF"_s),
                                         path(u"set/b/two.dxf"_s), loose}));
    QCOMPARE(rows(names()),
             (QStringList{u" one.dxf"_s, u" a.DXF"_s, u" two.dxf"_s, u" loose.dxf"_s}));
    QCOMPARE(m_prompter.texts(),
             (QStringList{path(u"set/a/new.dxf"_s) +
                              u" は、 \r\n\r\n互換性のないバージョンで作成されています。"_s,
                          path(u"dwgs"_s) + u" は、 \r\n\r\nDXFファイルが含まれていません。"_s}));
    QCOMPARE(label(u"DATACount"_s), u" 004"_s);

    // 996 more files of one folder would pass 999; nothing of it is taken.
    m_prompter.clear();
    for (int i = 0; i < 996; ++i)
        file(u"many/%1.dxf"_s.arg(i), "x");
    dropFiles(names(), {path(u"many"_s)});
    QCOMPARE(m_prompter.texts(), QStringList{u"処理可能ファイル数を超えます。"_s});
    QCOMPARE(names()->count(), 4);
}

void TestTextWindowRun::startRefusesOrAsks() {
    open(41);
    pressStart();
    QCOMPARE(m_prompter.texts(), QStringList{u"ファイルを選択して下さい。"_s});

    const QString a = fixture(u"text_r2000.dxf"_s, u"a.dxf"_s);
    dropFiles(names(), {a});
    // A replacement without a search string is refused in the first replace mode only.
    m_prompter.clear();
    control<QLineEdit>(*m_window, u"Text1_1"_s)->setText(u"x"_s);
    pressStart();
    QCOMPARE(m_prompter.texts(), QStringList{u"検索文字列を入力して下さい。"_s});

    // Other modes are not examined; No leaves everything as it was.
    m_prompter.clear();
    control<QComboBox>(*m_window, u"Combo6"_s)->setCurrentIndex(2);
    m_prompter.queueAnswer(false);
    pressStart();
    QCOMPARE(m_prompter.messages().size(), 1);
    QCOMPARE(m_prompter.messages().at(0).kind, RecordingPrompter::Kind::AskYesNo);
    QCOMPARE(m_prompter.messages().at(0).text, u" 変換しますか？"_s);
    QCOMPARE(m_prompter.messages().at(0).title, u"確認"_s);
    QVERIFY(!QFile::exists(path(u"a-T.dxf"_s)));
    QCOMPARE(counters(), QStringList(7, u"0"_s));
}

void TestTextWindowRun::runRewritesEveryListedFile() {
    open(41);
    const QString a = fixture(u"text_r2004.dxf"_s, u"a.dxf"_s);
    const QString b = fixture(u"text_r2000.dxf"_s, u"b.DXF"_s);
    const QByteArray before = readAll(a);
    dropFiles(names(), {a, b});
    control<QLineEdit>(*m_window, u"Text1_0"_s)->setText(u"abc"_s);
    control<QLineEdit>(*m_window, u"Text1_1"_s)->setText(u"xyz"_s);
    control<QListWidget>(*m_window, u"List2_0"_s)->setCurrentRow(1);
    QSignalSpy progress(control<QProgressBar>(*m_window, u"ProgressBar1"_s),
                        &QProgressBar::valueChanged);
    bool disabledDuringRun = true;
    // The counters follow the run as the bar does: a.dxf's changes show while b.DXF is read.
    QStringList countsWhileRunning;
    connect(control<QProgressBar>(*m_window, u"ProgressBar1"_s), &QProgressBar::valueChanged, this,
            [&] {
                disabledDuringRun =
                    disabledDuringRun && !m_window->isEnabled() &&
                    control<QProgressBar>(*m_window, u"ProgressBar1"_s)->isVisible();
                if (m_window->running() && label(u"Label16"_s) == u"1"_s &&
                    countsWhileRunning.isEmpty())
                    countsWhileRunning = counters();
            });
    pressStart();

    QCOMPARE(m_prompter.texts(), (QStringList{u" 変換しますか？"_s, u" 完了しました。"_s}));
    QVERIFY(progress.count() > 0);
    QVERIFY(disabledDuringRun);
    QCOMPARE(countsWhileRunning,
             (QStringList{u"5"_s, u"0"_s, u"0"_s, u"5"_s, u"0"_s, u"0"_s, u"1"_s}));
    QVERIFY(m_window->isEnabled());
    QVERIFY(!control<QProgressBar>(*m_window, u"ProgressBar1"_s)->isVisibleTo(m_window.get()));
    // a.dxf: five values with "abc" replaced (the long MTEXT whole, its group-3 part included),
    // five upper-cased; b.DXF: one of each.
    QCOMPARE(counters(), (QStringList{u"6"_s, u"0"_s, u"0"_s, u"6"_s, u"0"_s, u"0"_s, u"2"_s}));
    const QByteArray out = readAll(path(u"a-T.dxf"_s));
    for (const char* line :
         {"\r\nPLAIN XYZ\r\n", "\r\nCENTRED XYZ\r\n", "\r\nMTEXT XYZ\\PLINE TWO\r\n",
          "\r\nblock abc\r\n", "\r\nattrib abc\r\n"})
        QVERIFY2(out.contains(line), line);
    QVERIFY(!out.contains("plain abc"));
    QCOMPARE(out.count("\r\n"), before.count("\r\n"));
    QCOMPARE(readAll(a), before);
    QVERIFY(readAll(path(u"b-T.dxf"_s)).contains("\r\nXYZ\r\n"));
    QCOMPARE(rows(names()), (QStringList{u" a.dxf"_s, u" b.DXF"_s})); // the list stays

    // Clear resets every counter display, the options stay.
    control<QPushButton>(*m_window, u"LISTClear"_s)->click();
    QCOMPARE(counters(), QStringList(7, u"0"_s));
    QCOMPARE(m_window->options().searchText(), u"abc"_s);
}

void TestTextWindowRun::failedFileIsNamed() {
    open(41);
    const QString gone = fixture(u"text_r2000.dxf"_s, u"gone.dxf"_s);
    const QString good = fixture(u"text_r2000.dxf"_s, u"good.dxf"_s);
    dropFiles(names(), {gone, good});
    QVERIFY(QFile::remove(gone));
    pressStart();
    QCOMPARE(m_prompter.texts(), (QStringList{u" 変換しますか？"_s,
                                              gone + u" は、 \r\n\r\nファイルが見つかりません。"_s,
                                              TextJob::completionMessage(1)}));
    QVERIFY(TextJob::completionMessage(1).startsWith(u" 完了しました。"_s));
    QVERIFY(TextJob::completionMessage(1).contains(u'1'));
    QCOMPARE(readAll(path(u"good-T.dxf"_s)), readAll(good));
    QCOMPARE(label(u"Label16"_s), u"2"_s);
}

// Closing the window through its frame during a run abandons the file in progress: no
// output, no temporary file left, no question; the files done before it keep their outputs.
void TestTextWindowRun::closingDuringRunEndsWithoutPartialOutput() {
    open(41);
    const QString small = fixture(u"text_r2000.dxf"_s, u"small.dxf"_s);
    QByteArray bytes = readAll(small);
    const QByteArray entity = "  0\r\nTEXT\r\n  8\r\n0\r\n  1\r\nabc abc abc abc\r\n";
    QByteArray entities;
    while (entities.size() < (qsizetype(5) << 20))
        entities += entity;
    bytes.insert(bytes.indexOf("ENTITIES\r\n") + 10, entities);
    const QString big = file(u"big.dxf"_s, bytes);
    const QString after = fixture(u"text_r2000.dxf"_s, u"after.dxf"_s);
    dropFiles(names(), {small, big, after});
    control<QListWidget>(*m_window, u"List2_0"_s)->setCurrentRow(1);

    QSignalSpy ending(m_window.get(), &TextWindow::endRequested);
    auto* bar = control<QProgressBar>(*m_window, u"ProgressBar1"_s);
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        if (value > 0 && value < 100 && m_window->running())
            m_window->close();
    });
    pressStart();

    QCOMPARE(m_prompter.texts(), QStringList{u" 変換しますか？"_s});
    QCOMPARE(ending.count(), 1);
    QVERIFY(QFile::exists(path(u"small-T.dxf"_s)));
    QCOMPARE(readAll(big), bytes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             (QStringList{u"after.dxf"_s, u"big.dxf"_s, u"small-T.dxf"_s, u"small.dxf"_s}));
}

void TestTextWindowRun::switchingKeepsBothWindows() {
    FakeFolderRoles folders;
    folders.windows = m_dir->path();
    MainWindow main(m_prompter);
    main.setFolderRoles(&folders);
    main.runValues().autocadSelection = 41;
    WindowSwitcher switcher(main, m_prompter);
    main.move(120, 80);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(!switcher.textWindow()); // created at its first display

    control<QPushButton>(main, u"Command2"_s)->click(); // "TEXT変換"
    TextWindow* text = switcher.textWindow();
    QVERIFY(text && text->isVisible());
    QVERIFY(!main.isVisible());
    QCOMPARE(text->pos(), main.pos());
    m_prompter.list = control<QListWidget>(*text, u"List1"_s);
    dropFiles(control<QListWidget>(*text, u"List1"_s),
              {fixture(u"text_r2007.dxf"_s, u"plan.dxf"_s)});
    control<QCheckBox>(*text, u"Check1_4"_s)->click();
    control<QLineEdit>(*text, u"Text3"_s)->setText(u"図面"_s);

    text->move(200, 150);
    control<QPushButton>(*text, u"Command2"_s)->click(); // "DXF/DWG変換"
    QVERIFY(main.isVisible());
    QVERIFY(!text->isVisible());
    QCOMPARE(main.pos(), text->pos());

    control<QPushButton>(main, u"Command2"_s)->click();
    QCOMPARE(switcher.textWindow(), text); // the same window, with its list and options
    QCOMPARE(rows(control<QListWidget>(*text, u"List1"_s)), QStringList{u" plan.dxf"_s});
    QCOMPARE(control<QLabel>(*text, u"DATACount"_s)->text(), u" 001"_s);
    QVERIFY(control<QCheckBox>(*text, u"Check1_4"_s)->isChecked());
    QVERIFY(control<QCheckBox>(*text, u"Check1_2"_s)->isChecked());
    QCOMPARE(control<QLineEdit>(*text, u"Text3"_s)->text(), u"図面"_s);

    // END of the text window is the main window's end: the settings are written once.
    QSignalSpy ending(&main, &MainWindow::ending);
    control<QPushButton>(*text, u"ProgEND"_s)->click();
    QCOMPARE(ending.count(), 1);
    QVERIFY(QFile::exists(SettingsFile::path(m_dir->path())));
    QVERIFY(!text->isVisible());
    m_prompter.list = nullptr;
}

QTEST_MAIN(TestTextWindowRun)
#include "TestTextWindowRun.moc"
