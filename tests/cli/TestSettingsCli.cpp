#include "CliProcess.h"
#include "ProgramFolders.h"
#include "SettingsFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace ornvale;
using ornvale::test::CliRun;
using ornvale::test::runCli;

class TestSettingsCli : public QObject {
    Q_OBJECT

private slots:
    void init();
    void showPrintsTheSettledValues();
    void setWritesAsEndWould();
    void setKeepsBytesItDoesNotSet();
    void customPathMustExistWhenInUse();
    void customPathFollowsTheWindowsOk();
    void everyValueCheckedBeforeWriting();
    void refusedValues_data();
    void refusedValues();
    void usageErrors_data();
    void usageErrors();
    void damagedSettingsFileIsNamed_data();
    void damagedSettingsFileIsNamed();
    void help();

private:
    CliRun run(const QStringList& args);
    QString configFolder() const { return m_folders.windowsDirectory; }
    QString settingsFile() const { return m_folders.settingsFile(); }

    std::unique_ptr<QTemporaryDir> m_home;
    test::ProgramFolders m_folders;
};

void TestSettingsCli::init() {
    m_home = std::make_unique<QTemporaryDir>();
    m_folders = test::programFolders(*m_home);
    test::clearProgramFolders(m_folders);
}

CliRun TestSettingsCli::run(const QStringList& args) {
    return runCli(*m_home, QStringLiteral("settings"), args);
}

void TestSettingsCli::showPrintsTheSettledValues() {
    const CliRun shown = run({QStringLiteral("--show")});
    QCOMPARE(shown.exitCode, 0);
    QVERIFY2(shown.out.contains(QStringLiteral("settingsFile: ") + settingsFile()),
             qPrintable(shown.out));
    QVERIFY(shown.out.contains(QStringLiteral("autocadSelection: 0\n")));
    QVERIFY(shown.out.contains(QStringLiteral("outputFolder: ") + m_folders.defaultOutputFolder() +
                               u'\n'));
    QVERIFY(shown.out.contains(QStringLiteral("scriptPath: ") + m_folders.scriptFile() + u'\n'));
    // Start-up's message, without its title, on stderr.
    QCOMPARE(shown.err, QStringLiteral("AutoCADのﾊﾞｰｼﾞｮﾝを特定できません。\n"
                                       "環境設定画面で設定して下さい。\n"));
    // No arguments shows too.
    QCOMPARE(run({}).out, shown.out);
}

void TestSettingsCli::setWritesAsEndWould() {
    const QString output = m_home->filePath(QStringLiteral("変換先"));
    const CliRun set =
        run({QStringLiteral("--set-selection"), QStringLiteral("5"),
             QStringLiteral("--set-single-document=1"), QStringLiteral("--set-output"), output});
    QCOMPARE(set.exitCode, 0);
    const SettingsRecord stored = SettingsFile::read(configFolder());
    QCOMPARE(stored.savedSelection, 5.0);
    QCOMPARE(stored.singleDocumentMode, 1);
    QCOMPARE(stored.customPathFlag, 0);
    QCOMPARE(stored.outputFolderPath, QDir::toNativeSeparators(output));
    QCOMPARE(QFileInfo(SettingsFile::path(configFolder())).size(), 670);

    // The next start uses the stored product without looking for it.
    const CliRun shown = run({QStringLiteral("--show")});
    QVERIFY2(shown.out.contains(QStringLiteral("autocadSelection: 5 (AutoCAD LT 2004)\n")),
             qPrintable(shown.out));
    QVERIFY(shown.out.contains(
        QStringLiteral("autocadExePath: C:\\Program Files\\AutoCAD LT 2004\\aclt.exe\n")));
    QCOMPARE(shown.err, QString());

    // Selection 0 keeps the product in effect, as "AutoCADなし" does.
    QCOMPARE(run({QStringLiteral("--set-selection"), QStringLiteral("0")}).exitCode, 0);
    QCOMPARE(SettingsFile::read(configFolder()).savedSelection, 5.0);
}

