#include "DrawingIdentifier.h"
#include "drawing/DrawingFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace ornvale;
using namespace ornvale::test;
using namespace Qt::StringLiterals;
using Code = std::optional<QByteArray>;

Q_DECLARE_METATYPE(ornvale::DrawingFormat)
Q_DECLARE_METATYPE(Code)

class TestDrawingIdentifier : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void classify_data();
    void classify();
    void readVersionCode_data();
    void readVersionCode();
    void unreadableHasNoCode_data();
    void unreadableHasNoCode();
    void realDxfFixtures_data();
    void realDxfFixtures();
    void hugeFileReadsOnlyItsStart();
    void openable_data();
    void openable();
    void incompatibleMessage();
};

void TestDrawingIdentifier::classify_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<DrawingFormat>("format");
    QTest::newRow("lower dwg") << "/a/plan.dwg" << DrawingFormat::Dwg;
    QTest::newRow("upper DWG") << "/a/PLAN.DWG" << DrawingFormat::Dwg;
    QTest::newRow("mixed Dwg is none") << "/a/Plan.Dwg" << DrawingFormat::NotDrawing;
    QTest::newRow("mixed dwG is none") << "/a/plan.dwG" << DrawingFormat::NotDrawing;
    QTest::newRow("lower dxf") << "/a/plan.dxf" << DrawingFormat::Dxf;
    QTest::newRow("upper DXF") << "/a/plan.DXF" << DrawingFormat::Dxf;
    QTest::newRow("mixed Dxf is none") << "/a/plan.Dxf" << DrawingFormat::NotDrawing;
    QTest::newRow("no dot before ending") << "/a/plandwg" << DrawingFormat::Dwg;
    QTest::newRow("ending inside the name") << "/a/plan.dwg.bak" << DrawingFormat::NotDrawing;
    QTest::newRow("trailing separator") << "/a/plan.dwg/" << DrawingFormat::NotDrawing;
    QTest::newRow("shorter than three") << "wg" << DrawingFormat::NotDrawing;
    QTest::newRow("empty") << "" << DrawingFormat::NotDrawing;
}

void TestDrawingIdentifier::classify() {
    QFETCH(QString, path);
    QFETCH(DrawingFormat, format);
    QCOMPARE(DrawingIdentifier::classify(path), format);
}

void TestDrawingIdentifier::readVersionCode_data() {
    QTest::addColumn<DrawingFormat>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Code>("code");
    const auto dwg = DrawingFormat::Dwg;
    const auto dxf = DrawingFormat::Dxf;
    QTest::newRow("dwg R14, binary without CR")
        << dwg << dwgHead("AC1014").repeated(200) << Code("AC1014");
    QTest::newRow("dwg short first line") << dwg << QByteArray("AC10\r\nAC1015") << Code("AC10");
    QTest::newRow("dwg of three bytes") << dwg << QByteArray("AC1") << Code("AC1");
    QTest::newRow("dwg empty") << dwg << QByteArray() << Code();
    QTest::newRow("dxf CR LF") << dxf << dxfHead("AC1015") << Code("AC1015");
    QTest::newRow("dxf lone CR") << dxf << dxfHead("AC1018", "\r") << Code("AC1018");
    QTest::newRow("dxf LF only") << dxf << dxfHead("AC1015", "\n") << Code();
    QTest::newRow("dxf LF only, long") << dxf << dxfHead("AC1015", "\n").repeated(500) << Code();
    QTest::newRow("dxf eighth line with trailing blank")
        << dxf << dxfHead("AC1015 ") << Code("AC1015 ");
    QTest::newRow("dxf LF not after CR is a character")
        << dxf << dxfHead("AC1015\n") << Code("AC1015\n");
    QTest::newRow("dxf CR CR is an empty line")
        << dxf << QByteArray("  0\r\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\n")
        << Code("  1");
    QTest::newRow("dxf eighth line ends the file")
        << dxf << dxfHead("AC1021").left(53) << Code("AC1021");
    QTest::newRow("dxf of seven lines") << dxf << dxfHead("AC1015").left(45) << Code();
    QTest::newRow("dxf empty") << dxf << QByteArray() << Code();
    // Every reader of the head lines takes the same bound, so a long comment near the start is
    // read here as it is by the text intake and the driver.
    QTest::newRow("dxf eighth line after a 5000-byte line")
        << dxf << QByteArray("  0\r\n") + QByteArray(5000, 'x') + "\r\n" + dxfHead("AC1015")
        << Code("$ACADVER");
    QTest::newRow("dxf eighth line past the read bound")
        << dxf << QByteArray("  0\r\n") + QByteArray(70000, 'x') + "\r\n" + dxfHead("AC1015")
        << Code();
}

void TestDrawingIdentifier::readVersionCode() {
    QFETCH(DrawingFormat, format);
    QFETCH(QByteArray, bytes);
    QFETCH(Code, code);
    const QString name = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
    const QString path = writeFile(m_dir.path(), name + u".dwg"_s, bytes);
    QCOMPARE(DrawingIdentifier::readVersionCode(path, format), code);
}

