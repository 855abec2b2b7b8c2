#include "SaveSettings.h"
#include "SettingsFile.h"
#include "SettingsRecord.h"
#include "mock/FakeFolderRoles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <cmath>
#include <limits>

using namespace ornvale;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray withSelection(double value) {
    QByteArray bytes(SettingsRecord::Size, '\0');
    qToLittleEndian<double>(value, bytes.data());
    return bytes;
}

QByteArray field(const QByteArray& record, qsizetype offset, qsizetype width) {
    return record.mid(offset, width);
}

} // namespace

class TestSettingsRecord : public QObject {
    Q_OBJECT

private slots:
    void layoutOfTheBytes();
    void writeThenReadBack_data();
    void writeThenReadBack();
    void textCutAtFieldWidth_data();
    void textCutAtFieldWidth();
    void trailingBlanksAndNulsRemovedOnRead();
    void unchangedTextKeepsItsBytes();
    void selectionCode_data();
    void selectionCode();
    void oddFilesReadWithoutFailing_data();
    void oddFilesReadWithoutFailing();
    void missingFileIsCreatedEmpty();
    void noWindowsDirectoryTouchesNothing();
    void saveKeepsBytesItDoesNotSet();
    void saveMapsTheRunValues_data();
    void saveMapsTheRunValues();
    void firstSaveWritesAWholeRecord();
    void unstorableTextKeepsStoredField();
    void saveMessageNamesWhatWasNotSaved();
    void unstorableDefaultFolderStoredAsEmpty();
};

void TestSettingsRecord::layoutOfTheBytes() {
    SettingsRecord record;
    record.savedSelection = 5.0;
    record.customPathFlag = 1;
    record.singleDocumentMode = 1;
    record.customExePath = QStringLiteral("C:\\a.exe");
    record.reservedText = QStringLiteral("r");
    record.outputFolderPath = QStringLiteral("出力");
    const QByteArray bytes = record.toBytes();
    QCOMPARE(bytes.size(), 670);
    QCOMPARE(bytes.left(8), QByteArray::fromHex("0000000000001440"));
    QCOMPARE(bytes.at(8), '\x01');
    QCOMPARE(bytes.at(9), '\x01');
    QCOMPARE(field(bytes, 10, 200), QByteArray("C:\\a.exe") + QByteArray(192, ' '));
    QCOMPARE(field(bytes, 210, 200), QByteArray("r") + QByteArray(199, ' '));
    QCOMPARE(field(bytes, 410, 260), QByteArray("\x8f\x6f\x97\xcd") + QByteArray(256, ' '));
}

void TestSettingsRecord::writeThenReadBack_data() {
    QTest::addColumn<double>("selection");
    QTest::addColumn<int>("flag");
    QTest::addColumn<int>("single");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<QString>("reserved");
    QTest::addColumn<QString>("output");

    QTest::newRow("all empty") << 0.0 << 0 << 0 << QString() << QString() << QString();
    QTest::newRow("ascii paths") << 41.0 << 1 << 1
                                 << QStringLiteral("C:\\Program Files\\AutoCAD 2007\\acad.exe")
                                 << QStringLiteral("keep")
                                 << QStringLiteral("/home/u/Desktop/Ornvale");
    QTest::newRow("japanese and half-width kana")
        << 3.0 << 0 << 1 << QStringLiteral("D:\\ｱﾌﾟﾘ\\製図.exe") << QString()
        << QStringLiteral("C:\\図面\\出力先");
    QTest::newRow("leading blanks kept")
        << 17.0 << 1 << 0 << QStringLiteral("  x") << QStringLiteral(" y") << QStringLiteral(" z");
}

void TestSettingsRecord::writeThenReadBack() {
    QFETCH(double, selection);
    QFETCH(int, flag);
    QFETCH(int, single);
    QFETCH(QString, custom);
    QFETCH(QString, reserved);
    QFETCH(QString, output);
    QTemporaryDir dir;
    SettingsRecord record;
    record.savedSelection = selection;
    record.customPathFlag = static_cast<quint8>(flag);
    record.singleDocumentMode = static_cast<quint8>(single);
    record.customExePath = custom;
    record.reservedText = reserved;
    record.outputFolderPath = output;
    QVERIFY(SettingsFile::write(dir.path(), record));
    QCOMPARE(QFileInfo(SettingsFile::path(dir.path())).size(), 670);

    const SettingsRecord back = SettingsFile::read(dir.path());
    QCOMPARE(back.savedSelection, selection);
    QCOMPARE(back.customPathFlag, flag);
    QCOMPARE(back.singleDocumentMode, single);
    QCOMPARE(back.customExePath, custom);
    QCOMPARE(back.reservedText, reserved);
    QCOMPARE(back.outputFolderPath, output);
}

