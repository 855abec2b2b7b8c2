#include "AccessibleAction.h"
#include "FolderPicker.h"
#include "JobSettingsFile.h"
#include "MainWindow.h"
#include "ProductTable.h"
#include "SettingsFile.h"
#include "SettingsWindow.h"
#include "Startup.h"
#include "mock/FakeFileSystemProbe.h"
#include "mock/FakeFolderRoles.h"
#include "mock/RecordingPrompter.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

namespace {

template <typename T> T* control(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("control %s missing", qPrintable(name));
    return found;
}

QRadioButton* option(QWidget& window, int index) {
    return control<QRadioButton>(window, u"Option1_%1"_s.arg(index));
}

} // namespace

// One program run: start-up from the settings file, the main window, the settings window
// loaded hidden and bound to the "環境設定" button, as the program builds them.
struct Run {
    Run(test::FakeFolderRoles& folders, test::FakeFileSystemProbe& files,
        test::RecordingPrompter& prompter)
        : startup(runStartup(folders, files, prompter)), main(prompter),
          settings(main.runValues(), files, prompter, picker) {
        main.setFolderRoles(&folders);
        main.applyStartup(startup);
        settings.restore(startup.settingsWindow);
        main.attachSettingsWindow(&settings);
    }
    void openSettings() { control<QPushButton>(main, u"Command3"_s)->click(); }
    void ok() { control<QPushButton>(settings, u"cmdOK"_s)->click(); }

    StartupResult startup;
    FolderPicker picker;
    MainWindow main;
    SettingsWindow settings;
};

class TestSettingsWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void controlsAndHiddenLoad();
    void missingPathRefused_data();
    void missingPathRefused();
    void optionThenEndStoresIt();
    void reopeningShowsThePendingSelection();
    void folderChangeCancelAndRefusal();
    void heightsFollowCheck1();
    void everyWayOfChangingReachesTheModel();
    void choicesReachTheNextStart();
    void endReportsWhatWasNotSaved();
    void stallLimitBesideTheSingleDocumentBox();

private:
    void writeRecord(double selection, const QString& output = QString());

    std::unique_ptr<QTemporaryDir> m_dir;
    test::FakeFolderRoles m_folders;
    test::FakeFileSystemProbe m_files;
    test::RecordingPrompter m_prompter;
};

void TestSettingsWindow::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_folders = test::FakeFolderRoles();
    m_folders.windows = m_dir->path();
    m_folders.appData = m_dir->filePath(u"data"_s);
    m_folders.desktop = m_dir->filePath(u"Desktop"_s);
    m_files = test::FakeFileSystemProbe();
    m_prompter.clear();
}

void TestSettingsWindow::writeRecord(double selection, const QString& output) {
    SettingsRecord record;
    record.savedSelection = selection;
    record.outputFolderPath = output;
    QVERIFY(SettingsFile::write(m_dir->path(), record));
}

void TestSettingsWindow::controlsAndHiddenLoad() {
    writeRecord(16);
    Run run(m_folders, m_files, m_prompter);
    SettingsWindow& window = run.settings;
    QCOMPARE(window.objectName(), u"Form3"_s);
    QCOMPARE(window.windowTitle(), u"　AutoCAD設定"_s);
    QVERIFY(window.isLoaded());
    QVERIFY(!window.isVisible());
    for (const SettingsOption& product : settingsOptions())
        QCOMPARE(option(window, product.index)->text(), product.caption);
    QCOMPARE(control<QCheckBox>(window, u"Check1"_s)->text(), u"AutoCADデフォルトインストール"_s);
    QCOMPARE(control<QCheckBox>(window, u"Check2"_s)->text(), u"単一図面互換モード使用"_s);
    QCOMPARE(control<QLabel>(window, u"Label1"_s)->text(), u"[ AutoCAD起動ファイルの場所 ]"_s);
    QCOMPARE(control<QLabel>(window, u"Label2"_s)->text(), u"[ DXF/DWG変換ファイルの保存場所 ]"_s);
    QCOMPARE(control<QLabel>(window, u"Label3"_s)->text(),
             u"例：C:\\Program Files\\AutoCAD LT 2002\\aclt.exe"_s);
    QCOMPARE(control<QLabel>(window, u"Label6"_s)->text(),
             u"設定を変更した場合は起動し直してください。"_s);
    QCOMPARE(control<QPushButton>(window, u"Command1"_s)->text(), u"フォルダ変更"_s);
    QCOMPARE(control<QPushButton>(window, u"cmdOK"_s)->text(), u"O  K"_s);
    // What start-up left in the hidden window.
    QVERIFY(option(window, 8)->isChecked());
    QVERIFY(control<QCheckBox>(window, u"Check1"_s)->isChecked());
    QCOMPARE(control<QLabel>(window, u"Label4"_s)->text(),
             QDir::toNativeSeparators(m_dir->filePath(u"Desktop/Ornvale"_s)));
    run.openSettings();
    QVERIFY(window.isVisible());
    QVERIFY(!window.isModal());
    QVERIFY(run.main.isEnabled());
}

