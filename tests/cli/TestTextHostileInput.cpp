#include "CliProcess.h"
#include "FaultCli.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace ornvale::test;
using namespace Qt::StringLiterals;

namespace {

// Upper case changes every "abc" of these drawings and nothing else.
const QStringList kUpper{u"--selection"_s, u"41"_s, u"--case"_s, u"upper"_s, u"--json"_s};
const QByteArray kEarlier = "an earlier file\r\n";

// A message about one file as stderr shows it.
QString perFile(const QString& path, const QString& reason) {
    return path + u" は、 \n\n"_s + reason;
}

QByteArray entities(const QByteArrayList& lines) {
    return joinLines(headerLines() + blocksLines() + entitiesStart() + lines);
}

// An MTEXT whose "  3" parts before its "  1" value come to more than 1 MiB.
QByteArrayList hugeMtext() {
    QByteArrayList lines{"  0", "MTEXT", "100", "AcDbEntity", "100", "AcDbMText"};
    for (int i = 0; i < 4500; ++i)
        lines += {"  3", QByteArray(250, 'a')};
    return lines + QByteArrayList{"  1", "abc", " 44", "1.0"};
}

} // namespace

// ornvale-cli text on names, files and links chosen to break it: nothing is written where it
// must not be, and every file that cannot be done as asked is named with the reason.
class TestTextHostileInput : public QObject {
    Q_OBJECT
private slots:
    void init();
    void namesTooShortForAnOutputAreRefused();
    void outputThatIsALinkIsRefused_data();
    void outputThatIsALinkIsRefused();
    void unreadableFilesAreNamed_data();
    void unreadableFilesAreNamed();
    void convertedFilesCarryTheirNotes_data();
    void convertedFilesCarryTheirNotes();
    void moreFilesThanTheWindowTakesAreRefused();
    void controlCharactersInNamesAreEscaped();

private:
    QString path(const QString& name) const { return m_home->filePath(name); }
    static QJsonArray files(const CliRun& run) {
        return QJsonDocument::fromJson(run.outBytes).object()[u"files"_s].toArray();
    }

    std::unique_ptr<QTemporaryDir> m_home;
};

void TestTextHostileInput::init() {
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

// Four characters cut off "sub/dxf" would leave "sub": the output would land beside the
// folder. ".dxf" and "adxf" have no name left at all.
void TestTextHostileInput::namesTooShortForAnOutputAreRefused() {
    QVERIFY(QDir(m_home->path()).mkdir(u"sub"_s));
    const QStringList inputs{path(u"sub/dxf"_s), path(u"sub/.dxf"_s), path(u"sub/adxf"_s)};
    for (const QString& input : inputs)
        QVERIFY(writeFile(input, drawing({textEntity("abc")})));
    QVERIFY(writeFile(path(u"sub-T.dxf"_s), kEarlier));

    const CliRun run = runCli(*m_home, u"text"_s, kUpper + inputs);
    QCOMPARE(run.exitCode, 1);
    const QString reason =
        u"ファイル名が短いため、同じフォルダに出力ファイル名を決められません。"_s;
    const QJsonArray outcomes = files(run);
    QCOMPARE(outcomes.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(outcomes[i][u"status"_s].toString(), u"failed"_s);
        QCOMPARE(outcomes[i][u"message"_s].toString(), reason);
        QVERIFY2(run.err.contains(perFile(inputs[i], reason)), qPrintable(run.err));
    }
    QCOMPARE(readFile(path(u"sub-T.dxf"_s)), kEarlier);
    QCOMPARE(namesIn(m_home->path()), QStringList{u"sub-T.dxf"_s});
    QCOMPARE(namesIn(path(u"sub"_s)), (QStringList{u".dxf"_s, u"adxf"_s, u"dxf"_s}));
}

void TestTextHostileInput::outputThatIsALinkIsRefused_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("link to another file") << u"victim.txt"_s;
    QTest::newRow("link to nothing yet") << u"nowhere.txt"_s;
}

