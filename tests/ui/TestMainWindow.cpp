#include "AboutWindow.h"
#include "FolderRoles.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ProductGolden.h"
#include "SettingsFile.h"
#include "Startup.h"
#include "mock/FakeFileSystemProbe.h"
#include "mock/FakeFolderRoles.h"
#include "mock/RecordingPrompter.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;

namespace {

template <typename T> T* control(QWidget& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found)
        qFatal("control %s missing", qPrintable(name));
    return found;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void showsWhatStartupSettled_data();
    void showsWhatStartupSettled();
    void noProductKeepsDesignState();
    void verOpensModelessAbout();
    void textAndSettingsButtonsAskForTheirWindows();
    void endStoresTheSettings_data();
    void endStoresTheSettings();
    void messageBoxPresetAnswers();
    void secondStartEndsSilently();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    test::FakeFolderRoles m_folders;
    test::RecordingPrompter m_prompter;

    StartupResult startWith(double savedSelection, quint8 customFlag = 0) {
        SettingsRecord record;
        record.savedSelection = savedSelection;
        record.customPathFlag = customFlag;
        record.customExePath = QStringLiteral("/opt/acad/acad.exe");
        SettingsFile::write(m_dir->path(), record);
        test::FakeFileSystemProbe files;
        return runStartup(m_folders, files, m_prompter);
    }
};

