#include "ProductTable.h"
#include "SettingsFieldRule.h"
#include "SettingsWindowModel.h"
#include "mock/FakeFileSystemProbe.h"
#include "mock/RecordingPrompter.h"

#include <QTest>

using namespace ornvale;
using namespace Qt::StringLiterals;

namespace {

const QString kMissingExe = u"AutoCAD起動ファイル が存在しません！"_s;

} // namespace

class TestSettingsWindowModel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadSelectsTheProduct_data();
    void loadSelectsTheProduct();
    void optionClickIsPendingAtOnce();
    void okTestsThePathOnlyWhenUnticked_data();
    void okTestsThePathOnlyWhenUnticked();
    void fieldRule_data();
    void fieldRule();

private:
    RunValues m_values;
    test::FakeFileSystemProbe m_files;
    test::RecordingPrompter m_prompter;
};

void TestSettingsWindowModel::init() {
    m_values = RunValues();
    m_values.autocadSelection = 16;
    m_values.autocadExePath = u"C:\\Program Files\\AutoCAD 2005\\acad.exe"_s;
    m_values.defaultInstallFlag = 1;
    m_values.outputFolder = u"/home/u/Desktop/Ornvale"_s;
    m_files = test::FakeFileSystemProbe();
    m_files.addFile(u"/opt/acad/acad.exe"_s);
    m_prompter.clear();
}

void TestSettingsWindowModel::loadSelectsTheProduct_data() {
    QTest::addColumn<double>("pending");
    QTest::addColumn<int>("selection");
    QTest::addColumn<int>("option");
    QTest::addColumn<double>("pendingAfter");

    QTest::newRow("product in effect") << 0.0 << 16 << 8 << 16.0;
    QTest::newRow("pending choice wins") << 41.0 << 16 << 9 << 41.0;
    QTest::newRow("no product shows AutoCADなし") << 0.0 << 0 << 6 << 0.0;
    QTest::newRow("Mechanical") << 18.0 << 3 << 10 << 18.0;
}

// Selecting the option clicks it, so the product shown is the one the end button stores.
void TestSettingsWindowModel::loadSelectsTheProduct() {
    QFETCH(double, pending);
    QFETCH(int, selection);
    QFETCH(int, option);
    QFETCH(double, pendingAfter);
    m_values.pendingSelection = pending;
    m_values.autocadSelection = static_cast<quint8>(selection);
    m_values.customExePath = u"/opt/acad/acad.exe"_s;
    m_values.singleDocumentMode = 1;
    SettingsWindowModel model(m_values, m_files, m_prompter);
    model.load();
    QCOMPARE(model.state().selectedOption, option);
    QCOMPARE(m_values.pendingSelection, pendingAfter);
    QVERIFY(model.state().defaultInstallChecked);
    QVERIFY(model.state().singleDocumentChecked);
    QCOMPARE(model.state().customPathText, u"/opt/acad/acad.exe"_s);
    QCOMPARE(model.state().outputFolderLabel, u"/home/u/Desktop/Ornvale"_s);
}

void TestSettingsWindowModel::optionClickIsPendingAtOnce() {
    SettingsWindowModel model(m_values, m_files, m_prompter);
    model.load();
    // Every option sets its own code, read from the product table's option list.
    for (const SettingsOption& option : settingsOptions()) {
        model.clickOption(option.index);
        QCOMPARE(m_values.pendingSelection, double(option.selectionCode));
        QCOMPARE(model.state().selectedOption, option.index);
    }
    model.clickOption(11); // no such option: nothing changes
    QCOMPARE(m_values.pendingSelection, 18.0);
    // The running program keeps its product.
    QCOMPARE(m_values.autocadSelection, 16);
    QCOMPARE(m_values.autocadExePath, u"C:\\Program Files\\AutoCAD 2005\\acad.exe"_s);
}