void TestTextHostileInput::outputThatIsALinkIsRefused() {
#ifdef Q_OS_WIN
    QSKIP("links made there are shell shortcuts, plain files to the file system");
#endif
    QFETCH(QString, target);
    const QString input = path(u"a.dxf"_s);
    const QString output = path(u"a-T.dxf"_s);
    QVERIFY(writeFile(input, drawing({textEntity("abc")})));
    QVERIFY(writeFile(path(u"victim.txt"_s), kEarlier));
    QVERIFY(QFile::link(path(target), output));

    const CliRun run = runCli(*m_home, u"text"_s, kUpper + QStringList{input});
    QCOMPARE(run.exitCode, 1);
    const QString reason =
        u"出力ファイル %1 はシンボリックリンクのため、上書きできません。"_s.arg(output);
    QCOMPARE(files(run)[0][u"message"_s].toString(), reason);
    QVERIFY2(run.err.contains(perFile(input, reason)), qPrintable(run.err));
    QCOMPARE(readFile(path(u"victim.txt"_s)), kEarlier);
    QVERIFY(!QFile::exists(path(u"nowhere.txt"_s)));
    QCOMPARE(QFileInfo(output).symLinkTarget(), path(target));
}

void TestTextHostileInput::unreadableFilesAreNamed_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    const QString notRegular =
        u"通常のファイルではない（パイプやデバイスなど）ため、読み込めません。"_s;
    const QList<std::pair<QString, QString>> kinds{
        {u"missing"_s, u"ファイルが見つかりません。"_s},
        {u"empty"_s, u"ファイルが空です。"_s},
        {u"folder"_s, QString()}, // an empty folder, named for the drawings it lacks
#ifndef Q_OS_WIN // no named pipes, device links or read permission bits to make there
        {u"pipe"_s, notRegular},
        {u"device"_s, notRegular},
        {u"no read permission"_s, u"読み取りの権限がないため、ファイルを開けません。"_s},
#endif
    };
    for (const QString& command : {u"text"_s, u"convert"_s}) {
        for (const auto& [kind, reason] : kinds) {
            const QString shown = kind != u"folder"_s ? reason
                                  : command == u"text"_s
                                      ? u"DXFファイルが含まれていません。"_s
                                      : u"DWG・DXFファイルが含まれていません。"_s;
            QTest::addRow("%s: %s", qPrintable(command), qPrintable(kind))
                << command << kind << shown;
        }
    }
}

void TestTextHostileInput::unreadableFilesAreNamed() {
    QFETCH(QString, command);
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString file = path(u"x.dxf"_s);
    if (kind == u"empty"_s) {
        QVERIFY(writeFile(file, {}));
    } else if (kind == u"folder"_s) {
        QVERIFY(QDir().mkdir(file));
    }
#ifndef Q_OS_WIN
    const QByteArray encoded = QFile::encodeName(file);
    if (kind == u"pipe"_s) {
        QCOMPARE(::mkfifo(encoded.constData(), 0644), 0);
    } else if (kind == u"device"_s) {
        QVERIFY(QFile::link(u"/dev/null"_s, file));
    } else if (kind == u"no read permission"_s) {
        if (::geteuid() == 0)
            QSKIP("runs as root, which reads a file without read permission");
        QVERIFY(writeFile(file, drawing({textEntity("abc")})));
        QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
    }
#endif
    const QStringList args =
        command == u"text"_s
            ? kUpper + QStringList{file}
            : QStringList{u"--selection"_s, u"41"_s, u"--script-out"_s, path(u"s.scr"_s), file};
    const CliRun run = runCli(*m_home, command, args);
    QCOMPARE(run.exitCode, 1);
    // The main window's intake names the file with the platform's separators.
    const QString named = command == u"convert"_s ? QDir::toNativeSeparators(file) : file;
    QVERIFY2(run.err.contains(perFile(named, reason)), qPrintable(run.err));
    if (command == u"text"_s) {
        QCOMPARE(files(run)[0][u"status"_s].toString(), u"refused"_s);
        QCOMPARE(files(run)[0][u"message"_s].toString(), reason);
    }
    QVERIFY(!QFile::exists(path(u"x-T.dxf"_s)));
}