void TestSettingsRecord::textCutAtFieldWidth_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("readBack");

    const QString a200(200, QLatin1Char('a'));
    const QString kanji100(100, QChar(0x56f3)); // 図, two bytes each
    QTest::newRow("200 characters survive") << a200 << a200;
    QTest::newRow("201 characters lose the last") << a200 + QLatin1Char('b') << a200;
    QTest::newRow("two-byte characters filling the field") << kanji100 << kanji100;
    QTest::newRow("cut inside a two-byte character drops it whole")
        << QLatin1Char('a') + kanji100 << QLatin1Char('a') + kanji100.left(99);
    QTest::newRow("half-width kana are one byte")
        << QString(201, QChar(0xff71)) << QString(200, QChar(0xff71));
}

void TestSettingsRecord::textCutAtFieldWidth() {
    QFETCH(QString, text);
    QFETCH(QString, readBack);
    SettingsRecord record;
    record.customExePath = text;
    const QByteArray bytes = record.toBytes();
    QCOMPARE(bytes.size(), 670);
    // Nothing spills into the next field.
    QCOMPARE(field(bytes, 210, 200), QByteArray(200, '\0'));
    QCOMPARE(SettingsRecord::fromBytes(bytes).customExePath, readBack);
}

void TestSettingsRecord::trailingBlanksAndNulsRemovedOnRead() {
    QByteArray bytes(670, '\0');
    bytes.replace(10, 8, "C:\\x  \0 ");
    bytes.replace(410, 12, "D:\\out      ");
    const SettingsRecord record = SettingsRecord::fromBytes(bytes);
    QCOMPARE(record.customExePath, QStringLiteral("C:\\x"));
    QCOMPARE(record.outputFolderPath, QStringLiteral("D:\\out"));
    QCOMPARE(record.reservedText, QString());
}

void TestSettingsRecord::unchangedTextKeepsItsBytes() {
    // ED 40 (an NEC-selected IBM extension) decodes to a character whose encoding is FA 5C, and
    // 81 is an invalid lone lead byte: neither survives a decode/encode round trip.
    QByteArray bytes(670, '\0');
    bytes.replace(210, 5, "\xed\x40x\x81y");
    bytes.replace(10, 3, "\xed\x40z");
    const SettingsRecord record = SettingsRecord::fromBytes(bytes);
    QCOMPARE(record.toBytes(), bytes);
}

void TestSettingsRecord::selectionCode_data() {
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("code");

    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("AutoCAD 2007") << 41.0 << 41;
    QTest::newRow("AutoCAD LT 2000i") << 3.0 << 3;
    QTest::newRow("rounded to the nearest code") << 16.4 << 16;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0;
    QTest::newRow("negative") << -5.0 << 0;
    QTest::newRow("huge") << 1e300 << 0;
    QTest::newRow("just above a byte") << 256.0 << 0;
    QTest::newRow("unknown code") << 9.0 << 0;
    QTest::newRow("smallest denormal") << std::numeric_limits<double>::denorm_min() << 0;
}

void TestSettingsRecord::selectionCode() {
    QFETCH(double, stored);
    QFETCH(int, code);
    QCOMPARE(SettingsRecord::fromBytes(withSelection(stored)).selectionCode(), code);
}

void TestSettingsRecord::oddFilesReadWithoutFailing_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<double>("selection");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<bool>("exact"); // false: garbage, only required to read at all

    QByteArray shortFile = withSelection(17.0).left(12);
    shortFile[10] = 'a';
    shortFile[11] = 'b';
    QByteArray overLong = withSelection(21.0);
    overLong.replace(10, 200, QByteArray(200, 'Z'));
    overLong.append(5000, 'Q');
    QByteArray garbage(670, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 151 + 7) % 256);

    QTest::newRow("empty") << QByteArray() << 0.0 << QString() << true;
    QTest::newRow("three bytes") << QByteArray("\x01\x02\x03") << 0.0 << QString() << true;
    QTest::newRow("short, cut inside a text field")
        << shortFile << 17.0 << QStringLiteral("ab") << true;
    QTest::newRow("over-long") << overLong << 21.0 << QString(200, QLatin1Char('Z')) << true;
    QTest::newRow("garbage") << garbage << 0.0 << QString() << false;
}