void TestSettingsCli::setKeepsBytesItDoesNotSet() {
    QVERIFY(QDir().mkpath(configFolder()));
    QByteArray stored(670, '\0');
    qToLittleEndian<double>(41.0, stored.data());
    stored.replace(210, 6, "\x81\x40keep"); // reserved text, kept byte for byte
    stored.replace(10, 12, "/opt/acad.sh");
    stored.append("after the record");
    QFile file(SettingsFile::path(configFolder()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(stored);
    file.close();

    QCOMPARE(run({QStringLiteral("--set-single-document"), QStringLiteral("1")}).exitCode, 0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray after = file.readAll();
    QCOMPARE(after.size(), stored.size());
    QCOMPARE(after.mid(210, 200), stored.mid(210, 200));
    QCOMPARE(after.mid(10, 200), stored.mid(10, 200));
    QCOMPARE(after.mid(670), QByteArray("after the record"));
    QCOMPARE(qFromLittleEndian<double>(after.constData()), 41.0);
    QCOMPARE(after.at(9), '\x01');
}

void TestSettingsCli::customPathMustExistWhenInUse() {
    const QString missing = m_home->filePath(QStringLiteral("acad.exe"));
    const CliRun refused = run({QStringLiteral("--set-default-install"), QStringLiteral("0"),
                                QStringLiteral("--set-custom-path"), missing});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY(refused.err.contains(QStringLiteral("AutoCAD起動ファイル が存在しません！")));
    QCOMPARE(SettingsFile::read(configFolder()).customPathFlag, 0);

    QFile exe(missing);
    QVERIFY(exe.open(QIODevice::WriteOnly));
    exe.close();
    QCOMPARE(run({QStringLiteral("--set-default-install"), QStringLiteral("0"),
                  QStringLiteral("--set-custom-path"), missing})
                 .exitCode,
             0);
    const SettingsRecord stored = SettingsFile::read(configFolder());
    QCOMPARE(stored.customPathFlag, 1);
    QCOMPARE(stored.customExePath, missing);
    QVERIFY(run({}).out.contains(QStringLiteral("autocadExePath: ") + missing + u'\n'));
}

// The path is the settings window's box, which OK takes only with the default installation off:
// an existing file whose path the settings file cannot hold is refused, and the box is not set
// while it is out of view.
void TestSettingsCli::customPathFollowsTheWindowsOk() {
    const QString folder = m_home->filePath(QString(60, QChar(0x56f3)));
    QVERIFY(QDir().mkpath(folder));
    const QString exe = folder + u'/' + QString(41, QChar(0x56f3));
    QFile file(exe);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const CliRun tooLong = run({QStringLiteral("--set-default-install"), QStringLiteral("0"),
                                QStringLiteral("--set-custom-path"), exe});
    QCOMPARE(tooLong.exitCode, 1);
    QVERIFY2(tooLong.err.contains(QStringLiteral("200バイトまで")), qPrintable(tooLong.err));

    const CliRun hidden = run({QStringLiteral("--set-custom-path"), exe});
    QCOMPARE(hidden.exitCode, 2);
    QVERIFY2(hidden.err.contains(QStringLiteral("'--set-custom-path'")), qPrintable(hidden.err));
    QCOMPARE(QFileInfo(SettingsFile::path(configFolder())).size(), 0);
}

// A custom path that passes its test does not let an unstorable output folder through.
void TestSettingsCli::everyValueCheckedBeforeWriting() {
    const QString exe = m_home->filePath(QStringLiteral("acad.exe"));
    QFile file(exe);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString cafe = m_home->filePath(QStringLiteral("Café"));
    QVERIFY(QDir().mkpath(cafe));
    const CliRun refused =
        run({QStringLiteral("--set-default-install"), QStringLiteral("0"),
             QStringLiteral("--set-custom-path"), exe, QStringLiteral("--set-output"), cafe});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(QDir::toNativeSeparators(cafe) + QStringLiteral(" は、 \n\n")),
             qPrintable(refused.err));
    QCOMPARE(QFileInfo(SettingsFile::path(configFolder())).size(), 0);
    const CliRun shown = run({QStringLiteral("--show")});
    QVERIFY(shown.out.contains(QStringLiteral("defaultInstall: 1\n")));
    QVERIFY(shown.out.contains(QStringLiteral("outputFolder: ") + m_folders.defaultOutputFolder() +
                               u'\n'));
}

void TestSettingsCli::refusedValues_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error");

    // HOME/ stands for the test's home folder (the folders are made absolute before the check).
    QTest::newRow("output not in code page 932")
        << QStringList{QStringLiteral("--set-output"), QStringLiteral("HOME/Café")}
        << QStringLiteral("HOME/Café は、 \n\n設定ファイルに保存できない文字");
    QTest::newRow("output longer than its field")
        << QStringList{QStringLiteral("--set-output"), QStringLiteral("HOME/") + QString(260, u'x')}
        << QStringLiteral("260バイトまで");
}

void TestSettingsCli::refusedValues() {
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    const QString home = QDir::toNativeSeparators(m_home->path() + u'/');
    args.replaceInStrings(QStringLiteral("HOME/"), home);
    error.replace(QStringLiteral("HOME/"), home);
    const CliRun refused = run(args);
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(error), qPrintable(refused.err));
    // Nothing written: the file is still the empty one start-up created.
    QCOMPARE(QFileInfo(SettingsFile::path(configFolder())).size(), 0);
}