void TestSettingsWindow::missingPathRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << QString();
    QTest::newRow("missing file") << u"/opt/none/acad.exe"_s;
}

void TestSettingsWindow::missingPathRefused() {
    QFETCH(QString, typed);
    writeRecord(16);
    Run run(m_folders, m_files, m_prompter);
    run.openSettings();
    control<QCheckBox>(run.settings, u"Check1"_s)->click();
    control<QLineEdit>(run.settings, u"Text1"_s)->setText(typed);
    run.ok();
    QCOMPARE(m_prompter.messages().size(), 1);
    QCOMPARE(m_prompter.messages().first().text, u"AutoCAD起動ファイル が存在しません！"_s);
    QCOMPARE(m_prompter.messages().first().title, u"確認"_s);
    QVERIFY(run.settings.isVisible());
    QVERIFY(run.settings.isLoaded());
    QCOMPARE(run.main.runValues().defaultInstallFlag, 1);
}

void TestSettingsWindow::optionThenEndStoresIt() {
    writeRecord(16);
    Run run(m_folders, m_files, m_prompter);
    run.openSettings();
    option(run.settings, 4)->click(); // "AutoCAD LT2002", no OK
    QCOMPARE(option(run.settings, 4)->text(), u"AutoCAD LT2002"_s);
    control<QPushButton>(run.main, u"ProgEND"_s)->click();
    QCOMPARE(SettingsFile::read(m_dir->path()).savedSelection, 4.0);
    QVERIFY(m_prompter.messages().isEmpty());
}

void TestSettingsWindow::reopeningShowsThePendingSelection() {
    writeRecord(16);
    Run run(m_folders, m_files, m_prompter);
    run.openSettings();
    QVERIFY(option(run.settings, 8)->isChecked()); // "AutoCAD 2005"
    option(run.settings, 9)->click();              // "AutoCAD 2007"
    // An edit of Check2 without OK is dropped when the window is closed.
    control<QCheckBox>(run.settings, u"Check2"_s)->click();
    run.settings.close();
    QVERIFY(!run.settings.isLoaded());
    run.openSettings();
    QVERIFY(option(run.settings, 9)->isChecked());
    QVERIFY(!control<QCheckBox>(run.settings, u"Check2"_s)->isChecked());
    QCOMPARE(run.main.runValues().pendingSelection, 41.0);
    QCOMPARE(run.main.runValues().autocadSelection, 16);
}

void TestSettingsWindow::folderChangeCancelAndRefusal() {
    writeRecord(16, u"/srv/old"_s);
    Run run(m_folders, m_files, m_prompter);
    run.openSettings();
    QPushButton* change = control<QPushButton>(run.settings, u"Command1"_s);
    QLabel* label = control<QLabel>(run.settings, u"Label4"_s);
    run.picker.setNextCancel();
    change->click();
    QCOMPARE(run.picker.lastPrompt(), u"フォルダを指定してください"_s);
    QCOMPARE(run.picker.lastInitialFolder(), u"/srv/old"_s);
    QCOMPARE(label->text(), u"/srv/old"_s);
    QCOMPARE(run.main.runValues().outputFolder, u"/srv/old"_s);
    // A chosen folder is the output folder at once, without OK.
    run.picker.setNextDirectory(u"/srv/新しい"_s);
    change->click();
    // The picker's answer is shown and kept with the platform's separators.
    const QString chosen = QDir::toNativeSeparators(u"/srv/新しい"_s);
    QCOMPARE(label->text(), chosen);
    QCOMPARE(run.main.runValues().outputFolder, chosen);
    QCOMPARE(run.picker.shownCount(), 2);
    QVERIFY(m_prompter.messages().isEmpty());
    // A folder the settings file cannot hold is refused by name; the folder stays.
    run.picker.setNextDirectory(u"/srv/Café"_s);
    change->click();
    QCOMPARE(m_prompter.messages().size(), 1);
    QVERIFY(m_prompter.messages().first().text.startsWith(QDir::toNativeSeparators(u"/srv/Café"_s) +
                                                          u" は、 \r\n\r\n"_s));
    QCOMPARE(label->text(), chosen);
    QCOMPARE(run.main.runValues().outputFolder, chosen);
}