void TestSettingsRecord::oddFilesReadWithoutFailing() {
    QFETCH(QByteArray, content);
    QFETCH(double, selection);
    QFETCH(QString, custom);
    QFETCH(bool, exact);
    QTemporaryDir dir;
    writeAll(SettingsFile::path(dir.path()), content);
    const SettingsRecord record = SettingsFile::read(dir.path());
    if (exact) {
        QCOMPARE(record.savedSelection, selection);
        QCOMPARE(record.customExePath, custom);
        QCOMPARE(record.outputFolderPath, QString());
    } else {
        QCOMPARE(record.customExePath.size() > 0, true);
    }
    // Whatever was stored, the selection is a code start-up can work with.
    const quint8 code = record.selectionCode();
    QVERIFY(code == 0 || code == quint8(selection));
    // The file is never changed by reading it.
    QCOMPARE(readAll(SettingsFile::path(dir.path())), content);
}

void TestSettingsRecord::missingFileIsCreatedEmpty() {
    QTemporaryDir dir;
    const SettingsRecord record = SettingsFile::read(dir.path());
    QCOMPARE(record.savedSelection, 0.0);
    QCOMPARE(record.toBytes(), QByteArray(670, '\0'));
    QVERIFY(QFileInfo::exists(SettingsFile::path(dir.path())));
    QCOMPARE(QFileInfo(SettingsFile::path(dir.path())).size(), 0);

#ifndef Q_OS_WIN // no named pipes in the file system there
    // Something that is not a regular file under the name reads as zeros, without blocking.
    QTemporaryDir other;
    const QByteArray fifo = QFile::encodeName(SettingsFile::path(other.path()));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    QCOMPARE(SettingsFile::read(other.path()).toBytes(), QByteArray(670, '\0'));
    QVERIFY(!SettingsFile::write(other.path(), record));
#endif
}

void TestSettingsRecord::noWindowsDirectoryTouchesNothing() {
    QCOMPARE(SettingsFile::read(QString()).toBytes(), QByteArray(670, '\0'));
    QVERIFY(!SettingsFile::write(QString(), SettingsRecord()));
}

void TestSettingsRecord::saveKeepsBytesItDoesNotSet() {
    QTemporaryDir dir;
    QByteArray stored(670, '\0');
    for (int i = 210; i < 410; ++i)
        stored[i] = static_cast<char>(0x80 + i % 100); // reserved field, not valid text
    stored.append("TAIL BYTES");
    writeAll(SettingsFile::path(dir.path()), stored);

    RunValues values;
    values.reservedText = SettingsFile::read(dir.path()).reservedText;
    values.autocadSelection = 4;
    values.defaultInstallFlag = 1;
    values.outputFolder = QStringLiteral("/out");
    test::FakeFolderRoles folders;
    folders.windows = dir.path();
    QVERIFY(saveSettings(values, folders).written);

    const QByteArray after = readAll(SettingsFile::path(dir.path()));
    QCOMPARE(after.size(), stored.size());
    QCOMPARE(field(after, 210, 200), field(stored, 210, 200));
    QCOMPARE(after.mid(670), QByteArray("TAIL BYTES"));
    QCOMPARE(qFromLittleEndian<double>(after.constData()), 4.0);
    QCOMPARE(field(after, 410, 4), QByteArray("/out"));
}

void TestSettingsRecord::saveMapsTheRunValues_data() {
    QTest::addColumn<double>("pending");
    QTest::addColumn<int>("selection");
    QTest::addColumn<int>("defaultInstall");
    QTest::addColumn<double>("savedSelection");
    QTest::addColumn<int>("customPathFlag");

    QTest::newRow("pending choice wins") << 5.0 << 41 << 1 << 5.0 << 0;
    QTest::newRow("no choice keeps the product in effect") << 0.0 << 16 << 1 << 16.0 << 0;
    QTest::newRow("nothing at all") << 0.0 << 0 << 1 << 0.0 << 0;
    QTest::newRow("custom path in use") << 0.0 << 3 << 0 << 3.0 << 1;
    QTest::newRow("flag other than 1 means custom") << 0.0 << 3 << 7 << 3.0 << 1;
}