void TestSettingsCli::usageErrors_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("named");

    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--colour")} << QStringLiteral("--colour");
    QTest::newRow("unknown selection code")
        << QStringList{QStringLiteral("--set-selection"), QStringLiteral("9")}
        << QStringLiteral("--set-selection");
    QTest::newRow("flag not 0 or 1")
        << QStringList{QStringLiteral("--set-default-install"), QStringLiteral("yes")}
        << QStringLiteral("--set-default-install");
    QTest::newRow("missing value")
        << QStringList{QStringLiteral("--set-output")} << QStringLiteral("--set-output");
    QTest::newRow("show with a change")
        << QStringList{QStringLiteral("--show"), QStringLiteral("--set-single-document=0")}
        << QStringLiteral("--show");
}

void TestSettingsCli::usageErrors() {
    QFETCH(QStringList, args);
    QFETCH(QString, named);
    const CliRun failed = run(args);
    QCOMPARE(failed.exitCode, 2);
    QVERIFY2(failed.err.contains(named), qPrintable(failed.err));
    QVERIFY(!QFileInfo::exists(SettingsFile::path(configFolder())));
}

void TestSettingsCli::damagedSettingsFileIsNamed_data() {
    QTest::addColumn<QByteArray>("bytes"); // empty: a folder under the name
    QTest::addColumn<QStringList>("reasons");
    QTest::newRow("a folder")
        << QByteArray()
        << QStringList{QStringLiteral(
               "フォルダのため、設定ファイルとして読み込めません。既定の設定で動作します。")};
    QByteArray garbage(670, ' ');
    qToLittleEndian<double>(99.0, garbage.data());
    garbage[8] = 0x5A;
    garbage[9] = 0x07;
    garbage.replace(10, 9, "C:\\a\x1b[2Jb");
    garbage.replace(210, 1, "\x81");
    QTest::newRow("garbage")
        << garbage
        << QStringList{QStringLiteral("保存されている AutoCAD の選択コード（99）"
                                      "はどの製品のものでもないため、0（自動検出）"
                                      "として読みました。"),
                       QStringLiteral("customPathFlag の値（90）が 0 でも 1 でもありません。"),
                       QStringLiteral("singleDocumentMode の値（7）が 0 でも 1 でもありません。"),
                       QStringLiteral("customExePath に制御文字が含まれています。"),
                       QStringLiteral("reservedText に文字として読めないバイトがあります。")};
}

// --show says what start-up could not make of the file, naming it, and prints no raw bytes.
void TestSettingsCli::damagedSettingsFileIsNamed() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, reasons);
    const QString settings = settingsFile();
    QVERIFY(QDir().mkpath(bytes.isEmpty() ? settings : configFolder()));
    if (!bytes.isEmpty()) {
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    const CliRun shown = run({QStringLiteral("--show")});
    QCOMPARE(shown.exitCode, 0);
    const QString warning =
        settings + QStringLiteral(" は、 \n\n") + reasons.join(QLatin1Char('\n')) + u'\n';
    QVERIFY2(shown.err.contains(warning), qPrintable(shown.err));
    QVERIFY(!shown.outBytes.contains('\x1b'));
    if (!bytes.isEmpty())
        QVERIFY2(shown.out.contains(QStringLiteral("customExePath: C:\\a\\x1B[2Jb\n")),
                 qPrintable(shown.out));
}

void TestSettingsCli::help() {
    const CliRun help = run({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(QStringLiteral("--set-default-install 0|1")));
}

QTEST_GUILESS_MAIN(TestSettingsCli)
#include "TestSettingsCli.moc"