void TestSettingsWindow::heightsFollowCheck1() {
    writeRecord(16);
    Run run(m_folders, m_files, m_prompter);
    run.openSettings();
    SettingsWindow& window = run.settings;
    QCOMPARE(window.height(), 3200 / 15);
    // The custom path section lies below the visible part while Check1 is ticked.
    QVERIFY(control<QLineEdit>(window, u"Text1"_s)->geometry().top() >= window.height());
    QVERIFY(control<QPushButton>(window, u"cmdOK"_s)->geometry().bottom() < window.height());
    control<QCheckBox>(window, u"Check1"_s)->click();
    QCOMPARE(window.height(), 4350 / 15);
    QVERIFY(control<QLabel>(window, u"Label3"_s)->geometry().bottom() < window.height());
    control<QCheckBox>(window, u"Check1"_s)->click();
    QCOMPARE(window.height(), 3200 / 15);
}

// A screen reader's toggle and a change from code emit no click: the product option still sets
// the pending selection at once, Check1 still sizes the window, and OK takes over what shows.
void TestSettingsWindow::everyWayOfChangingReachesTheModel() {
    const QString exe = m_dir->filePath(u"acad.exe"_s);
    m_files.addFile(exe);
    writeRecord(16);
    Run run(m_folders, m_files, m_prompter);
    run.openSettings();
    SettingsWindow& window = run.settings;
    QVERIFY(test::toggleAccessibly(option(window, 4))); // "AutoCAD LT2002"
    QCOMPARE(run.main.runValues().pendingSelection, 4.0);
    option(window, 9)->setChecked(true); // "AutoCAD 2007"
    QCOMPARE(run.main.runValues().pendingSelection, 41.0);

    QVERIFY(test::toggleAccessibly(control<QCheckBox>(window, u"Check1"_s)));
    QCOMPARE(window.height(), 4350 / 15);
    control<QCheckBox>(window, u"Check2"_s)->setChecked(true);
    control<QLineEdit>(window, u"Text1"_s)->setText(exe);
    run.ok();
    QVERIFY(!window.isVisible());
    QCOMPARE(run.main.runValues().defaultInstallFlag, 0);
    QCOMPARE(run.main.runValues().singleDocumentMode, 1);
    QCOMPARE(run.main.runValues().customExePath, exe);
    // The next load shows the run values without taking them for a click.
    run.openSettings();
    QVERIFY(option(window, 9)->isChecked());
    QCOMPARE(window.height(), 4350 / 15);
    QVERIFY(m_prompter.messages().isEmpty());
}

// Settings chosen in the window (OK with an existing file), END, and a new start that uses them
// without looking for a product.
void TestSettingsWindow::choicesReachTheNextStart() {
    const QString exe = m_dir->filePath(u"aclt.exe"_s);
    const QString output = m_dir->filePath(u"出力"_s);
    m_files.addFile(u"C:\\Program Files\\AutoCAD 2005\\acad.exe"_s);
    m_files.addFile(exe);
    {
        Run first(m_folders, m_files, m_prompter);
        QCOMPARE(first.main.runValues().autocadSelection, 16); // detected
        first.openSettings();
        option(first.settings, 3)->click(); // "AutoCAD LT2004"
        control<QCheckBox>(first.settings, u"Check1"_s)->click();
        control<QCheckBox>(first.settings, u"Check2"_s)->click();
        control<QLineEdit>(first.settings, u"Text1"_s)->setText(exe);
        first.picker.setNextDirectory(output);
        control<QPushButton>(first.settings, u"Command1"_s)->click();
        first.ok();
        // An existing file is accepted; the running program keeps its executable.
        QVERIFY(!first.settings.isVisible());
        QVERIFY(!first.settings.isLoaded());
        QCOMPARE(first.main.runValues().customExePath, exe);
        QCOMPARE(first.main.runValues().defaultInstallFlag, 0);
        QCOMPARE(first.main.runValues().autocadExePath,
                 u"C:\\Program Files\\AutoCAD 2005\\acad.exe"_s);
        control<QPushButton>(first.main, u"ProgEND"_s)->click();
    }
    m_files.tested.clear();
    Run second(m_folders, m_files, m_prompter);
    QVERIFY2(m_files.tested.isEmpty(), qPrintable(m_files.tested.join(u", "_s)));
    const RunValues& values = second.main.runValues();
    QCOMPARE(values.autocadSelection, 5);
    QCOMPARE(values.autocadExePath, exe);
    QCOMPARE(values.singleDocumentMode, 1);
    QCOMPARE(values.outputFolder, QDir::toNativeSeparators(output));
    QVERIFY(option(second.settings, 3)->isChecked());
    QVERIFY(!control<QCheckBox>(second.settings, u"Check1"_s)->isChecked());
    QCOMPARE(control<QLineEdit>(second.settings, u"Text1"_s)->text(), exe);
    QCOMPARE(second.settings.height(), 4350 / 15);
    QVERIFY(m_prompter.messages().isEmpty());
}