void TestSettingsWindowModel::okTestsThePathOnlyWhenUnticked_data() {
    QTest::addColumn<bool>("defaultInstall");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message"); // part of the message; empty: accepted

    QTest::newRow("unticked, empty") << false << QString() << kMissingExe;
    QTest::newRow("unticked, blanks only") << false << u"   "_s << kMissingExe;
    QTest::newRow("unticked, no such file") << false << u"/opt/acad/acadlt.exe"_s << kMissingExe;
    QTest::newRow("unticked, existing file with trailing blanks")
        << false << u"/opt/acad/acad.exe  "_s << QString();
    QTest::newRow("ticked, empty path is not tested") << true << QString() << QString();
    // Existing files whose path the settings file cannot hold.
    QTest::newRow("unticked, not in code page 932")
        << false << u"/opt/Café/acad.exe"_s << u"/opt/Café/acad.exe は、 \r\n\r\n"_s;
    QTest::newRow("unticked, over 200 bytes")
        << false << u"/"_s + QString(120, QChar(0x56f3)) << u"200バイトまで"_s;
}

void TestSettingsWindowModel::okTestsThePathOnlyWhenUnticked() {
    QFETCH(bool, defaultInstall);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    m_values.customExePath = u"/old/acad.exe"_s;
    m_files.addFile(u"/opt/Café/acad.exe"_s);
    m_files.addFile(u"/"_s + QString(120, QChar(0x56f3)));
    SettingsWindowModel model(m_values, m_files, m_prompter);
    model.load();
    model.setDefaultInstallChecked(defaultInstall);
    model.setSingleDocumentChecked(true);
    model.setCustomPathText(typed);
    const bool accepted = model.accept();
    QCOMPARE(accepted, message.isEmpty());
    if (!accepted) {
        QCOMPARE(m_prompter.messages().size(), 1);
        QVERIFY2(m_prompter.messages().first().text.contains(message),
                 qPrintable(m_prompter.messages().first().text));
        QCOMPARE(m_prompter.messages().first().title, u"確認"_s);
        // Nothing is taken over.
        QCOMPARE(m_values.customExePath, u"/old/acad.exe"_s);
        QCOMPARE(m_values.defaultInstallFlag, 1);
        QCOMPARE(m_values.singleDocumentMode, 0);
        return;
    }
    QVERIFY(m_prompter.messages().isEmpty());
    QCOMPARE(m_values.customExePath, defaultInstall ? u"/old/acad.exe"_s : typed);
    QCOMPARE(m_values.defaultInstallFlag, defaultInstall ? 1 : 0);
    QCOMPARE(m_values.singleDocumentMode, 1);
    QCOMPARE(m_values.autocadExePath, u"C:\\Program Files\\AutoCAD 2005\\acad.exe"_s);
}

void TestSettingsWindowModel::fieldRule_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("problem");

    using P = SettingsFieldRule::Problem;
    const int path = int(SettingsTextField::CustomExePath);
    const int output = int(SettingsTextField::OutputFolderPath);
    QTest::newRow("empty") << path << QString() << int(P::None);
    QTest::newRow("100 kanji fill 200 bytes")
        << path << QString(100, QChar(0x56f3)) << int(P::None);
    QTest::newRow("101 kanji are 202 bytes")
        << path << QString(101, QChar(0x56f3)) << int(P::TooLong);
    QTest::newRow("200 half-width kana") << path << QString(200, QChar(0xff71)) << int(P::None);
    QTest::newRow("201 half-width kana") << path << QString(201, QChar(0xff71)) << int(P::TooLong);
    QTest::newRow("output folder is 260 wide") << output << QString(260, u'a') << int(P::None);
    QTest::newRow("accent") << output << u"/srv/Café"_s << int(P::Unrepresentable);
    QTest::newRow("emoji") << output << u"/srv/\U0001F600"_s << int(P::Unrepresentable);
}

void TestSettingsWindowModel::fieldRule() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, problem);
    const auto which = static_cast<SettingsTextField>(field);
    QCOMPARE(int(SettingsFieldRule::check(which, text)), problem);
    QCOMPARE(SettingsFieldRule::refusal(which, text).has_value(), problem != 0);
}

QTEST_GUILESS_MAIN(TestSettingsWindowModel)
#include "TestSettingsWindowModel.moc"