void TestSettingsRecord::saveMapsTheRunValues() {
    QFETCH(double, pending);
    QFETCH(int, selection);
    QFETCH(int, defaultInstall);
    QFETCH(double, savedSelection);
    QFETCH(int, customPathFlag);
    RunValues values;
    values.pendingSelection = pending;
    values.autocadSelection = static_cast<quint8>(selection);
    values.defaultInstallFlag = static_cast<quint8>(defaultInstall);
    values.singleDocumentMode = 1;
    values.customExePath = QStringLiteral("C:\\c.exe");
    SettingsRecord record;
    applyRunValues(values, record);
    QCOMPARE(record.savedSelection, savedSelection);
    QCOMPARE(record.customPathFlag, customPathFlag);
    QCOMPARE(record.singleDocumentMode, 1);
    QCOMPARE(record.customExePath, QStringLiteral("C:\\c.exe"));
}

void TestSettingsRecord::firstSaveWritesAWholeRecord() {
    QTemporaryDir dir;
    RunValues values;
    values.autocadSelection = 17;
    values.pendingSelection = 17;
    values.defaultInstallFlag = 1;
    test::FakeFolderRoles folders;
    folders.windows = dir.path();
    QVERIFY(saveSettings(values, folders).written);
    const QByteArray bytes = readAll(SettingsFile::path(dir.path()));
    QCOMPARE(bytes.size(), 670);
    QCOMPARE(qFromLittleEndian<double>(bytes.constData()), 17.0);
    QCOMPARE(bytes.at(8), '\0');
}

void TestSettingsRecord::unstorableTextKeepsStoredField() {
    QTemporaryDir dir;
    SettingsRecord stored;
    stored.outputFolderPath = QStringLiteral("/old");
    QVERIFY(SettingsFile::write(dir.path(), stored));

    RunValues values;
    values.outputFolder = QStringLiteral("/home/u/Café"); // é has no code page 932 form
    values.customExePath = QStringLiteral("/opt/acad");
    test::FakeFolderRoles folders;
    folders.windows = dir.path();
    const SaveSettingsResult result = saveSettings(values, folders);
    QVERIFY(result.written);
    QCOMPARE(result.unstorableFields, QStringList{QStringLiteral("outputFolderPath")});
    const SettingsRecord back = SettingsFile::read(dir.path());
    QCOMPARE(back.outputFolderPath, QStringLiteral("/old"));
    QCOMPARE(back.customExePath, QStringLiteral("/opt/acad"));
}

void TestSettingsRecord::saveMessageNamesWhatWasNotSaved() {
    QTemporaryDir dir;
    RunValues values;
    values.outputFolder = QStringLiteral("/home/u/Café");
    values.customExePath = QString(201, QLatin1Char('a'));
    test::FakeFolderRoles folders;
    folders.windows = dir.path();
    SaveSettingsResult result = saveSettings(values, folders);
    QVERIFY(result.written);
    QCOMPARE(result.filePath, SettingsFile::path(dir.path()));
    const std::optional<QString> message = saveSettingsMessage(result, values);
    QVERIFY(message);
    QVERIFY(message->startsWith(SettingsFile::path(dir.path()) + QStringLiteral(" は、 \r\n\r\n")));
    QVERIFY2(message->contains(QStringLiteral("DXF/DWG変換ファイルの保存場所：/home/u/Café\r\n")),
             qPrintable(*message));
    QVERIFY(
        message->contains(QStringLiteral("AutoCAD起動ファイルの場所：") + values.customExePath));
    QVERIFY(message->contains(QStringLiteral("200バイトまで")));

    values = RunValues();
    QVERIFY(!saveSettingsMessage(saveSettings(values, folders), values));
    // Nothing written at all: the message says so and names the file.
    result.written = false;
    QVERIFY(saveSettingsMessage(result, values)->contains(QStringLiteral("保存できませんでした")));
}

// The default folder on a desktop whose path the field cannot hold is stored as an empty field,
// which the next start reads as the same default folder.
void TestSettingsRecord::unstorableDefaultFolderStoredAsEmpty() {
    QTemporaryDir dir;
    RunValues values;
    values.desktopFolder = QStringLiteral("/home/josé/Desktop");
    values.outputFolder = QDir::toNativeSeparators(QStringLiteral("/home/josé/Desktop/Ornvale"));
    test::FakeFolderRoles folders;
    folders.windows = dir.path();
    const SaveSettingsResult result = saveSettings(values, folders);
    QVERIFY(result.written);
    QVERIFY(result.unstorableFields.isEmpty());
    QVERIFY(SettingsFile::read(dir.path()).outputFolderPath.isEmpty());
}

QTEST_GUILESS_MAIN(TestSettingsRecord)
#include "TestSettingsRecord.moc"
