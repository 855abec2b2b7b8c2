#include "OutputFolder.h"
#include "ProductGolden.h"
#include "SaveSettings.h"
#include "SettingsFile.h"
#include "Startup.h"
#include "mock/FakeFileSystemProbe.h"
#include "mock/FakeFolderRoles.h"
#include "mock/RecordingPrompter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

namespace {

// The default executables in the order start-up tests them.
QStringList allDefaultPaths() {
    QStringList paths;
    for (const test::GoldenProduct& product : test::goldenProducts())
        paths.append(product.executable);
    return paths;
}

const QString kNoProduct = QStringLiteral("AutoCADのﾊﾞｰｼﾞｮﾝを特定できません。\r\n"
                                          "環境設定画面で設定して下さい。");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void init();
    void savedProductTable_data();
    void savedProductTable();
    void detectionOrder_data();
    void detectionOrder();
    void noProductFound();
    void customPathOverride_data();
    void customPathOverride();
    void folderFailures_data();
    void folderFailures();
    void outputFolderAndCarriedValues();
    void detectedProductIsStoredAtExit();
    void savedSelectionSurvivesARun();
    void givenSelectionIsNoDetection_data();
    void givenSelectionIsNoDetection();
    void defaultOutputFolderIsOneFolder_data();
    void defaultOutputFolderIsOneFolder();

private:
    SettingsRecord m_record;
    test::FakeFolderRoles m_folders;
    test::FakeFileSystemProbe m_files;
    test::RecordingPrompter m_prompter;
    std::unique_ptr<QTemporaryDir> m_dir;

    StartupResult start() {
        if (!m_dir->isValid() || !SettingsFile::write(m_dir->path(), m_record))
            qFatal("cannot write the settings file");
        return runStartup(m_folders, m_files, m_prompter);
    }
};

void TestStartup::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_record = SettingsRecord();
    m_folders = test::FakeFolderRoles();
    m_folders.windows = m_dir->path();
    m_folders.appData = QStringLiteral("/home/u/.local/share/ornvale");
    m_folders.desktop = QStringLiteral("/home/u/Desktop");
    m_files = test::FakeFileSystemProbe();
    m_prompter.clear();
}

void TestStartup::savedProductTable_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("exe");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("option");

    for (const test::GoldenProduct& product : test::goldenProducts())
        QTest::addRow("%d %s", product.code, qPrintable(product.label))
            << product.code << product.executable << product.label << product.settingsOption;
}

// A saved product is used as it is: its row sets everything, and no file is tested.
void TestStartup::savedProductTable() {
    QFETCH(int, code);
    QFETCH(QString, exe);
    QFETCH(QString, label);
    QFETCH(int, option);
    m_record.savedSelection = code;
    const StartupResult result = start();
    QCOMPARE(result.runValues.autocadSelection, code);
    QCOMPARE(result.runValues.autocadExePath, exe);
    QCOMPARE(result.productLabel, std::optional<QString>(label));
    QCOMPARE(result.settingsWindow.selectedOption, option);
    QCOMPARE(result.runValues.pendingSelection, double(code));
    QVERIFY(result.settingsWindow.defaultInstallChecked);
    QCOMPARE(m_files.tested, QStringList());
    QCOMPARE(m_prompter.messages().size(), 0);
}

void TestStartup::detectionOrder_data() {
    QTest::addColumn<QList<int>>("installed"); // indexes into the default paths
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("testedCount");

    QTest::newRow("LT 2006 and 2006: 2006 comes first") << QList<int>{4, 3} << 17 << 4;
    QTest::newRow("only LT 2000i: all ten tested") << QList<int>{9} << 3 << 10;
    QTest::newRow("everything: 2007 at once") << QList<int>{9, 5, 0, 1} << 41 << 1;
    QTest::newRow("2005 and LT 2004") << QList<int>{7, 5} << 16 << 6;
    QTest::newRow("Mechanical beside LT 2007") << QList<int>{2, 1} << 21 << 2;
    QTest::newRow("LT 2002 and LT 2000i") << QList<int>{9, 8} << 4 << 9;
}

void TestStartup::detectionOrder() {
    QFETCH(QList<int>, installed);
    QFETCH(int, code);
    QFETCH(int, testedCount);
    const QStringList paths = allDefaultPaths();
    for (int index : installed)
        m_files.addFile(paths[index]);
    const StartupResult result = start();
    QCOMPARE(result.runValues.autocadSelection, code);
    QCOMPARE(m_files.tested, paths.mid(0, testedCount));
    QCOMPARE(result.runValues.autocadExePath, paths[testedCount - 1]);
    // The detected product becomes the pending selection, so it is what the file records.
    QCOMPARE(result.runValues.pendingSelection, double(code));
    QCOMPARE(m_prompter.messages().size(), 0);
}