void TestDrawingIdentifier::unreadableHasNoCode_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<DrawingFormat>("format");
    const QString dir = m_dir.path() + u"/unreadable"_s;
    QDir().mkpath(dir + u"/folder.dxf"_s);
    QTest::newRow("missing dwg") << dir + u"/missing.dwg"_s << DrawingFormat::Dwg;
    QTest::newRow("missing dxf") << dir + u"/missing.dxf"_s << DrawingFormat::Dxf;
    QTest::newRow("folder") << dir + u"/folder.dxf"_s << DrawingFormat::Dxf;
#ifndef Q_OS_WIN // neither symbolic links nor named pipes are made there
    QFile::link(dir + u"/nowhere"_s, dir + u"/dangling.dwg"_s);
    QVERIFY(mkfifo(QFile::encodeName(dir + u"/pipe.dxf"_s).constData(), 0600) == 0);
    QVERIFY(mkfifo(QFile::encodeName(dir + u"/pipe.dwg"_s).constData(), 0600) == 0);
    QTest::newRow("dangling link") << dir + u"/dangling.dwg"_s << DrawingFormat::Dwg;
    // A FIFO would block an open until a writer comes: never opened.
    QTest::newRow("fifo dxf") << dir + u"/pipe.dxf"_s << DrawingFormat::Dxf;
    QTest::newRow("fifo dwg") << dir + u"/pipe.dwg"_s << DrawingFormat::Dwg;
#endif
    QTest::newRow("not a drawing")
        << writeFile(dir, u"a.txt"_s, dxfHead("AC1015")) << DrawingFormat::NotDrawing;
}

void TestDrawingIdentifier::unreadableHasNoCode() {
    QFETCH(QString, path);
    QFETCH(DrawingFormat, format);
    QCOMPARE(DrawingIdentifier::readVersionCode(path, format), Code());
}

void TestDrawingIdentifier::realDxfFixtures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<Code>("code");
    QTest::newRow("R12") << "r12.dxf" << Code("AC1009");
    QTest::newRow("2000") << "r2000.dxf" << Code("AC1015");
    QTest::newRow("2007") << "r2007.dxf" << Code("AC1021");
}

void TestDrawingIdentifier::realDxfFixtures() {
    QFETCH(QString, name);
    QFETCH(Code, code);
    const QString path = QStringLiteral(ORNVALE_TEST_DATA "/drawing/") + name;
    QCOMPARE(DrawingIdentifier::readVersionCode(path, DrawingFormat::Dxf), code);
}

void TestDrawingIdentifier::hugeFileReadsOnlyItsStart() {
    const QString path = writeFile(m_dir.path(), u"huge.dxf"_s, dxfHead("AC1018"));
    QFile file(path);
    QVERIFY(file.resize(qint64(1) << 30)); // sparse: the tail is never read
    QCOMPARE(DrawingIdentifier::readVersionCode(path, DrawingFormat::Dxf), Code("AC1018"));
    QCOMPARE(DrawingIdentifier::readVersionCode(path, DrawingFormat::Dwg), Code("  0"));
}

void TestDrawingIdentifier::openable_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<Code>("code");
    QTest::addColumn<bool>("openable");
    const QList<QByteArray> releases{"AC1006", "AC1009", "AC1012", "AC1014",
                                     "AC1015", "AC1018", "AC1021"};
    // Newest release each product opens, as an index into `releases`.
    const QList<std::pair<int, int>> newest{{41, 6}, {21, 6}, {18, 5}, {17, 5}, {16, 5},
                                            {7, 5},  {6, 5},  {5, 5},  {4, 4},  {3, 4}};
    for (const auto& [selection, last] : newest) {
        for (int r = 0; r < releases.size(); ++r) {
            QTest::addRow("%d %s", selection, releases[r].constData())
                << selection << Code(releases[r]) << (r <= last);
        }
        QTest::addRow("%d lower case", selection) << selection << Code("ac1015") << false;
        QTest::addRow("%d trailing blank", selection) << selection << Code("AC1015 ") << false;
        QTest::addRow("%d R2.5 code", selection) << selection << Code("AC1002") << false;
        QTest::addRow("%d no code", selection) << selection << Code() << false;
    }
    QTest::newRow("none: newer code") << 0 << Code("AC1024") << true;
    QTest::newRow("none: no code") << 0 << Code() << true;
    QTest::newRow("unknown product") << 99 << Code("AC1015") << false;
}

void TestDrawingIdentifier::openable() {
    QFETCH(int, selection);
    QFETCH(Code, code);
    QFETCH(bool, openable);
    QCOMPARE(DrawingIdentifier::isOpenable(quint8(selection), code), openable);
}

void TestDrawingIdentifier::incompatibleMessage() {
    QCOMPARE(DrawingIdentifier::incompatibleMessage(u"C:\\a\\plan.dwg"_s),
             u"C:\\a\\plan.dwg は、 \r\n\r\n互換性のないバージョンで作成されています。"_s);
}

QTEST_GUILESS_MAIN(TestDrawingIdentifier)
#include "TestDrawingIdentifier.moc"