void TestSettingsWindow::endReportsWhatWasNotSaved() {
    writeRecord(16);
    Run run(m_folders, m_files, m_prompter);
    // A folder in the file's place: the record cannot be written.
    QVERIFY(QFile::remove(SettingsFile::path(m_dir->path())));
    QVERIFY(QDir(m_dir->path()).mkdir(u"reziz.ini"_s));
    control<QPushButton>(run.main, u"ProgEND"_s)->click();
    QCOMPARE(m_prompter.messages().size(), 1);
    QCOMPARE(m_prompter.messages().first().title, u"確認"_s);
    QVERIFY(m_prompter.messages().first().text.startsWith(SettingsFile::path(m_dir->path()) +
                                                          u" は、 \r\n\r\n"_s));
    QVERIFY(!run.main.isVisible());
}

// The number box takes effect through OK like Check2, reaches the file beside reziz.ini at END
// and the next start; reziz.ini itself is written as before.
void TestSettingsWindow::stallLimitBesideTheSingleDocumentBox() {
    writeRecord(16, QDir::toNativeSeparators(m_dir->filePath(u"Desktop/Ornvale"_s)));
    QFile job(JobSettingsFile::path(m_dir->path()));
    QVERIFY(job.open(QIODevice::WriteOnly) && job.write("StallMinutes=4\r\n") > 0);
    job.close();
    QByteArray reziz;
    {
        Run run(m_folders, m_files, m_prompter);
        SettingsWindow& window = run.settings;
        auto* box = control<QSpinBox>(window, u"StallMinutes"_s);
        auto* check2 = control<QCheckBox>(window, u"Check2"_s);
        QCOMPARE(control<QLabel>(window, u"StallMinutesLabel"_s)->text(), u"1図面の待ち時間(分)"_s);
        QCOMPARE(box->value(), 4);
        QCOMPARE(box->minimum(), 0);
        QCOMPARE(box->maximum(), 999);
        // Beside the box, on its row, inside the window at both heights.
        QVERIFY(box->geometry().left() > check2->geometry().right());
        QVERIFY(qAbs(box->geometry().center().y() - check2->geometry().center().y()) <= 2);
        QVERIFY(box->geometry().bottom() < 3200 / 15);
        QVERIFY(!box->geometry().intersects(control<QPushButton>(window, u"cmdOK"_s)->geometry()));

        run.openSettings();
        box->setValue(9);
        window.close(); // without OK: not taken over
        QCOMPARE(run.main.runValues().stallMinutes, 4);
        run.openSettings();
        QCOMPARE(box->value(), 4);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->value(), 5);
        box->setValue(12);
        run.ok();
        QCOMPARE(run.main.runValues().stallMinutes, 12);

        {
            // Closed before END: Windows replaces no file that is open.
            QFile file(SettingsFile::path(m_dir->path()));
            QVERIFY(file.open(QIODevice::ReadOnly));
            reziz = file.readAll();
        }
        control<QPushButton>(run.main, u"ProgEND"_s)->click();
    }
    QFile file(SettingsFile::path(m_dir->path()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), reziz); // nothing in it changed this run
    QVERIFY(job.open(QIODevice::ReadOnly));
    QCOMPARE(job.readAll(), QByteArray("StallMinutes=12\r\n"));
    Run next(m_folders, m_files, m_prompter);
    QCOMPARE(next.main.runValues().stallMinutes, 12);
    QCOMPARE(control<QSpinBox>(next.settings, u"StallMinutes"_s)->value(), 12);
    QVERIFY2(m_prompter.messages().isEmpty(), qPrintable(m_prompter.texts().join(u"\n"_s)));
}

QTEST_MAIN(TestSettingsWindow)
#include "TestSettingsWindow.moc"