void TestStartup::noProductFound() {
    const StartupResult result = start();
    QCOMPARE(result.runValues.autocadSelection, 0);
    QCOMPARE(m_files.tested, allDefaultPaths());
    QCOMPARE(m_prompter.messages().size(), 1);
    QCOMPARE(m_prompter.messages()[0].text, kNoProduct);
    QCOMPARE(m_prompter.messages()[0].title, QStringLiteral("確認"));
    QCOMPARE(result.runValues.autocadExePath, QString());
    QCOMPARE(result.productLabel, std::nullopt);
    QCOMPARE(result.settingsWindow.selectedOption, 6);
    QCOMPARE(result.runValues.pendingSelection, 0.0);
}

void TestStartup::customPathOverride_data() {
    QTest::addColumn<double>("saved");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<QString>("exe");
    QTest::addColumn<int>("messages");

    const QString custom = QStringLiteral("D:\\My Tools\\acad.exe");
    const QString lt2004 = allDefaultPaths()[7];
    QTest::newRow("flag set, saved product") << 5.0 << false << 1 << custom << custom << 0;
    QTest::newRow("flag set, detected product") << 0.0 << true << 1 << custom << custom << 0;
    QTest::newRow("flag set, nothing found") << 0.0 << false << 1 << custom << custom << 1;
    QTest::newRow("flag set, empty path") << 5.0 << false << 1 << QString() << QString() << 0;
    QTest::newRow("any nonzero flag counts") << 5.0 << false << 200 << custom << custom << 0;
    QTest::newRow("flag clear keeps the row's path") << 5.0 << false << 0 << custom << lt2004 << 0;
}

void TestStartup::customPathOverride() {
    QFETCH(double, saved);
    QFETCH(bool, installed);
    QFETCH(int, flag);
    QFETCH(QString, custom);
    QFETCH(QString, exe);
    QFETCH(int, messages);
    m_record.savedSelection = saved;
    m_record.customPathFlag = static_cast<quint8>(flag);
    m_record.customExePath = custom;
    if (installed)
        m_files.addFile(allDefaultPaths()[7]);
    const StartupResult result = start();
    QCOMPARE(result.runValues.autocadExePath, exe);
    QCOMPARE(result.runValues.customExePath, custom);
    QCOMPARE(result.settingsWindow.customPathText, custom);
    QCOMPARE(result.runValues.defaultInstallFlag, flag ? 0 : 1);
    QCOMPARE(result.settingsWindow.defaultInstallChecked, flag == 0);
    QCOMPARE(m_prompter.messages().size(), messages);
}

void TestStartup::folderFailures_data() {
    QTest::addColumn<bool>("appData");
    QTest::addColumn<bool>("desktop");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("output");

    const QString appDataError = QStringLiteral("エラー(AppDataフォルダを特定できません！)");
    const QString desktopError = QStringLiteral("エラー(DeskTopフォルダを特定できません！)");
    QTest::newRow("both found") << true << true << QStringList() << "/home/u/Desktop/Ornvale";
    QTest::newRow("no AppData") << false << true << QStringList{appDataError}
                                << "/home/u/Desktop/Ornvale";
    QTest::newRow("no Desktop") << true << false << QStringList{desktopError} << "/Ornvale";
    QTest::newRow("neither, in order")
        << false << false << QStringList{appDataError, desktopError} << "/Ornvale";
}

void TestStartup::folderFailures() {
    QFETCH(bool, appData);
    QFETCH(bool, desktop);
    QFETCH(QStringList, texts);
    QFETCH(QString, output);
    if (!appData)
        m_folders.appData.reset();
    if (!desktop)
        m_folders.desktop.reset();
    m_record.savedSelection = 41;
    const StartupResult result = start();
    QCOMPARE(m_prompter.texts(), texts);
    for (const auto& message : m_prompter.messages())
        QCOMPARE(message.title, QStringLiteral("Ornvale"));
    QCOMPARE(result.runValues.appDataFolder,
             appData ? QStringLiteral("/home/u/.local/share/ornvale") : QString());
    QCOMPARE(result.runValues.outputFolder, QDir::toNativeSeparators(output));
    QCOMPARE(result.settingsWindow.outputFolderLabel, QDir::toNativeSeparators(output));
    // Start-up goes on: the stored product is still in effect.
    QCOMPARE(result.runValues.autocadSelection, 41);
}