void TestMainWindow::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("HOME", QFile::encodeName(m_dir->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cfg"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("data"))));
    m_folders = test::FakeFolderRoles();
    m_folders.windows = m_dir->path();
    m_folders.appData = m_dir->filePath(QStringLiteral("data"));
    m_folders.desktop = m_dir->filePath(QStringLiteral("Desktop"));
    m_prompter.clear();
}

// A product of each release generation; its label, captions and purge items from the golden copy.
void TestMainWindow::showsWhatStartupSettled_data() {
    QTest::addColumn<int>("code");
    for (int code : {41, 16, 5, 3})
        QTest::addRow("%s", qPrintable(test::goldenProduct(code).label)) << code;
}

void TestMainWindow::showsWhatStartupSettled() {
    QFETCH(int, code);
    const test::GoldenProduct& product = test::goldenProduct(code);
    const QString& label = product.label;
    const QStringList& dxf = product.dxfCaptions;
    const bool check14 = product.tableStylesAndRegApps;
    const bool check16 = product.materialsAndVisualStyles;
    MainWindow window(m_prompter);
    window.applyStartup(startWith(code));
    window.show();
    QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    QCOMPARE(window.windowTitle(), QStringLiteral("  Ornvale"));
    QCOMPARE(control<QLabel>(window, QStringLiteral("Label4"))->text(), label);
    for (int i = 0; i < 4; ++i) {
        auto* dxfButton = control<QRadioButton>(window, QStringLiteral("Option1_%1").arg(i));
        QCOMPARE(dxfButton->isVisible(), !dxf[i].isEmpty());
        if (!dxf[i].isEmpty())
            QCOMPARE(dxfButton->text(), dxf[i]);
        // DXF starts ticked: the DWG group is hidden whatever the product.
        QVERIFY(!control<QRadioButton>(window, QStringLiteral("Option2_%1").arg(i))->isVisible());
    }
    QVERIFY(control<QCheckBox>(window, QStringLiteral("Check1"))->isChecked());
    QVERIFY(!control<QCheckBox>(window, QStringLiteral("Check2"))->isChecked());
    QCOMPARE(control<QCheckBox>(window, QStringLiteral("Check14"))->isVisible(), check14);
    QCOMPARE(control<QCheckBox>(window, QStringLiteral("Check15"))->isVisible(), check14);
    QCOMPARE(control<QCheckBox>(window, QStringLiteral("Check16"))->isVisible(), check16);
    QCOMPARE(control<QCheckBox>(window, QStringLiteral("Check17"))->isVisible(), check16);
    QCOMPARE(control<QLabel>(window, QStringLiteral("DATACount"))->font().pointSize(), 14);
    QCOMPARE(window.runValues().autocadSelection, code);
}

void TestMainWindow::noProductKeepsDesignState() {
    MainWindow window(m_prompter);
    window.applyStartup(startWith(0));
    window.show();
    QCOMPARE(control<QLabel>(window, QStringLiteral("Label4"))->text(),
             QStringLiteral("AutoCAD  Ver?"));
    QCOMPARE(m_prompter.messages().size(), 1);
    for (int i = 14; i <= 17; ++i)
        QVERIFY(!control<QCheckBox>(window, QStringLiteral("Check%1").arg(i))->isVisible());
    // The release buttons as designed: no captions, the first of each group selected, the DXF
    // group shown until "DXF" is unticked; nothing shows them again afterwards.
    QStringList buttons;
    for (int group = 1; group <= 2; ++group) {
        for (int i = 0; i < 4; ++i)
            buttons.append(QStringLiteral("Option%1_%2").arg(group).arg(i));
    }
    for (const QString& name : buttons) {
        QCOMPARE(control<QRadioButton>(window, name)->text(), QString());
        QCOMPARE(control<QRadioButton>(window, name)->isChecked(), name.endsWith(u'0'));
    }
    const auto shown = [&] {
        QStringList visible;
        for (const QString& name : buttons) {
            if (control<QRadioButton>(window, name)->isVisible())
                visible.append(name);
        }
        return visible;
    };
    QCOMPARE(shown(), buttons.mid(0, 4));
    auto* dxf = control<QCheckBox>(window, QStringLiteral("Check1"));
    dxf->click();
    QCOMPARE(shown(), QStringList());
    dxf->click();
    QCOMPARE(shown(), QStringList());
}

void TestMainWindow::verOpensModelessAbout() {
    MainWindow window(m_prompter);
    window.show();
    QPushButton* ver = control<QPushButton>(window, QStringLiteral("Command1"));
    QCOMPARE(ver->text(), QStringLiteral("Ver"));
    ver->click();
    AboutWindow* about = window.aboutWindow();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QVERIFY(!about->isModal());
    QCOMPARE(control<QLabel>(*about, QStringLiteral("lblTitle"))->text(),
             QStringLiteral("Ornvale"));
    QCOMPARE(control<QLabel>(*about, QStringLiteral("lblVersion"))->text(),
             QStringLiteral("Ver %1.%2.%3")
                 .arg(ORNVALE_VERSION_MAJOR)
                 .arg(ORNVALE_VERSION_MINOR)
                 .arg(ORNVALE_VERSION_PATCH));
    // The main window stays usable, and a second click shows the same window.
    QVERIFY(window.isEnabled());
    ver->click();
    QCOMPARE(window.aboutWindow(), about);
}

void TestMainWindow::textAndSettingsButtonsAskForTheirWindows() {
    MainWindow window(m_prompter);
    QSignalSpy text(&window, &MainWindow::textWindowRequested);
    QSignalSpy settings(&window, &MainWindow::settingsWindowRequested);
    QPushButton* command2 = control<QPushButton>(window, QStringLiteral("Command2"));
    QPushButton* command3 = control<QPushButton>(window, QStringLiteral("Command3"));
    QCOMPARE(command2->text(), QStringLiteral("TEXT変換"));
    QCOMPARE(command3->text(), QStringLiteral("環境設定"));
    command2->click();
    QCOMPARE(text.count(), 1);
    QCOMPARE(settings.count(), 0);
    command3->click();
    QCOMPARE(settings.count(), 1);
}

void TestMainWindow::endStoresTheSettings_data() {
    QTest::addColumn<bool>("throughFrame");
    QTest::newRow("END button") << false;
    QTest::newRow("closing the window") << true;
}

void TestMainWindow::endStoresTheSettings() {
    QFETCH(bool, throughFrame);
    MainWindow window(m_prompter);
    window.setFolderRoles(&m_folders);
    window.applyStartup(startWith(16));
    window.show();
    // Changes the settings window makes in memory reach the file only through the end.
    window.runValues().pendingSelection = 4;
    window.runValues().singleDocumentMode = 1;
    window.runValues().outputFolder = QStringLiteral("/srv/変換");
    QSignalSpy ending(&window, &MainWindow::ending);
    QPushButton* end = control<QPushButton>(window, QStringLiteral("ProgEND"));
    QCOMPARE(end->text(), QStringLiteral("END"));
    if (throughFrame)
        window.close();
    else
        end->click();
    QCOMPARE(ending.count(), 1);
    QVERIFY(!window.isVisible());
    const SettingsRecord stored = SettingsFile::read(m_dir->path());
    QCOMPARE(stored.savedSelection, 4.0);
    QCOMPARE(stored.singleDocumentMode, 1);
    QCOMPARE(stored.outputFolderPath, QStringLiteral("/srv/変換"));
    QCOMPARE(stored.customExePath, QStringLiteral("/opt/acad/acad.exe"));
    QCOMPARE(QFileInfo(SettingsFile::path(m_dir->path())).size(), 670);
    // Ending twice (END, then the close it causes) writes once.
    window.close();
    QCOMPARE(ending.count(), 1);
}

void TestMainWindow::messageBoxPresetAnswers() {
    MessageBox box;
    box.setNextAnswer(QMessageBox::No);
    box.setNextAnswer(QMessageBox::Yes);
    QVERIFY(!box.askYesNo(QStringLiteral("変換しますか？"), QStringLiteral("確認")));
    QVERIFY(box.askYesNo(QStringLiteral("a\r\nb"), QStringLiteral("題")));
    QCOMPARE(box.lastText(), QStringLiteral("a\r\nb"));
    QCOMPARE(box.lastTitle(), QStringLiteral("題"));
    box.setNextAnswer(QMessageBox::Ok);
    box.inform(QStringLiteral("エラー(AppDataフォルダを特定できません！)"),
               QStringLiteral("Ornvale"));
    QCOMPARE(box.lastTitle(), QStringLiteral("Ornvale"));
    QCOMPARE(box.shownCount(), 3);
}

// The real program while another instance holds the lock: it shows nothing, leaves nothing
// for the running one to act on, and ends at once.
void TestMainWindow::secondStartEndsSilently() {
#ifdef Q_OS_WIN
    // The machine's own folder (under Wine, of this test program's prefix).
    const QString folder = SystemFolderRoles().windowsDirectory();
    QFile::remove(folder + QStringLiteral("/reziz.ini"));
#else
    const QString folder = m_dir->filePath(QStringLiteral("cfg/ornvale"));
#endif
    QVERIFY(QDir().mkpath(folder));
    QLockFile running(folder + QStringLiteral("/ornvale.lock"));
    QVERIFY(running.tryLock(0));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(ORNVALE_BINARY_DIR "/src/ornvale" ORNVALE_EXE_SUFFIX), {});
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    const QStringList left =
        QDir(folder).entryList({QStringLiteral("ornvale*"), QStringLiteral("reziz.ini")},
                               QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(left, QStringList{QStringLiteral("ornvale.lock")});
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