void TestTextHostileInput::convertedFilesCarryTheirNotes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QByteArray>("converted");
    const QString longValue =
        u"1 MiB を超えるため変換しなかった値が 1 個あります（そのまま出力しました）。"_s;
    QTest::newRow("TEXT value over 1 MiB")
        << entities(textEntity(QByteArray(1536 * 1024, 'a')) + textEntity("abc") + fileEnd())
        << longValue << QByteArray("\r\nABC\r\n");
    QTest::newRow("MTEXT parts over 1 MiB") << entities(hugeMtext() + textEntity("abc") + fileEnd())
                                            << longValue << QByteArray("\r\nABC\r\n");
    QTest::newRow("cut inside an entity")
        << entities(textEntity("abc") + QByteArrayList{"  0", "TEXT", "100", "AcDbText", "  1"})
        << u"図形の途中でファイルが終わっています（最後の EOF がありません）。読めたところまでを出力しました。"_s
        << QByteArray("\r\nABC\r\n");
    QTest::newRow("no EOF")
        << entities(textEntity("abc") + QByteArrayList{"  0", "ENDSEC"})
        << u"ファイルの最後に EOF がなく、途中で切れている可能性があります。読めたところまでを出力しました。"_s
        << QByteArray("\r\nABC\r\n");
    QTest::newRow("complete drawing")
        << drawing({textEntity("abc")}) << QString() << QByteArray("\r\nABC\r\n");
}

// Such files are still converted, as far as they go, but the outcome says what is missing.
void TestTextHostileInput::convertedFilesCarryTheirNotes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, note);
    QFETCH(QByteArray, converted);
    const QString input = path(u"a.dxf"_s);
    QVERIFY(writeFile(input, bytes));

    const CliRun run = runCli(*m_home, u"text"_s, kUpper + QStringList{input});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    const QJsonObject outcome = files(run)[0].toObject();
    QCOMPARE(outcome[u"status"_s].toString(), u"converted"_s);
    const QJsonArray expected = note.isEmpty() ? QJsonArray() : QJsonArray{note};
    QCOMPARE(outcome[u"notes"_s].toArray(), expected);
    if (note.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.contains(perFile(input, note)), qPrintable(run.err));
    const QByteArray output = readFile(path(u"a-T.dxf"_s));
    QVERIFY(output.contains(converted));
    // A value left as it was is there whole.
    QCOMPARE(output.size(), bytes.size());
}

// The text window's list holds 999 files; the command line takes no more.
void TestTextHostileInput::moreFilesThanTheWindowTakesAreRefused() {
    const QString input = path(u"a.dxf"_s);
    QVERIFY(writeFile(input, drawing({textEntity("abc")})));
    // Named relative to the working folder: a Windows command line holds 32767 characters.
    const CliRun run = runCli(*m_home, u"text"_s, kUpper + QStringList(1000, u"a.dxf"_s));
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith(u"処理可能ファイル数を超えます。\n"_s), qPrintable(run.err));
    const QJsonArray outcomes = files(run);
    QCOMPARE(outcomes.size(), 1000);
    QCOMPARE(outcomes[999][u"status"_s].toString(), u"refused"_s);
    QVERIFY(!QFile::exists(path(u"a-T.dxf"_s)));
}

// A name can hold escape sequences that would clear or recolour the terminal: they are shown
// escaped, and the JSON on stdout escapes them as JSON does.
void TestTextHostileInput::controlCharactersInNamesAreEscaped() {
#ifdef Q_OS_WIN
    QSKIP("file names there cannot hold control characters");
#endif
    const QString refused = path(u"a\x1b[2J\x07.dxf"_s);
    const QString skipped = path(u"b\x1b]0;title\x07.txt"_s);
    QVERIFY(writeFile(refused, "not a drawing\r\n"));
    QVERIFY(writeFile(skipped, "not a drawing\r\n"));

    const CliRun run = runCli(*m_home, u"text"_s, kUpper + QStringList{refused, skipped});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(!run.err.contains(u'\x1b') && !run.err.contains(u'\x07'), qPrintable(run.err));
    QVERIFY2(run.err.contains(path(u"a\\x1B[2J\\x07.dxf"_s)), qPrintable(run.err));
    QVERIFY2(run.err.contains(path(u"b\\x1B]0;title\\x07.txt"_s)), qPrintable(run.err));
    QVERIFY(!run.outBytes.contains('\x1b'));
    QCOMPARE(files(run)[0][u"input"_s].toString(), refused);
}

QTEST_GUILESS_MAIN(TestTextHostileInput)
#include "TestTextHostileInput.moc"