void TestStartup::outputFolderAndCarriedValues() {
    m_record.savedSelection = 6;
    m_record.singleDocumentMode = 1;
    m_record.outputFolderPath = QStringLiteral("/data/出力   ");
    m_record.reservedText = QStringLiteral("予約");
    const StartupResult result = start();
    const RunValues& values = result.runValues;
    QCOMPARE(values.windowsDirectory, m_dir->path());
    QCOMPARE(values.scriptPath,
             QDir::toNativeSeparators(m_dir->path() + QStringLiteral("/scriptC.scr")));
    QCOMPARE(values.outputFolder, QStringLiteral("/data/出力"));
    QCOMPARE(result.settingsWindow.outputFolderLabel, QStringLiteral("/data/出力"));
    QCOMPARE(values.singleDocumentMode, 1);
    QVERIFY(result.settingsWindow.singleDocumentChecked);
    QCOMPARE(values.reservedText, QStringLiteral("予約"));
    QCOMPARE(values.desktopFolder, QStringLiteral("/home/u/Desktop"));
}

// First start with no file and one product installed; the end button records it, the next
// start uses it without testing for it.
void TestStartup::detectedProductIsStoredAtExit() {
    m_files.addFile(allDefaultPaths()[5]);
    const StartupResult first = runStartup(m_folders, m_files, m_prompter);
    QCOMPARE(first.runValues.autocadSelection, 16);
    QVERIFY(saveSettings(first.runValues, m_folders).written);
    const SettingsRecord stored = SettingsFile::read(m_dir->path());
    QCOMPARE(stored.savedSelection, 16.0);
    QCOMPARE(stored.customPathFlag, 0);
    QCOMPARE(stored.outputFolderPath,
             QDir::toNativeSeparators(QStringLiteral("/home/u/Desktop/Ornvale")));

    m_files = test::FakeFileSystemProbe();
    const StartupResult second = runStartup(m_folders, m_files, m_prompter);
    QCOMPARE(second.runValues.autocadSelection, 16);
    QCOMPARE(second.settingsWindow.selectedOption, 8);
    QCOMPARE(m_files.tested, QStringList());
}

// A saved product that is no longer installed is used anyway, and stored again at exit;
// choosing "AutoCADなし" (pending 0) in between still stores the product in effect.
void TestStartup::savedSelectionSurvivesARun() {
    m_record.savedSelection = 16;
    StartupResult result = start();
    QCOMPARE(result.runValues.autocadExePath, allDefaultPaths()[5]);
    result.runValues.pendingSelection = 0;
    QVERIFY(saveSettings(result.runValues, m_folders).written);
    QCOMPARE(SettingsFile::read(m_dir->path()).savedSelection, 16.0);
}

// A selection the command line gives takes the stored one's place and is not looked for; the
// executable follows it as it follows a stored one.
void TestStartup::givenSelectionIsNoDetection_data() {
    QTest::addColumn<int>("given");
    QTest::addColumn<bool>("customPath");
    QTest::addColumn<QString>("exe");
    QTest::newRow("a product, default installation")
        << 17 << false << u"C:\\Program Files\\AutoCAD 2006\\acad.exe"_s;
    QTest::newRow("a product, custom path") << 17 << true << u"/opt/acad"_s;
    QTest::newRow("no product") << 0 << false << QString();
}

void TestStartup::givenSelectionIsNoDetection() {
    QFETCH(int, given);
    QFETCH(bool, customPath);
    QFETCH(QString, exe);
    for (const QString& path : allDefaultPaths())
        m_files.addFile(path); // detection would find 2007 first
    m_record.savedSelection = 5;
    m_record.customPathFlag = customPath ? 1 : 0;
    m_record.customExePath = u"/opt/acad"_s;
    if (!m_dir->isValid() || !SettingsFile::write(m_dir->path(), m_record))
        QFAIL("cannot write the settings file");
    const StartupResult result = runStartup(m_folders, m_files, m_prompter, quint8(given));
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(m_files.tested, QStringList());
    QCOMPARE(result.runValues.autocadSelection, given);
    QCOMPARE(result.runValues.autocadExePath, exe);

    // Without one, a stored 0 detects and a machine without products is told so.
    m_record.savedSelection = 0;
    m_files = test::FakeFileSystemProbe();
    QCOMPARE(start().runValues.autocadSelection, 0);
    QCOMPARE(m_prompter.texts(), QStringList{kNoProduct});
}

// The folder start-up settles, the one the settings file leaves empty and the one the
// job's question calls the desktop's are the same, with or without a desktop folder.
void TestStartup::defaultOutputFolderIsOneFolder_data() {
    QTest::addColumn<bool>("desktop");
    QTest::newRow("desktop") << true;
    QTest::newRow("no desktop") << false;
}

void TestStartup::defaultOutputFolderIsOneFolder() {
    QFETCH(bool, desktop);
    if (!desktop)
        m_folders.desktop.reset();
    m_record.savedSelection = 41;
    const StartupResult result = start();
    const RunValues& values = result.runValues;
    QCOMPARE(values.outputFolder, defaultOutputFolder(values.desktopFolder));
    QCOMPARE(result.settingsWindow.outputFolderLabel, values.outputFolder);
    QVERIFY(QDir::isAbsolutePath(QDir::fromNativeSeparators(values.outputFolder)));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "TestStartup.moc"
